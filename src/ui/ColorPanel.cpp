#include "ui/ColorPanel.h"

#include <QMouseEvent>

namespace veskaro {

ColorPanel::ColorPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setFixedSize(22, 22);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
    setColor(Qt::black);
}

void ColorPanel::setColor(const QColor& color) {
    m_color = color;
    QPalette colored = palette();
    colored.setColor(QPalette::Window, color);
    setPalette(colored);
    update();
}

void ColorPanel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    QFrame::mousePressEvent(event);
}

void ColorPanel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release of the left button over the panel.
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QFrame::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

} // namespace veskaro
