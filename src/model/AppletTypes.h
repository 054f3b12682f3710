#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

namespace veskaro {

/// The 21 script parameters of a slider, all held as text.
struct TAppletData {
    std::string pSliderName;
    std::string sliderWidth;
    std::string sliderHeight;
    std::string navBtnVerticalOffset;
    std::string navBtnTextColorNormal;
    std::string navBtnBgColorNormal;
    std::string navBtnTextColorHover;
    std::string navBtnBgColorHover;
    std::string navBtnTextColorActive;
    std::string navBtnBgColorActive;
    std::string navBtnTextColorActiveHover;
    std::string navBtnBgColorActiveHover;
    std::string reserved;
    std::string transDurAuto;
    std::string transDurManual;
    std::string switchImageDelay;
    std::string pImageLeadingPathEnabled;
    std::string pImageLeadingPath;
    std::string InternalUse_RootDir_Local;
    std::string InternalUse_RootDir_Remote;
    std::string InternalUse_RootDir_Local_Checked;

    bool operator==(const TAppletData&) const = default;
};

/// The nine values of one slider item, all held as text.
struct TItemData {
    std::string IImageFile;
    std::string IOriginalImagePath;
    std::string ILink;
    std::string ITarget;
    std::string IToolTip;
    std::string IImageWidth;
    std::string IImageHeight;
    std::string ILevel;
    std::string IReserved;

    bool operator==(const TItemData&) const = default;
};

/// A file that every generated page links to.
struct TLinkedFileInfo {
    std::string FileName;
    std::string FileType; // "js" or "css"
    bool Generated = false;

