#include "generate/Publisher.h"
#include "model/ProgressView.h"
#include "model/ProjectFile.h"
#include "model/TkvlAppletAgent.h"
#include "platform/Places.h"

#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

void copyReplacing(const std::string& from, const std::string& to) {
    std::error_code ignored;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ignored);
}

} // namespace

std::string projectBaseName(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

Publisher::Publisher(const Places& places) : m_places(places), m_preview(places) {}

bool Publisher::SaveAndPublish(TkvlAppletAgent& project, const std::string& folder, const std::string& fileName,
                               ItemTree& tree, ProgressView& progress) {
    // A value the project file cannot hold would stop the save after the page was replaced; refusing it
    // first leaves the folder as it was.
    ensureStorable(project);
    const std::string preview = m_places.GetPreviewFolder();
    const std::string base = projectBaseName(fileName);
    GenerateHTML(project, folder + base + ".html", tree, progress);
    const std::string generated = m_places.GetStagingFolder();
    for (const TLinkedFileInfo& file : project.linkedFiles())
        copyReplacing((file.Generated ? generated : m_places.dataFolder()) + file.FileName, folder + file.FileName);
    project.SaveToFile(folder + base + ".vsk", progress);
    WritePublishReport(project, folder, base + "_PublishReport.txt", progress);

    progress.setMaximum(100);
    ProgressScope scope(progress, "Copying Publishable Files ... ...");
    for (const TItemData& item : project.items()) {
        std::error_code error;
        if (!item.IImageFile.empty() && fs::exists(preview + item.IImageFile, error))
            copyReplacing(preview + item.IImageFile, folder + item.IImageFile);
    }
    m_preview.ClearResourceFiles();
    for (const std::string& name : m_preview.resourceFiles())
        copyReplacing(preview + name, folder + name);
    progress.step(50);
    progress.step(50);
    return true;
}

} // namespace veskaro
