#include "generate/PublishCheck.h"

#include "generate/PublishedPictures.h"

#include "generate/Publisher.h"
#include "generate/PublishingProblems.h"
#include "imaging/PictureLoader.h"
#include "imaging/SliderGeometry.h"
#include "model/ColorText.h"
#include "model/ParameterRules.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/PathText.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

std::string oneDecimal(double figure) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", figure);
    return text;
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
        if (ratio < kMinimumContrast)
            out.push_back("The " + std::string(pair.state) + " buttons show text " + text + " on " + background +
                          " with a contrast of " + oneDecimal(ratio) + ":1, below " + oneDecimal(kMinimumContrast) +
                          ":1; some visitors cannot read the numbers.");
    }
}

bool linksStayLocal(const TAppletData& data) {
    return data.InternalUse_RootDir_Local_Checked != "1" && !trimText(data.InternalUse_RootDir_Local).empty() &&
           trimText(data.InternalUse_RootDir_Remote).empty();
}

// Messages name the picture as the project file holds it; the file checked is the one that path names
// from the project's folder. A source that cannot be read leaves its slide without its picture and one
// the preparation refuses stops publishing: both are problems; a picture that will be enlarged is advice.
void checkPicture(const TkvlAppletAgent& project, int index, const std::string& folder, const TAppletData& data,
                  PublishingFindings& out) {
    const std::string subject = itemSubject(project, index);
    const std::string path = sourcePicturePath(project, index);
    if (const std::string missing = missingSourceFinding(project, index, folder); !missing.empty()) {
        out.withoutPicture.push_back(missing);
        return;
    }
    try {
        LoadOptions cheapest;
        cheapest.minimumSize = [](int, int) { return PictureSize{1, 1}; };
        const LoadedPicture picture = loadPicture(path, cheapest);
        // A size outside its rules is a problem of its own, reported with the parameters.
        const std::optional<SliderSize> slider = sliderSizeOf(data);
        if (!slider)
            return;
        const SliderGeometry geometry =
            computeSliderGeometry(picture.sourceWidth, picture.sourceHeight, slider->width, slider->height);
        if (geometry.scaledWidth > picture.sourceWidth)
            out.advice.push_back(subject + ": the picture is " + std::to_string(picture.sourceWidth) + " x " +
                                 std::to_string(picture.sourceHeight) + " pixels and will be enlarged to " +
                                 std::to_string(geometry.scaledWidth) + " x " + std::to_string(geometry.scaledHeight) +
                                 ", so it will look blurry.");
        if (project.options().isOn("Pictures.HighDensity"))
            if (const std::string shortfall = highDensityShortfall(pictureSizeOf(path), *slider); !shortfall.empty())
                out.advice.push_back(subject + " gets no sharp copy for high-density screens: " + shortfall + ".");
    } catch (const VeskaroError& failure) {
        out.problems.push_back(subject + ": " + failure.what());
    }
}

