#include "model/Folders.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/ProgramFile.h"

#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

void copyReplacing(const std::string& from, const std::string& to) {
    std::error_code ignored;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ignored);
}

} // namespace

std::string ProjectBaseName(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

bool TkvlAppletAgent::SaveAndPublish(const std::string& folder, const std::string& fileName, ItemTree& tree,
                                     ProgressView& progress) {
    // A value the project file cannot hold would stop the save after the page was replaced; refusing it
    // first leaves the folder as it was.
    EnsureStorable();
    const std::string preview = GetPreviewFolder();
    const std::string base = ProjectBaseName(fileName);
    GenerateHTML(folder + base + ".html", tree, progress);
    const std::string shipped = dataFolder();
    const std::string generated = GetStagingFolder();
    for (const TLinkedFileInfo& file : m_linkedFiles)
        copyReplacing((file.Generated ? generated : shipped) + file.FileName, folder + file.FileName);
    SaveToFile(folder + base + ".vsk", progress);
    WritePublishReport(folder, base + "_PublishReport.txt", progress);

    progress.setMaximum(100);
    ProgressScope scope(progress, "Copying Publishable Files ... ...");
    for (const TItemData& item : m_items) {
        std::error_code error;
        if (!item.IImageFile.empty() && fs::exists(preview + item.IImageFile, error))
            copyReplacing(preview + item.IImageFile, folder + item.IImageFile);
    }
    ClearResourceFiles();
    for (const std::string& name : m_resourceFiles)
        copyReplacing(preview + name, folder + name);
    progress.step(50);
    progress.step(50);
    return true;
}

} // namespace veskaro
