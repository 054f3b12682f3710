// The Preview folder's bookkeeping: every file put there is recorded, so that clearing removes exactly
// what this run of the program put there. Copies and deletions report nothing.

#include "model/Folders.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"

#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

std::string comparable(const std::string& path) {
    return AsciiLower(TrimText(path));
}

} // namespace

void TkvlAppletAgent::CopyToPreview(const std::string& path) {
    const std::string preview = GetPreviewFolder();
    const std::string name = FileNamePart(path);
    if (comparable(path) != comparable(preview + name)) {
        std::error_code ignored;
        fs::copy_file(path, preview + name, fs::copy_options::overwrite_existing, ignored);
    }
    m_previewFiles.push_back(name);
}

void TkvlAppletAgent::CopyLinkedFilesToPreview(const std::string& shippedFolder, const std::string& generatedFolder) {
    for (const TLinkedFileInfo& file : m_linkedFiles) {
        const std::string source = (file.Generated ? generatedFolder : shippedFolder) + file.FileName;
        CopyToPreview(source);
        if (file.Generated) {
            std::error_code ignored;
            fs::remove(source, ignored);
        }
    }
}

void TkvlAppletAgent::CopyResourceFilesToPreview(const std::string& sourceFolder, ProgressView& progress) {
    progress.setMaximum(100);
    ProgressScope scope(progress, "Copying Resource Files ... ...");
    ClearResourceFiles();
    for (const std::string& name : m_resourceFiles)
        CopyToPreview(sourceFolder + name);
    progress.step(50);
    progress.step(50);
}

void TkvlAppletAgent::ClearPreviewFolder() {
    const std::string preview = GetPreviewFolder();
    std::error_code ignored;
    for (const std::string& name : m_previewFiles)
        fs::remove(preview + name, ignored);
    m_previewFiles.clear();
    if (fs::is_empty(preview, ignored) && !ignored)
        fs::remove(preview, ignored);
}

} // namespace veskaro