void checkItems(const TkvlAppletAgent& project, const std::string& folder, PublishingFindings& out) {
    const TAppletData data = project.GetAppletData();
    const std::string localRoot = asciiLower(data.InternalUse_RootDir_Local);
    for (int k = 0; k < project.itemCount(); ++k) {
        const TItemData item = project.GetItem(k);
        const std::string subject = itemSubject(project, k);
        checkPicture(project, k, folder, data, out);
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

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Decodes the character references an attribute value may hold ("&#106;", "&#x6A;", "&colon;"), as the
// browser does before it reads the address.
std::string decodeCharacterReferences(const std::string& text) {
    static const std::pair<const char*, char> kNamed[] = {{"colon;", ':'}, {"Tab;", '\t'}, {"NewLine;", '\n'},
                                                          {"amp;", '&'},   {"sol;", '/'},  {"lpar;", '('}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        std::size_t j = i + 1;
        if (j < text.size() && text[j] == '#') {
            const bool hex = j + 1 < text.size() && (text[j + 1] == 'x' || text[j + 1] == 'X');
            const int base = hex ? 16 : 10;
            std::size_t k = j + (hex ? 2 : 1);
            unsigned long code = 0;
            const std::size_t digits = k;
            for (int digit; k < text.size() && (digit = digitValue(text[k])) >= 0 && digit < base; ++k)
                code = std::min<unsigned long>(code * base + static_cast<unsigned long>(digit), 0x110000);
            if (k > digits) {
                // Only the ASCII characters matter for a scheme; anything else stands for itself.
                out += code < 128 ? static_cast<char>(code) : '?';
                i = k < text.size() && text[k] == ';' ? k + 1 : k;
                continue;
            }
        }
        bool named = false;
        for (const auto& [name, character] : kNamed)
            if (text.compare(j, std::strlen(name), name) == 0) {
                out += character;
                i = j + std::strlen(name);
                named = true;
                break;
            }
        if (!named)
            out += text[i++];
    }
    return out;
}

// The address as a browser reads it to find its scheme: references decoded, tabs and line breaks dropped,
// leading blanks and control characters skipped, letters in lower case.
std::string addressAsBrowsersReadIt(const std::string& link) {
    std::string address;
    for (const char c : decodeCharacterReferences(link))
        if (c != '\t' && c != '\n' && c != '\r')
            address += c;
    const auto start =
        std::find_if(address.begin(), address.end(), [](char c) { return static_cast<unsigned char>(c) > 0x20; });
    return asciiLower(std::string(start, address.end()));
}

// An empty address names the page itself (browsers drop the blanks around one), so the slider makes such
// a picture no link at all; a user who meant to link it learns so here rather than from a visitor.
void checkLinks(const TkvlAppletAgent& project, std::vector<std::string>& out) {
    for (int k = 0; k < project.itemCount(); ++k) {
        const TItemData item = project.GetItem(k);
        if (trimText(item.ILink).empty())
            out.push_back(itemSubject(project, k) + " has no link, so its picture leads nowhere when clicked.");
        else if (const std::string scheme = scriptScheme(item.ILink); !scheme.empty())
            out.push_back(itemSubject(project, k) + ": the link runs a script (" + scheme +
                          ") when clicked; make sure it is one you wrote.");
    }
}

} // namespace

std::string scriptScheme(const std::string& link) {
    const std::string address = addressAsBrowsersReadIt(link);
    for (const char* scheme : {"javascript:", "data:", "vbscript:"})
        if (address.starts_with(scheme))
            return scheme;
    return {};
}

std::string missingSourceFinding(const TkvlAppletAgent& project, int index, const std::string& folder) {
    const std::string typed = trimText(project.GetItem(index).IOriginalImagePath);
    const std::string problem = sourcePictureProblem(sourcePicturePath(project, index));
    if (problem.empty())
        return {};
    // An item that cannot be prepared keeps the picture it had, which the folder may still hold.
    const std::string earlier = pictureFileOf(project.GetItem(index));
    std::error_code error;
    const std::string shows = !earlier.empty() && fs::is_regular_file(pathOf(folder + earlier), error)
                                  ? "its slide keeps the earlier picture " + earlier
                                  : "its slide shows no picture";
    if (typed.empty())
        return itemSubject(project, index) + " has no source picture, so " + shows + ".";
    return itemSubject(project, index) + ": the source picture " + typed + " " + problem + ", so " + shows + ".";
}

double contrastRatio(const std::string& first, const std::string& second) {
    const double a = luminance(rgbOfColorText(first).value_or(std::array<int, 3>{}));
    const double b = luminance(rgbOfColorText(second).value_or(std::array<int, 3>{}));
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::vector<std::string> PublishingFindings::all() const {
    std::vector<std::string> findings = problems;
    findings.insert(findings.end(), withoutPicture.begin(), withoutPicture.end());
    findings.insert(findings.end(), advice.begin(), advice.end());
    return findings;
}

PublishingFindings checkForPublishing(const TkvlAppletAgent& project, const Places& places, const std::string& folder,
                                      const std::string& fileName) {
    PublishingFindings findings;
    findings.problems = publishingProblems(project, places, folder, fileName);
    checkItems(project, folder, findings);
    checkLinks(project, findings.advice);
    checkColours(project.GetAppletData(), findings.advice);
    return findings;
}

} // namespace veskaro
