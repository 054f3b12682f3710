#include "ui/CommandEntries.h"

#include <QAbstractButton>
#include <QAction>

#include <utility>

namespace veskaro {

CommandEntries::CommandEntries(std::initializer_list<QAction*> actions, std::initializer_list<QAbstractButton*> buttons)
    : m_actions(actions), m_buttons(buttons) {}

CommandEntries::CommandEntries(QList<QAction*> actions, QList<QAbstractButton*> buttons)
    : m_actions(std::move(actions)), m_buttons(std::move(buttons)) {}

void CommandEntries::setEnabled(bool enabled) const {
    for (QAction* action : m_actions)
        action->setEnabled(enabled);
    for (QAbstractButton* button : m_buttons)
        button->setEnabled(enabled);
}

void CommandEntries::connectTo(const QObject* context, const std::function<void()>& handler) const {
    for (QAction* action : m_actions)
        QObject::connect(action, &QAction::triggered, context, handler);
    for (QAbstractButton* button : m_buttons)
        QObject::connect(button, &QAbstractButton::clicked, context, handler);
}

} // namespace veskaro
