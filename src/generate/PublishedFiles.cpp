#include "generate/PublishedFiles.h"

#include "generate/PageText.h"
#include "generate/PublishedPictures.h"
#include "generate/Publisher.h"
#include "generate/RootPath.h"
#include "imaging/PictureFormat.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/PathText.h"
#include "platform/VeskaroError.h"

#include <filesystem>
#include <optional>
#include <unordered_set>

namespace veskaro {

namespace fs = std::filesystem;

std::string styleSheetName(const std::string& sliderName) {
    return SliderId(sliderName) + ".css";
}

std::string plannedPictureName(const TkvlAppletAgent& project, int index) {
    const std::string source = sourcePictureOf(project, index);
    if (source.empty())
        return pictureFileOf(project.GetItem(index));
    // Options that cannot be used stop publishing before anything is named.
    const PictureChoices choices = pictureChoicesOf(project.options()).value_or(PictureChoices{});
    try {
        return preparedPictureBase(index) + preparedExtension(fallbackFormat(formatFromExtension(source), choices));
    } catch (const VeskaroError&) {
        return {};
    }
}

std::vector<PublishedFile> publishedFiles(const TkvlAppletAgent& project, const std::string& fileName) {
    const std::string base = projectBaseName(fileName);
    std::vector<PublishedFile> files;
    // A name is published once, whatever names it twice (an edited file may give two items one picture).
    std::unordered_set<std::string> listed;
    const auto add = [&](std::string name, FileOrigin origin, PublishedKind kind) {
        if (!name.empty() && listed.insert(name).second)
            files.push_back({std::move(name), origin, kind});
    };
    add(base + ".html", FileOrigin::Staging, PublishedKind::Page);
    for (const TLinkedFileInfo& file : project.linkedFiles())
        add(file.FileName, file.Generated ? FileOrigin::Staging : FileOrigin::DataFolder,
            file.Generated ? PublishedKind::StyleSheet : PublishedKind::Script);
    for (int k = 0; k < project.itemCount(); ++k)
        for (const PublishedPicture& picture : publishedPicturesOf(project, k))
            add(picture.name, FileOrigin::Preview, PublishedKind::Picture);
    add(base + ".vsk", FileOrigin::Staging, PublishedKind::ProjectFile);
    add(base + kPublishReportSuffix, FileOrigin::Staging, PublishedKind::Report);
    return files;
}

void settlePublishedValues(TkvlAppletAgent& project) {
    TAppletData data = project.GetAppletData();
    // Taking the parameters from the window empties reserved; the files carry it so from every front end.
    data.reserved.clear();
    project.SetAppletData(data);
    for (int k = 0; k < project.itemCount(); ++k) {
        TItemData item = project.GetItem(k);
        item.ILink = switchRootPath(item.ILink, data);
        item.IImageFile = plannedPictureName(project, k);
        project.SetItem(item, k);
    }
    for (std::size_t k = 0; k < project.linkedFiles().size(); ++k)
        if (project.linkedFiles()[k].Generated)
            project.renameLinkedFile(k, styleSheetName(data.pSliderName));
}

namespace {

// A source removed or made smaller since the publish gives no copies now, but the page that publish wrote
// still offers them: a page naming a file the server lacks shows a broken picture, while one file more that
// nothing names harms nothing, so every copy found beside its picture goes too.
void addCopiesFoundIn(const std::string& folder, const TkvlAppletAgent& project, std::vector<PublishedFile>& files) {
    const std::optional<PictureChoices> choices = pictureChoicesOf(project.options());
    if (!choices)
        return;
    std::unordered_set<std::string> listed;
    for (const PublishedFile& file : files)
        listed.insert(file.name);
    for (int k = 0; k < project.itemCount(); ++k)
        for (std::string& copy : possibleCopiesOf(pictureFileOf(project.GetItem(k)), *choices)) {
            std::error_code error;
            if (!listed.contains(copy) && fs::is_regular_file(pathOf(folder) / pathOf(copy), error)) {
                listed.insert(copy);
                files.push_back({std::move(copy), FileOrigin::Preview, PublishedKind::Picture});
            }
        }
}

} // namespace

// The project file holds the names the publish gave the pictures, but not the style sheet's, which the
// slider's name gives.
std::vector<PublishedFile> filesForTheWebServer(const TkvlAppletAgent& savedProject, const std::string& fileName,
                                                const std::string& folder) {
    const TkvlAppletAgent published = asPublished(savedProject);
    std::vector<PublishedFile> files = publishedFiles(published, fileName);
    std::erase_if(files, [](const PublishedFile& file) {
        return file.kind == PublishedKind::ProjectFile || file.kind == PublishedKind::Report;
    });
    addCopiesFoundIn(folder, published, files);
    return files;
}

TkvlAppletAgent asPublished(TkvlAppletAgent project) {
    settlePublishedValues(project);
    return project;
}

} // namespace veskaro
