// Two projects published into one folder both name their pictures slider<k>: the second would show its
// pictures on the first one's page. Each publish report lists its project's pictures, so the reports of
// other projects in the folder tell which pictures are theirs.

#include "generate/OtherProjects.h"

#include "generate/PublishedFiles.h"
#include "generate/Publisher.h"
#include "model/TkvlAppletAgent.h"
#include "platform/PathText.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <unordered_set>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPictureSection = "[Image and/or Sound File(s)]";
// A report lists one short line per picture; anything larger is no report of ours and is not read.
constexpr std::uintmax_t kLargestReport = 64ull * 1024 * 1024;

using Names = std::unordered_set<std::string>;

Names pictureNames(const TkvlAppletAgent& project, const std::string& fileName) {
    Names names;
    for (const PublishedFile& file : publishedFiles(asPublished(project), fileName))
        if (file.kind == PublishedKind::Picture)
            names.insert(file.name);
    return names;
}

// The pictures a report lists that are among names, in the report's order, read line by line.
std::vector<std::string> listedAmong(const fs::path& report, const Names& names) {
    std::vector<std::string> found;
    std::ifstream in(report, std::ios::binary);
    bool inPictures = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(kPictureSection, 0) == 0)
            inPictures = true;
        else if (inPictures && line.rfind("  ", 0) != 0)
            break;
        else if (inPictures && names.count(line.substr(2)) > 0)
            found.push_back(line.substr(2));
    }
    return found;
}

std::string replacedSentence(const std::string& page, const std::vector<std::string>& pictures) {
    std::string listed = pictures.front();
    for (std::size_t k = 1; k < pictures.size() && k < 3; ++k)
        listed += ", " + pictures[k];
    if (pictures.size() > 3)
        listed += " and " + std::to_string(pictures.size() - 3) + " more";
    return "Publishing would replace the pictures of another project published in this folder, whose page is " + page +
           ": " + listed + ". Please publish into another folder, or replace them on purpose.";
}

} // namespace

std::vector<std::string> replacedProjects(const TkvlAppletAgent& project, const std::string& folder,
                                          const std::string& fileName) {
    const std::string suffix = kPublishReportSuffix;
    const std::string ownReport = projectBaseName(fileName) + suffix;
    std::vector<std::string> sentences;
    Names names;
    std::error_code error;
    for (fs::directory_iterator entry(pathOf(folder), error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = textOf(entry->path().filename());
        std::error_code statusError;
        if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0 ||
            name == ownReport || !entry->is_regular_file(statusError) ||
            entry->file_size(statusError) > kLargestReport || statusError)
            continue;
        if (names.empty())
            names = pictureNames(project, fileName);
        const std::vector<std::string> replaced = listedAmong(entry->path(), names);
        if (!replaced.empty())
            sentences.push_back(replacedSentence(name.substr(0, name.size() - suffix.size()) + ".html", replaced));
    }
    std::sort(sentences.begin(), sentences.end());
    return sentences;
}

} // namespace veskaro
