#include "generate/PreviewPage.h"

#include "model/Folders.h"
#include "model/TkvlAppletAgent.h"
#include "platform/TextFile.h"

#include <filesystem>

namespace veskaro {

namespace {

// Removes a work file on every way out, so that no scratch file outlives the preview.
class RemovedAtExit {
public:
    explicit RemovedAtExit(std::string path) : m_path(std::move(path)) {}
    ~RemovedAtExit() {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    RemovedAtExit(const RemovedAtExit&) = delete;
    RemovedAtExit& operator=(const RemovedAtExit&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

std::vector<std::string> GeneratePageLines(TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress) {
    const RemovedAtExit scratch(GetTempFolder() + kScratchPageName);
    project.GenerateHTML(scratch.path(), tree, progress);
    return readTextLines(scratch.path());
}

std::string GatherPreview(TkvlAppletAgent& project, const std::vector<std::string>& pageLines,
                          const std::string& shippedFolder, ProgressView& progress) {
    const std::string previewFolder = GetPreviewFolder();
    const std::string tempFolder = GetTempFolder();
    project.CopyLinkedFilesToPreview(shippedFolder, GetStagingFolder());
    project.CopyResourceFilesToPreview(shippedFolder, progress);

    const RemovedAtExit page(tempFolder + kPreviewPageName);
    writeTextFileAtomically(page.path(), pageLines);
    project.CopyToPreview(page.path());
    return previewFolder;
}

} // namespace veskaro
