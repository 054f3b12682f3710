#pragma once

#include <QList>

#include <functional>
#include <initializer_list>

class QAbstractButton;
class QAction;
class QObject;

namespace veskaro {

/// The entries through which the user gives one command: menu entries and tool buttons. They are
/// enabled together and all run the same handler.
class CommandEntries {
public:
    CommandEntries() = default;
    /// Holds these menu entries and buttons as the entries of one command.
    CommandEntries(std::initializer_list<QAction*> actions, std::initializer_list<QAbstractButton*> buttons = {});
    /// Holds these menu entries and buttons as the entries of one command.
    CommandEntries(QList<QAction*> actions, QList<QAbstractButton*> buttons);

    /// Enables or disables every entry of the command.
    void setEnabled(bool enabled) const;
    /// Runs handler whenever an entry is triggered or clicked, for as long as context lives.
    void connectTo(const QObject* context, const std::function<void()>& handler) const;

    /// Returns the menu entries of the command.
    const QList<QAction*>& actions() const { return m_actions; }
    /// Returns the tool buttons of the command.
    const QList<QAbstractButton*>& buttons() const { return m_buttons; }

private:
    QList<QAction*> m_actions;
    QList<QAbstractButton*> m_buttons;
};

} // namespace veskaro
