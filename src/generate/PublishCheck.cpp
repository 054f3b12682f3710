#include "generate/PublishCheck.h"

#include "generate/PublishingProblems.h"
#include "imaging/PictureLoader.h"
#include "imaging/SliderGeometry.h"
#include "model/ColorText.h"
#include "model/ParameterRules.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/PathText.h"
#include "platform/VeskaroError.h"

#include <cmath>
#include <filesystem>
#include <optional>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

// Text and background legible for most readers: the accessibility guidelines' minimum for body text.
constexpr double kMinimumContrast = 4.5;

struct ColourPair {
    const char* state;
    std::string TAppletData::*text;
    std::string TAppletData::*background;
};

constexpr ColourPair kButtonStates[] = {
    {"normal", &TAppletData::navBtnTextColorNormal, &TAppletData::navBtnBgColorNormal},
    {"hover", &TAppletData::navBtnTextColorHover, &TAppletData::navBtnBgColorHover},
    {"active", &TAppletData::navBtnTextColorActive, &TAppletData::navBtnBgColorActive},
    {"active hover", &TAppletData::navBtnTextColorActiveHover, &TAppletData::navBtnBgColorActiveHover},
};

std::optional<int> number(const std::string& text) {
    try {
        return strToInt(text);
    } catch (const VeskaroError&) {
        return std::nullopt;
    }
}

double luminance(const std::array<int, 3>& rgb) {
    auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(rgb[0]) + 0.7152 * linear(rgb[1]) + 0.0722 * linear(rgb[2]);
}

void checkColours(const TAppletData& data, std::vector<std::string>& out) {
    for (const ColourPair& pair : kButtonStates) {
        const std::string& text = data.*pair.text;
        const std::string& background = data.*pair.background;
        // Over a transparent background the slider's picture shows, so no ratio can be given; a colour that is
        // no colour at all stops publishing and is reported with the problems.
        if (!rgbOfColorText(text) || !rgbOfColorText(background))
            continue;
        const double ratio = contrastRatio(text, background);
        if (ratio < kMinimumContrast) {
            char figure[16];
            std::snprintf(figure, sizeof figure, "%.1f", ratio);
            out.push_back("The " + std::string(pair.state) + " buttons show text " + text + " on " + background +
                          " with a contrast of " + figure + ":1, below 4.5:1; some visitors cannot read the numbers.");
        }
    }
}

bool linksStayLocal(const TAppletData& data) {
    return data.InternalUse_RootDir_Local_Checked != "1" && !trimText(data.InternalUse_RootDir_Local).empty() &&
           trimText(data.InternalUse_RootDir_Remote).empty();
}

// Messages name the picture as the project file holds it; the file checked is the one that path names
// from the project's folder. A picture the preparation cannot read stops publishing; anything else here
// is advice.
void checkPicture(const std::string& subject, const std::string& shownPath, const std::string& path,
                  const TAppletData& data, PublishingFindings& out) {
    std::error_code error;
    if (path.empty()) {
        out.advice.push_back(subject + " has no source picture.");
        return;
    }
    if (!fs::is_regular_file(pathOf(path), error)) {
        out.advice.push_back(subject + ": the source picture " + shownPath + " does not exist.");
        return;
    }
    try {
        LoadOptions cheapest;
        cheapest.minimumSize = [](int, int) { return PictureSize{1, 1}; };
        const LoadedPicture picture = loadPicture(path, cheapest);
        const std::optional<int> width = number(data.sliderWidth), height = number(data.sliderHeight);
        if (!width || !height || !inRange(appletField(&TAppletData::sliderWidth), *width) ||
            !inRange(appletField(&TAppletData::sliderHeight), *height))
            return;
        const SliderGeometry geometry =
            computeSliderGeometry(picture.sourceWidth, picture.sourceHeight, *width, *height);
        if (geometry.scaledWidth > picture.sourceWidth)
            out.advice.push_back(subject + ": the picture is " + std::to_string(picture.sourceWidth) + " x " +
                                 std::to_string(picture.sourceHeight) + " pixels and will be enlarged to " +
                                 std::to_string(geometry.scaledWidth) + " x " + std::to_string(geometry.scaledHeight) +
                                 ", so it will look blurry.");
    } catch (const VeskaroError& failure) {
        out.problems.push_back(subject + ": " + failure.what());
    }
}

void checkItems(const TkvlAppletAgent& project, PublishingFindings& out) {
    const TAppletData data = project.GetAppletData();
    const std::string localRoot = asciiLower(data.InternalUse_RootDir_Local);
    for (int k = 0; k < project.itemCount(); ++k) {
        const TItemData item = project.GetItem(k);
        const std::string path = trimText(item.IOriginalImagePath);
        const std::string subject = itemSubject(project, k);
        checkPicture(subject, path, resolvePicturePath(project.projectFolder(), path), data, out);
        if (pictureFileOf(item) != item.IImageFile)
            out.advice.push_back(subject + ": the picture name \"" + item.IImageFile +
                                 "\" is not a plain file name, so publishing ignores it.");
        if (linksStayLocal(data) && asciiLower(item.ILink).find(localRoot) != std::string::npos)
            out.advice.push_back(subject + ": the link " + item.ILink +
                                 " still points at the local root, and no web root is set to switch it to.");
        if (trimText(item.IToolTip).empty())
            out.advice.push_back(subject + " has no description, so its picture gets an empty alternative text.");
    }
}

// An empty address names the page itself (browsers drop the blanks around one), so the slider makes such
// a picture no link at all; a user who meant to link it learns so here rather than from a visitor.
void checkEmptyLinks(const TkvlAppletAgent& project, std::vector<std::string>& out) {
    for (int k = 0; k < project.itemCount(); ++k) {
        const TItemData item = project.GetItem(k);
        if (trimText(item.ILink).empty())
            out.push_back(itemSubject(project, k) + " has no link, so its picture leads nowhere when clicked.");
    }
}

} // namespace

double contrastRatio(const std::string& first, const std::string& second) {
    const double a = luminance(rgbOfColorText(first).value_or(std::array<int, 3>{}));
    const double b = luminance(rgbOfColorText(second).value_or(std::array<int, 3>{}));
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::vector<std::string> PublishingFindings::all() const {
    std::vector<std::string> findings = problems;
    findings.insert(findings.end(), advice.begin(), advice.end());
    return findings;
}

PublishingFindings checkForPublishing(const TkvlAppletAgent& project, const Places& places, const std::string& folder,
                                      const std::string& fileName) {
    PublishingFindings findings;
    findings.problems = publishingProblems(project, places, folder, fileName);
    checkItems(project, findings);
    checkEmptyLinks(project, findings.advice);
    checkColours(project.GetAppletData(), findings.advice);
    return findings;
}

} // namespace veskaro
