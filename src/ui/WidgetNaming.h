#pragma once

#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace veskaro {

/// Gives a widget its object name, by which tests find it, and returns it.
template <typename Widget> Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

/// Places a window in the middle of the screen it is on, keeping its size.
inline void centreOnScreen(QWidget& window) {
    if (const QScreen* display = window.screen())
        window.setGeometry(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(), display->availableGeometry()));
}

} // namespace veskaro
