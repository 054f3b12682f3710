#pragma once

#include <QColor>
#include <QFrame>

namespace veskaro {

/// A small raised square that shows a colour value and reports clicks; a colour swatch of the Script page.
class ColorPanel : public QFrame {
    Q_OBJECT
public:
    explicit ColorPanel(QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_color;
    bool m_pressed = false;
};

} // namespace veskaro
