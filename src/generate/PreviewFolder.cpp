#include "generate/PreviewFolder.h"

#include "model/ProgressView.h"
#include "model/ValueText.h"
#include "platform/Places.h"

#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

std::string comparable(const std::string& path) {
    return asciiLower(trimText(path));
}

} // namespace

PreviewFolder::PreviewFolder(const Places& places) : m_places(places) {}

void PreviewFolder::CopyToPreview(const std::string& path) {
    const std::string preview = m_places.GetPreviewFolder();
    const std::string name = fileNamePart(path);
    if (comparable(path) != comparable(preview + name)) {
        std::error_code ignored;
        fs::copy_file(path, preview + name, fs::copy_options::overwrite_existing, ignored);
    }
    m_previewFiles.push_back(name);
}

void PreviewFolder::CopyLinkedFilesToPreview(const TLinkedFileInfoArray& linkedFiles, const std::string& shippedFolder,
                                             const std::string& generatedFolder) {
    for (const TLinkedFileInfo& file : linkedFiles) {
        const std::string source = (file.Generated ? generatedFolder : shippedFolder) + file.FileName;
        CopyToPreview(source);
        if (file.Generated) {
            std::error_code ignored;
            fs::remove(source, ignored);
        }
    }
}

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
        fs::remove(preview + name, ignored);
    m_previewFiles.clear();
    m_places.removeEmptyPreviewFolder();
}

} // namespace veskaro
