// Everything publishing refuses, found before it writes anything: the save, the preview and the
// publishing check all ask here, so that they never disagree on what stops a project.

#include "generate/PublishingProblems.h"

#include "generate/PageText.h"
#include "generate/PublishedFiles.h"
#include "generate/PublishedPictures.h"
#include "generate/Publisher.h"
#include "model/ParameterRules.h"
#include "model/ProjectFile.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/FileIdentity.h"
#include "platform/PathText.h"
#include "platform/Places.h"
#include "platform/PortableFileName.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <unordered_map>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

using Problems = std::vector<std::string>;

constexpr std::string_view kForbiddenCharactersText = "any of the characters < > : \" / \\ | ? * or control characters";

void listSliderNameProblems(const std::string& sliderName, Problems& out) {
    if (const SliderNameProblem problem = sliderNameProblem(sliderName); problem != SliderNameProblem::None)
        out.push_back(sliderNameProblemText(problem));
}

// The project as its project file will hold it: reserved emptied, the links switched to their root, the
// derived item values recomputed (their new values always fit) and stale picture names dropped.
void listStorabilityProblems(const TkvlAppletAgent& project, Problems& out) {
    TkvlAppletAgent written = asPublished(project);
    const std::string& separator = project.separator();
    for (int k = 0; k < written.itemCount(); ++k) {
        TItemData item = written.GetItem(k);
        const std::string& typed = project.items()[static_cast<std::size_t>(k)].ILink;
        if (typed.find(separator) == std::string::npos && item.ILink.find(separator) != std::string::npos) {
            out.push_back("The link of item " + std::to_string(k + 1) + " would read \"" + item.ILink +
                          "\" once its root is switched, and a project file cannot hold \"" + separator + "\".");
            item.ILink = typed;
        }
        item.ILevel.clear();
        if (!sourcePictureOf(project, k).empty()) {
            item.IImageWidth.clear();
            item.IImageHeight.clear();
        }
        written.SetItem(item, k);
    }
    const Problems found = storabilityProblems(written);
    out.insert(out.end(), found.begin(), found.end());
}

void listNameLengthProblems(const std::string& fileName, Problems& out) {
    const std::string report = projectBaseName(fileName) + kPublishReportSuffix;
    if (report.size() > kLongestFileName)
        out.push_back("The project file name \"" + fileName + "\" is too long: its publish report \"" + report +
                      "\" would exceed the " + std::to_string(kLongestFileName) +
                      " bytes a file name holds. Please choose a shorter name.");
}

// A folder published on Linux may be copied to Windows, or published there from the same project file.
// The page, the project file and the report share the base name, and the system reads a device name from
// the part before the first dot: the page's name tells for all three.
void listUnportableProjectNames(const std::string& fileName, const std::vector<PublishedFile>& files, Problems& out) {
    const auto page = std::find_if(files.begin(), files.end(),
                                   [](const PublishedFile& file) { return file.kind == PublishedKind::Page; });
    if (page == files.end())
        return;
    std::string reason;
    switch (portableNameProblem(page->name)) {
    case PortableNameProblem::ForbiddenCharacter:
        reason = "it must not contain " + std::string(kForbiddenCharactersText);
        break;
    case PortableNameProblem::ReservedName:
        reason = "Windows keeps its first part for a device";
        break;
    case PortableNameProblem::None:
        return;
    }
    out.push_back("The project file name \"" + fileName + "\" cannot name its files on every system: " + reason +
                  ". Please choose another name.");
}

void listMissingScripts(const TkvlAppletAgent& project, const std::string& dataFolder, Problems& out) {
    for (const TLinkedFileInfo& file : project.linkedFiles()) {
        std::error_code error;
        if (!file.Generated && !fs::is_regular_file(pathOf(dataFolder + file.FileName), error))
            out.push_back("The slider script " + file.FileName + " is missing from " + dataFolder +
                          "; the published slider would not run.");
    }
}

// The identity of the regular file a path names, if it is one.
std::optional<FileIdentity> regularFileIdentity(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(pathOf(path), error) ? fileIdentityOf(path) : std::nullopt;
}

