#pragma once

#include "model/AppletTypes.h"
#include "ui/ControlNames.h"

#include <QColor>

#include <array>
#include <cstdint>
#include <string>

class QWidget;

namespace veskaro {

/// One row of a binding table: a field of a record and the object name of the control that edits it.
template <typename Record> struct FieldBinding {
    std::string Record::*field;
    const char* control;
};

/// The script parameters and their controls, in transfer order: the parameters' table without reserved,
/// which no control edits.
inline constexpr auto kScriptBinding = [] {
    std::array<FieldBinding<TAppletData>, kBoundAppletFields> rows{};
    std::size_t row = 0;
    for (const AppletField& field : kAppletFields)
        if (field.control)
            rows[row++] = {field.member, field.control};
    return rows;
}();

/// The item values edited on the page "Item General", in transfer order.
inline constexpr std::array<FieldBinding<TItemData>, 4> kItemBinding{{
    {&TItemData::IOriginalImagePath, names::edtOriginalImagePath},
    {&TItemData::ILink, names::cmbx_ILink},
    {&TItemData::ITarget, names::cmbx_ITarget},
    {&TItemData::IToolTip, names::edt_IToolTip},
}};

/// One option beyond the script parameters and the object name of the control that edits it.
struct OptionBinding {
    const char* option;
    const char* control;
};

/// The options edited in the group "Pictures for Visitors", in transfer order.
inline constexpr std::array<OptionBinding, 4> kOptionBinding{{
    {"Pictures.HighDensity", names::chkbxHighDensity},
    {"Pictures.WebP", names::chkbxWebP},
    {"Pictures.LazyLoad", names::chkbxLazyLoad},
    {"Pictures.JpegQuality", names::spnedtJpegQuality},
}};

/// Returns the value a control shows as project text: trimmed texts, whole numbers, colour texts and
/// "1"/"0" switches, by the control's kind. Never fails; a control of another kind gives empty text.
std::string ControlToText(const QWidget& control);

/// Shows a project text in a control, by the control's kind; a control of another kind is left alone. A
/// radio button shown "0" hands the check to the partner of its exclusive pair, if it has one.
/// Throws VeskaroError "'%s' is not a valid integer value" for a number or colour it cannot read.
void TextToControl(const std::string& text, QWidget& control);

/// Converts between a colour and the 0x00BBGGRR layout of the colour texts.
std::uint32_t colorValue(const QColor& color);
QColor colorOfValue(std::uint32_t value);

} // namespace veskaro
