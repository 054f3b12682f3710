// The preview's side of publishing: the page built into the Temp folder, then gathered with everything
// it needs in the Preview folder.

#include "generate/Publisher.h"
#include "generate/RemovedAtExit.h"
#include "model/TkvlAppletAgent.h"
#include "platform/Places.h"
#include "platform/TextFile.h"

namespace veskaro {

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
    // The browser opens this page: an earlier one left in its place would show a stale slider.
    m_preview.placeInPreview(page.path());
    return previewFolder;
}

} // namespace veskaro
