// The preview's side of publishing: the page built into the Temp folder, then gathered with everything
// it needs in the Preview folder.

#include "generate/Publisher.h"
#include "model/TkvlAppletAgent.h"
#include "platform/Places.h"
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

std::vector<std::string> Publisher::generatePageLines(TkvlAppletAgent& project, ItemTree& tree,
                                                      ProgressView& progress) {
    const RemovedAtExit scratch(m_places.GetTempFolder() + kScratchPageName);
    GenerateHTML(project, scratch.path(), tree, progress);
    return readTextLines(scratch.path());
}

std::string Publisher::gatherPreview(const TkvlAppletAgent& project, const std::vector<std::string>& pageLines,
                                     ProgressView& progress) {
    const std::string previewFolder = m_places.GetPreviewFolder();
    const std::string tempFolder = m_places.GetTempFolder();
    m_preview.CopyLinkedFilesToPreview(project.linkedFiles(), m_places.dataFolder(), m_places.GetStagingFolder());
    m_preview.CopyResourceFilesToPreview(m_places.dataFolder(), progress);

    const RemovedAtExit page(tempFolder + kPreviewPageName);
    writeTextFileAtomically(page.path(), pageLines);
    m_preview.CopyToPreview(page.path());
    return previewFolder;
}

} // namespace veskaro
