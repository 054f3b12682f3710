#include "ui/ParameterBinding.h"

#include "model/ColorText.h"
#include "model/ValueText.h"
#include "ui/ColorPanel.h"
#include "ui/SpinEdit.h"
#include "ui/Utf8Text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace veskaro {

namespace {

std::string switchText(bool on) {
    return on ? "1" : "0";
}

// The other button of the exclusive pair a radio button belongs to, or none when it has no single partner.
QRadioButton* exclusivePartner(const QRadioButton& radio) {
    if (!radio.autoExclusive() || !radio.parentWidget())
        return nullptr;
    QRadioButton* partner = nullptr;
    for (QRadioButton* sibling : radio.parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
        if (sibling == &radio || !sibling->autoExclusive())
            continue;
        if (partner)
            return nullptr;
        partner = sibling;
    }
    return partner;
}

// A button of an exclusive pair is cleared by checking its partner, so that the pair always shows the
// value, also when the partner was clear before. A lone button needs its exclusivity lifted for a moment.
void setRadioChecked(QRadioButton& radio, bool checked) {
    if (QRadioButton* partner = checked ? nullptr : exclusivePartner(radio)) {
        partner->setChecked(true);
        return;
    }
    const bool exclusive = radio.autoExclusive();
    radio.setAutoExclusive(exclusive && checked);
    radio.setChecked(checked);
    radio.setAutoExclusive(exclusive);
}

} // namespace

std::string ControlToText(const QWidget& control) {
    if (const auto* combo = qobject_cast<const QComboBox*>(&control))
        return trimText(toUtf8Text(combo->currentText()));
    if (const auto* spin = qobject_cast<const SpinEdit*>(&control))
        return std::to_string(spin->value());
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control))
        return trimText(toUtf8Text(edit->text()));
    if (const auto* panel = qobject_cast<const ColorPanel*>(&control))
        return ColorToHexText(colorValue(panel->color()));
    if (const auto* check = qobject_cast<const QCheckBox*>(&control))
        return switchText(check->isChecked());
    if (const auto* radio = qobject_cast<const QRadioButton*>(&control))
        return switchText(radio->isChecked());
    return {};
}

void TextToControl(const std::string& text, QWidget& control) {
    if (auto* combo = qobject_cast<QComboBox*>(&control))
        combo->setEditText(fromUtf8Text(trimText(text)));
    else if (auto* spin = qobject_cast<SpinEdit*>(&control))
        spin->setValue(strToInt(text));
    else if (auto* edit = qobject_cast<QLineEdit*>(&control))
        edit->setText(fromUtf8Text(trimText(text)));
    else if (auto* panel = qobject_cast<ColorPanel*>(&control))
        panel->setColor(colorOfValue(HexTextToColor(text)));
    else if (auto* check = qobject_cast<QCheckBox*>(&control))
        check->setChecked(text == "1");
    else if (auto* radio = qobject_cast<QRadioButton*>(&control))
        setRadioChecked(*radio, text == "1");
}

std::uint32_t colorValue(const QColor& color) {
    const QRgb rgb = color.rgb();
    return static_cast<std::uint32_t>(qRed(rgb)) | static_cast<std::uint32_t>(qGreen(rgb)) << 8 |
           static_cast<std::uint32_t>(qBlue(rgb)) << 16;
}

QColor colorOfValue(std::uint32_t value) {
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

} // namespace veskaro
