#include "ui/SpinEdit.h"

#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

namespace veskaro {

SpinEdit::SpinEdit(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), m_minimum(minimum), m_maximum(maximum) {
    // The typed text is kept as it is until the field is left; nothing interprets it on every key.
    setKeyboardTracking(false);
    lineEdit()->setText(QString::number(minimum));
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::changed);
}

int SpinEdit::value() const {
    bool whole = false;
    const int number = text().toInt(&whole);
    return whole ? number : m_minimum;
}

void SpinEdit::setValue(int value) {
    lineEdit()->setText(QString::number(clamped(value)));
}

void SpinEdit::stepBy(int steps) {
    setValue(clamped(static_cast<long long>(value()) + steps));
    selectAll();
}

QValidator::State SpinEdit::validate(QString& input, int&) const {
    const QChar decimalPoint = locale().decimalPoint().front();
    const bool typeable = std::all_of(input.cbegin(), input.cend(), [decimalPoint](QChar c) {
        return c.isDigit() || c == u'+' || c == u'-' || c == decimalPoint;
    });
    return typeable ? QValidator::Acceptable : QValidator::Invalid;
}

QSize SpinEdit::sizeHint() const {
    ensurePolished();
    const QFontMetrics metrics = fontMetrics();
    const int digits = std::max(metrics.horizontalAdvance(QString::number(m_minimum)),
                                metrics.horizontalAdvance(QString::number(m_maximum)));
    const QSize text(digits + metrics.horizontalAdvance(u'0') + 4, lineEdit()->sizeHint().height());
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}

QSize SpinEdit::minimumSizeHint() const {
    return sizeHint();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value() < m_maximum)
        enabled |= StepUpEnabled;
    if (value() > m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

void SpinEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    // Leaving the field shows the number that counts: one brought into the range, the minimum for text
    // that is not a whole number.
    bool whole = false;
    const int number = text().toInt(&whole);
    if (!whole || number != clamped(number))
        setValue(value());
}

int SpinEdit::clamped(long long value) const {
    return static_cast<int>(std::clamp<long long>(value, m_minimum, m_maximum));
}

} // namespace veskaro
