#include "generate/PreviewFolder.h"

#include "model/ProgressView.h"
#include "model/ValueText.h"
#include "platform/PathText.h"
#include "platform/Places.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

std::string comparable(const std::string& path) {
    return asciiLower(trimText(path));
}

// Puts path into the Preview folder unless it lies there already. A file this run made is not needed where it
// was made: a rename puts it in place without a new file, which a save of many pictures would otherwise make
// for each; where the rename fails (another volume, something in the way), the copy does the work and says
// why it cannot. The folder is the run's work, so nothing waits for the disk.
void putUnlessThere(const std::string& path, const std::string& preview, bool mayMove) {
    const std::string target = preview + fileNamePart(path);
    if (comparable(path) == comparable(target))
        return;
    if (!mayMove || !moveFileOver(path, target))
        copyFileAtomically(path, target, Durability::WorkFile);
}

} // namespace

PreviewFolder::PreviewFolder(const Places& places) : m_places(places) {}

void PreviewFolder::CopyToPreview(const std::string& path) {
    const std::string preview = m_places.GetPreviewFolder();
    try {
        putUnlessThere(path, preview, false);
    } catch (const VeskaroError&) {
        // The bookkeeping's own copies are silent; the atomic copy has left no part of the file behind.
    }
    m_previewFiles.push_back(fileNamePart(path));
}

void PreviewFolder::placeInPreview(const std::string& path) {
    m_previewFiles.push_back(fileNamePart(path));
    putUnlessThere(path, m_places.GetPreviewFolder(), true);
}

void PreviewFolder::CopyLinkedFilesToPreview(const TLinkedFileInfoArray& linkedFiles, const std::string& shippedFolder,
                                             const std::string& generatedFolder) {
    for (const TLinkedFileInfo& file : linkedFiles) {
        if (!file.Generated) {
            CopyToPreview(shippedFolder + file.FileName);
            continue;
        }
        // The generated style sheet has no other copy: it leaves the Staging folder only once it is in the
        // Preview folder.
        const std::string source = generatedFolder + file.FileName;
        placeInPreview(source);
        std::error_code ignored;
        fs::remove(pathOf(source), ignored);
    }
}

// The one home of the resource step: nothing adds resource files, so it copies nothing, but the step is
// part of the preview and of opening a project, with its hint and progress; publishing and the report,
// which would walk the same empty list, leave it out.
void PreviewFolder::CopyResourceFilesToPreview(const std::string& sourceFolder, ProgressView& progress) {
    progress.setMaximum(100);
    ProgressScope scope(progress, "Copying Resource Files ... ...");
    ClearResourceFiles();
    for (const std::string& name : m_resourceFiles)
        CopyToPreview(sourceFolder + name);
    progress.step(50);
    progress.step(50);
}

void PreviewFolder::ClearPreviewFolder() {
    const std::string preview = m_places.GetPreviewFolder();
    std::error_code ignored;
    for (const std::string& name : m_previewFiles)
        fs::remove(pathOf(preview + name), ignored);
    m_previewFiles.clear();
    m_places.removeEmptyPreviewFolder();
}

} // namespace veskaro
