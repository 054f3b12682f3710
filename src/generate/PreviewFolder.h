#pragma once

#include "model/AppletTypes.h"

#include <string>

namespace veskaro {

class Places;
class ProgressView;

/// The Preview folder's bookkeeping for one run of the program: every file put there is recorded, so that
/// clearing removes exactly what this run put there. Copies are atomic, so the folder never holds half a
/// file. Copies of the shipped files and deletions report nothing; the files this run made (prepared
/// pictures, the style sheet, the preview page) are moved there with placeInPreview, which does report a
/// failure, because a preview or publish without them would show or publish a stale or missing file.
class PreviewFolder {
public:
    explicit PreviewFolder(const Places& places);

    /// Copies a file into the Preview folder (unless it lies there already) and records its name; a failed
    /// copy is ignored.
    void CopyToPreview(const std::string& path);
    /// Moves a file this run made into the Preview folder (copies it where it cannot be moved) and records
    /// its name; throws VeskaroError when it cannot be put there, leaving the file where it was (the name is
    /// recorded either way, so that clearing removes an earlier file of that name).
    void placeInPreview(const std::string& path);
    /// Puts every linked file into the Preview folder: shipped files from shippedFolder, silently, generated
    /// ones from generatedFolder with placeInPreview, removing each from there once it is in place. Both
    /// folders end in the delimiter.
    void CopyLinkedFilesToPreview(const TLinkedFileInfoArray& linkedFiles, const std::string& shippedFolder,
                                  const std::string& generatedFolder);
    /// Walks the resource files into the Preview folder, reporting the step on progress.
    void CopyResourceFilesToPreview(const std::string& sourceFolder, ProgressView& progress);
    /// Deletes every recorded file from the Preview folder, then the folder itself if it is empty.
    void ClearPreviewFolder();
    void ClearResourceFiles() { m_resourceFiles.clear(); }

    /// Returns the names of the files put into the Preview folder, once for every time.
    const TStringArray& previewFiles() const { return m_previewFiles; }
    /// Returns the further files to copy beside the page; nothing adds to them.
    const TStringArray& resourceFiles() const { return m_resourceFiles; }

private:
    const Places& m_places;
    TStringArray m_previewFiles;
    TStringArray m_resourceFiles;
};

} // namespace veskaro