// Compares the files themselves, so that a link, a hard link or a name in another letter case on a file
// system that ignores case is caught as well as the same name. Each source is looked up among the
// published files by its identity, so that a folder published before with as many pictures as items costs
// no comparison of every item with every file.
void listSourceClashes(const TkvlAppletAgent& project, const std::string& folder,
                       const std::vector<PublishedFile>& files, Problems& out) {
    std::unordered_map<FileIdentity, std::vector<std::string>, FileIdentityHash> existing;
    for (const PublishedFile& file : files) {
        if (const std::optional<FileIdentity> identity = regularFileIdentity(folder + file.name))
            existing[*identity].push_back(file.name);
    }
    for (int k = 0; k < project.itemCount() && !existing.empty(); ++k) {
        const std::string source = sourcePictureOf(project, k);
        const std::optional<FileIdentity> identity = source.empty() ? std::nullopt : regularFileIdentity(source);
        const auto found = identity ? existing.find(*identity) : existing.end();
        if (found == existing.end())
            continue;
        for (const std::string& name : found->second)
            out.push_back(itemSubject(project, k) + ": publishing would overwrite its source picture " +
                          trimText(project.GetItem(k).IOriginalImagePath) + " with the published file " + name +
                          ". Please rename or move the picture, or publish into another folder.");
    }
}

} // namespace

SliderNameProblem sliderNameProblem(const std::string& sliderName) {
    switch (portableNameProblem(styleSheetName(sliderName))) {
    case PortableNameProblem::ForbiddenCharacter:
        return SliderNameProblem::UnsafeCharacter;
    case PortableNameProblem::ReservedName:
        return SliderNameProblem::ReservedName;
    case PortableNameProblem::None:
        break;
    }
    if (sliderName.find('\x7f') != std::string::npos)
        return SliderNameProblem::UnsafeCharacter;
    return sliderNameFits(sliderName) ? SliderNameProblem::None : SliderNameProblem::TooLong;
}

bool sliderNameFits(const std::string& sliderName) {
    return SliderId(sliderName).size() <= kLongestSliderId;
}

std::string sliderNameProblemText(SliderNameProblem problem) {
    switch (problem) {
    case SliderNameProblem::UnsafeCharacter:
        return "The slider name must not contain " + std::string(kForbiddenCharactersText) +
               ", because it names the slider's style sheet file. Please choose another slider name.";
    case SliderNameProblem::ReservedName:
        return "The slider name without its blanks is a name Windows keeps for a device (CON, PRN, AUX, NUL, COM1 to "
               "COM9, LPT1 to LPT9), so it cannot name the slider's style sheet file. Please choose another slider "
               "name.";
    case SliderNameProblem::TooLong:
        return "The slider name is too long: it names the slider's style sheet file, so without its blanks it may "
               "hold at most " +
               std::to_string(kLongestSliderId) +
               " bytes (a letter outside the English alphabet takes two or more). Please choose a shorter slider "
               "name.";
    case SliderNameProblem::None:
        break;
    }
    return {};
}

std::string itemSubject(const TkvlAppletAgent& project, int index) {
    const std::string path = trimText(project.GetItem(index).IOriginalImagePath);
    return "Item " + std::to_string(index + 1) + (path.empty() ? "" : " (" + fileNamePart(path) + ")");
}

Problems generationProblems(const TAppletData& data) {
    Problems problems;
    listSliderNameProblems(data.pSliderName, problems);
    const Problems parameters = parameterProblems(data);
    problems.insert(problems.end(), parameters.begin(), parameters.end());
    return problems;
}

void requireGeneratable(const TAppletData& data) {
    const Problems problems = generationProblems(data);
    if (!problems.empty())
        throw VeskaroError(problems.front());
}

Problems publishingProblems(const TkvlAppletAgent& project, const Places& places, const std::string& folder,
                            const std::string& fileName) {
    Problems problems = generationProblems(project.GetAppletData());
    if (const std::string quality = jpegQualityProblem(project.options()); !quality.empty())
        problems.push_back(quality);
    listStorabilityProblems(project, problems);
    const std::vector<PublishedFile> files = publishedFiles(asPublished(project), fileName);
    listNameLengthProblems(fileName, problems);
    listUnportableProjectNames(fileName, files, problems);
    listMissingScripts(project, places.dataFolder(), problems);
    listSourceClashes(project, folder, files, problems);
    return problems;
}

void requirePublishable(const TkvlAppletAgent& project, const Places& places, const std::string& folder,
                        const std::string& fileName) {
    const Problems problems = publishingProblems(project, places, folder, fileName);
    if (!problems.empty())
        throw VeskaroError(problems.front() + " Nothing was saved.");
}

} // namespace veskaro
