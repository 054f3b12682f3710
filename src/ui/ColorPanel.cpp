#include "ui/ColorPanel.h"

#include <QKeyEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace veskaro {

namespace {

constexpr QSize kPanelSize(22, 22);

} // namespace

ColorPanel::ColorPanel(QWidget* parent) : QAbstractButton(parent) {
    setFixedSize(kPanelSize);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setColor(Qt::black);
}

void ColorPanel::setColor(const QColor& color) {
    const bool changed = color != m_color;
    m_color = color;
    QPalette colored = palette();
    colored.setColor(QPalette::Window, color);
    setPalette(colored);
    setAccessibleDescription(color.name(QColor::HexRgb).mid(1).toUpper());
    update();
    if (changed)
        emit colorChanged();
}

QSize ColorPanel::sizeHint() const {
    return kPanelSize;
}

void ColorPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QBrush fill(m_color);
    // Raised like a panel, and pressed in while the mouse or the space bar holds it down.
    qDrawShadePanel(&painter, rect(), palette(), isDown(), 1, &fill);
    if (hasFocus()) {
        // A frame as bold as the focus frame of the other controls, in the desktop's highlight, and inside
        // it a line in the colour that stands out against the value, so that any value still shows it.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        const QColor mark = qGray(m_color.rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black);
        painter.setPen(QPen(mark, 1));
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

// Space presses the button as every button does; Enter and Return press it too, as they do a swatch of
// a dialog, since the panel is the only thing they could mean here.
void ColorPanel::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

} // namespace veskaro
