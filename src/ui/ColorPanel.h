#pragma once

#include <QAbstractButton>
#include <QColor>

namespace veskaro {

/// A colour swatch of the Script page: a small raised square that shows a colour value. It is a button that
/// takes the keyboard focus, so that a click or Space or Enter while it has the focus reports clicked().
class ColorPanel : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorPanel(QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    /// Shows a colour, and tells it to assistive tools as its hexadecimal text.
    void setColor(const QColor& color);

    QSize sizeHint() const override;

signals:
    /// The colour shown changed, by a pick or by program.
    void colorChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor m_color;
};

} // namespace veskaro
