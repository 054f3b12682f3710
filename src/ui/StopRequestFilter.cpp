#include "ui/StopRequestFilter.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>

namespace veskaro {

StopRequestFilter::StopRequestFilter(QAbstractButton& cancel) : m_cancel(cancel) {
    connect(&cancel, &QAbstractButton::clicked, this, [this] { m_requested = true; });
}

bool StopRequestFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_requested = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // A click reaches the window first and then the widget under it: only the widget decides.
        return watched->isWidgetType() && watched != &m_cancel;
    default:
        return false;
    }
}

} // namespace veskaro