    bool operator==(const TLinkedFileInfo&) const = default;
};

using TItemArray = std::vector<TItemData>;
using TStringArray = std::vector<std::string>;
using TLinkedFileInfoArray = std::vector<TLinkedFileInfo>;

/// The text that ends every value in a project file; no value can hold it.
inline constexpr const char* kValueTerminator = "#$@";

/// A field of a record with the name it is known by, for positional conversions and messages.
template <typename Record> struct FieldOf {
    const char* name;
    std::string Record::*member;
};

/// What a script parameter holds, which decides how it is edited, checked and written.
enum class ValueKind { Text, Number, Color, Switch, Unused };

/// A script parameter with its rules: the kind of value, its default, the object name of the window's
/// control that edits it (none for reserved), for numbers the range the designer allows, and for numbers
/// and colours the words messages name it by.
struct AppletField {
    const char* name;
    std::string TAppletData::*member;
    ValueKind kind;
    const char* defaultValue;
    const char* control = nullptr;
    int lowest = 0;
    int highest = 0;
    const char* description = "";
};

/// The script parameters in file order, with their rules: the one home of their order (project file,
/// binding, copies), their defaults, the ranges that the spin edits offer, and of the numbers and colours
/// that publishing accepts and the publishing check reports. A new parameter is a field of TAppletData,
/// a row here and its control on the pages.
inline constexpr std::array<AppletField, 21> kAppletFields{{
    {"pSliderName", &TAppletData::pSliderName, ValueKind::Text, "Slider1", "edt__pSliderName"},
    {"sliderWidth", &TAppletData::sliderWidth, ValueKind::Number, "640", "spnedt__sliderWidth", 1, 9999,
     "slider width"},
    {"sliderHeight", &TAppletData::sliderHeight, ValueKind::Number, "480", "spnedt__sliderHeight", 1, 9999,
     "slider height"},
    {"navBtnVerticalOffset", &TAppletData::navBtnVerticalOffset, ValueKind::Number, "-26",
     "spnedt__navBtnVerticalOffset", -9999, 9999, "button offset"},
    {"navBtnTextColorNormal", &TAppletData::navBtnTextColorNormal, ValueKind::Color, "000000",
     "pnl__navBtnTextColorNormal", 0, 0, "text colour of the buttons"},
    {"navBtnBgColorNormal", &TAppletData::navBtnBgColorNormal, ValueKind::Color, "FFFFFF", "pnl__navBtnBgColorNormal",
     0, 0, "background colour of the buttons"},
    {"navBtnTextColorHover", &TAppletData::navBtnTextColorHover, ValueKind::Color, "000000",
     "pnl__navBtnTextColorHover", 0, 0, "text colour of a button under the mouse"},
    {"navBtnBgColorHover", &TAppletData::navBtnBgColorHover, ValueKind::Color, "C0C0C0", "pnl__navBtnBgColorHover", 0,
     0, "background colour of a button under the mouse"},
    {"navBtnTextColorActive", &TAppletData::navBtnTextColorActive, ValueKind::Color, "FFFF00",
     "pnl__navBtnTextColorActive", 0, 0, "text colour of the active button"},
    {"navBtnBgColorActive", &TAppletData::navBtnBgColorActive, ValueKind::Color, "000000", "pnl__navBtnBgColorActive",
     0, 0, "background colour of the active button"},
    {"navBtnTextColorActiveHover", &TAppletData::navBtnTextColorActiveHover, ValueKind::Color, "FFFF00",
     "pnl__navBtnTextColorActiveHover", 0, 0, "text colour of the active button under the mouse"},
    {"navBtnBgColorActiveHover", &TAppletData::navBtnBgColorActiveHover, ValueKind::Color, "000000",
     "pnl__navBtnBgColorActiveHover", 0, 0, "background colour of the active button under the mouse"},
    {"reserved", &TAppletData::reserved, ValueKind::Unused, "1"},
    {"transDurAuto", &TAppletData::transDurAuto, ValueKind::Number, "1000", "spnedt__transDurAuto", 0, 9999,
     "automatic transition time"},
    {"transDurManual", &TAppletData::transDurManual, ValueKind::Number, "500", "spnedt__transDurManual", 0, 9999,
     "manual transition time"},
    {"switchImageDelay", &TAppletData::switchImageDelay, ValueKind::Number, "2000", "spnedt__switchImageDelay", 0, 9999,
     "delay before the next picture"},
    {"pImageLeadingPathEnabled", &TAppletData::pImageLeadingPathEnabled, ValueKind::Switch, "1",
     "ckbx__pImageLeadingPathEnabled"},
    {"pImageLeadingPath", &TAppletData::pImageLeadingPath, ValueKind::Text, "", "edt__pImageLeadingPath"},
    {"InternalUse_RootDir_Local", &TAppletData::InternalUse_RootDir_Local, ValueKind::Text, "",
     "edt__InternalUse_RootDir_Local"},
    {"InternalUse_RootDir_Remote", &TAppletData::InternalUse_RootDir_Remote, ValueKind::Text, "",
     "edt__InternalUse_RootDir_Remote"},
    {"InternalUse_RootDir_Local_Checked", &TAppletData::InternalUse_RootDir_Local_Checked, ValueKind::Switch, "1",
     "rdbtn__InternalUse_RootDir_Local_Checked"},
}};

/// Returns the rules of the script parameter held in member; a member without a row does not compile in a
/// constant expression.
constexpr const AppletField& appletField(std::string TAppletData::*member) {
    for (const AppletField& field : kAppletFields)
        if (field.member == member)
            return field;
    throw std::logic_error("a script parameter without its rules");
}

/// The number of script parameters that a control of the window edits.
inline constexpr std::size_t kBoundAppletFields = [] {
    std::size_t bound = 0;
    for (const AppletField& field : kAppletFields)
        bound += field.control != nullptr;
    return bound;
}();

inline constexpr std::array<FieldOf<TItemData>, 9> kItemFields{{
    {"IImageFile", &TItemData::IImageFile},
    {"IOriginalImagePath", &TItemData::IOriginalImagePath},
    {"ILink", &TItemData::ILink},
    {"ITarget", &TItemData::ITarget},
    {"IToolTip", &TItemData::IToolTip},
    {"IImageWidth", &TItemData::IImageWidth},
    {"IImageHeight", &TItemData::IImageHeight},
    {"ILevel", &TItemData::ILevel},
    {"IReserved", &TItemData::IReserved},
}};

} // namespace veskaro
