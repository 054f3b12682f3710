#pragma once

#include <array>
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

/// A field of a record with the name it is known by, for positional conversions and messages.
template <typename Record> struct FieldOf {
    const char* name;
    std::string Record::*member;
};

inline constexpr std::array<FieldOf<TAppletData>, 21> kAppletFields{{
    {"pSliderName", &TAppletData::pSliderName},
    {"sliderWidth", &TAppletData::sliderWidth},
    {"sliderHeight", &TAppletData::sliderHeight},
    {"navBtnVerticalOffset", &TAppletData::navBtnVerticalOffset},
    {"navBtnTextColorNormal", &TAppletData::navBtnTextColorNormal},
    {"navBtnBgColorNormal", &TAppletData::navBtnBgColorNormal},
    {"navBtnTextColorHover", &TAppletData::navBtnTextColorHover},
    {"navBtnBgColorHover", &TAppletData::navBtnBgColorHover},
    {"navBtnTextColorActive", &TAppletData::navBtnTextColorActive},
    {"navBtnBgColorActive", &TAppletData::navBtnBgColorActive},
    {"navBtnTextColorActiveHover", &TAppletData::navBtnTextColorActiveHover},
    {"navBtnBgColorActiveHover", &TAppletData::navBtnBgColorActiveHover},
    {"reserved", &TAppletData::reserved},
    {"transDurAuto", &TAppletData::transDurAuto},
    {"transDurManual", &TAppletData::transDurManual},
    {"switchImageDelay", &TAppletData::switchImageDelay},
    {"pImageLeadingPathEnabled", &TAppletData::pImageLeadingPathEnabled},
    {"pImageLeadingPath", &TAppletData::pImageLeadingPath},
    {"InternalUse_RootDir_Local", &TAppletData::InternalUse_RootDir_Local},
    {"InternalUse_RootDir_Remote", &TAppletData::InternalUse_RootDir_Remote},
    {"InternalUse_RootDir_Local_Checked", &TAppletData::InternalUse_RootDir_Local_Checked},
}};

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
