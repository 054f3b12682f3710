#pragma once

#include <QAbstractSpinBox>

namespace veskaro {

/// A whole-number field with arrows. The user may type any digits and signs; the number is brought into
/// the range when it is set and when the field loses the focus, and text that is not a whole number
/// reads as the minimum.
class SpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    SpinEdit(int minimum, int maximum, QWidget* parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    /// Returns the number the text shows, as typed (not brought into the range); the minimum when the
    /// text is not a whole number.
    int value() const;
    /// Shows value, brought into the range.
    void setValue(int value);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& position) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    /// The text changed, by typing or by program.
    void changed();

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int clamped(long long value) const;

    int m_minimum;
    int m_maximum;
};

} // namespace veskaro
