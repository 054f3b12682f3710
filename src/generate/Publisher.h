#pragma once

#include "generate/PreparationScheduler.h"
#include "generate/PreviewFolder.h"
#include "generate/PublishedFiles.h"
#include "platform/CommandLine.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace veskaro {

class ItemTree;
class PictureCache;
class Places;
class ProgressView;
class TkvlAppletAgent;

/// The scratch file in the Temp folder that the preview page is generated into.
inline constexpr const char* kScratchPageName = "~tmp0001.txt";
/// The name of the preview page in the Temp and Preview folders.
inline constexpr const char* kPreviewPageName = "~preview.html";

/// The caption of the node of an item whose source picture is missing.
inline constexpr const char* kMissingPictureCaption = "Warning: Original image not found.";

/// What a stopped publish or preview says.
inline constexpr const char* kCancelledMessage = "Publishing was cancelled.";

/// Returns a project file name without its extension (the part from the last dot on).
std::string projectBaseName(const std::string& fileName);
/// The ending of the publish report's name; the report is named after the project file.
inline constexpr const char* kPublishReportSuffix = "_PublishReport.txt";

/// Returns the file the picture path of the item at index names: relative paths are taken from the
/// project's folder.
std::string sourcePicturePath(const TkvlAppletAgent& project, int index);
/// Returns why publishing cannot read the source picture at path ("does not exist", "is not a regular
/// file", "cannot be reached: access denied", "cannot be reached: too many levels of links", ...), or empty
/// text when it is a regular file that can be opened.
std::string sourcePictureProblem(const std::string& path);
/// Returns the source picture that publishing prepares for the item at index, or nothing when
/// sourcePictureProblem finds one.
std::string sourcePictureOf(const TkvlAppletAgent& project, int index);

/// Returns the name, without extension, of the picture prepared for the item at index.
std::string preparedPictureBase(int index);

/// Sets each item's level from its tree node (tree holds the root and one node per item, in item order),
/// then the values the published files hold (settlePublishedValues): links switched between the local and
/// the remote root, picture names.
void PrepareItems(TkvlAppletAgent& project, const ItemTree& tree);

/// Publishes projects in the places of one run of the program: the page and its style sheet, the prepared
/// pictures, the publish report and the preview. It keeps the Preview folder's bookkeeping, which lives
/// as long as the run, apart from the project, which stays a plain value.
class Publisher {
public:
    explicit Publisher(const Places& places);
    virtual ~Publisher() = default;
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    const Places& places() const { return m_places; }
    /// Sets how many pictures are prepared at once (at least one; one for each core unless set).
    void setPreparationWorkers(int workers) { m_workers = std::max(workers, 1); }
    PreviewFolder& previewFolder() { return m_preview; }
    /// Keeps prepared pictures in cache and takes them from there; none (the default) prepares every
    /// picture from its source. The published files are the same either way.
    void setPictureCache(std::shared_ptr<PictureCache> cache) { m_pictureCache = std::move(cache); }
    PictureCache* pictureCache() const { return m_pictureCache.get(); }

    /// Publishes the project into folder (ending in the delimiter): the page, its style sheet and scripts,
    /// the prepared pictures, the project file (always ".vsk") and the publish report, all named after
    /// fileName without its extension (publishedFiles lists them). Returns true. Any failure throws
    /// VeskaroError and leaves the project as it was; one before the new files are renamed into place
    /// (every write and copy, a stop asked while the pictures are prepared) leaves the folder's files as
    /// they were.
    virtual bool SaveAndPublish(TkvlAppletAgent& project, const std::string& folder, const std::string& fileName,
                                ItemTree& tree, ProgressView& progress);
    /// Deletes what this run put into the Preview folder.
    virtual void ClearPreviewFolder() { m_preview.ClearPreviewFolder(); }

    /// Brings the items up to date, then writes the slider's style sheet into the Staging folder and its
    /// page to pagePath. A slider name that would place the style sheet elsewhere, or a number parameter
    /// that is no integer, is refused before anything is written; a failed write leaves an earlier file at
    /// that path as it was.
    void GenerateHTML(TkvlAppletAgent& project, const std::string& pagePath, ItemTree& tree, ProgressView& progress);
    /// Prepares one slider-sized picture per item whose source exists, into the Preview folder, several at
    /// once within the memory budget; an item whose source is missing keeps its values and its node gets
    /// a warning caption. Captions and steps follow item order. The first failing picture throws its
    /// error, keeping the ones before it; a stop asked through progress throws kCancelledMessage and
    /// changes neither the project nor the Preview folder.
    void PrepareImages(TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress);
    /// Returns the positions of the items whose source picture the last preparation did not find, in order.
    const std::vector<int>& missingPictures() const { return m_missingPictures; }
    /// Writes the publish report, which lists the files to upload, to folder + name.
    void WritePublishReport(const TkvlAppletAgent& project, const std::string& folder, const std::string& name,
                            ProgressView& progress);

    /// Generates the slider page as a save would, but into the Temp folder's scratch file, and returns its
    /// lines. The scratch file is gone afterwards, also when generation fails.
    std::vector<std::string> generatePageLines(TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress);
    /// Gathers the preview in the Preview folder: the linked files (shipped scripts, the style sheet moved
    /// out of the Staging folder), the resource step and the page as "~preview.html", written through the
    /// Temp folder. Returns the Preview folder, ending in the delimiter.
    std::string gatherPreview(const TkvlAppletAgent& project, const std::vector<std::string>& pageLines,
                              ProgressView& progress);

private:
    // Returns the folder that files of origin are taken from, ending in the delimiter.
    std::string originFolder(FileOrigin origin) const;
    void publishInto(TkvlAppletAgent& project, const std::string& folder, const std::string& fileName, ItemTree& tree,
                     ProgressView& progress);

    const Places& m_places;
    PreviewFolder m_preview;
    int m_workers = defaultPreparationWorkers();
    std::shared_ptr<PictureCache> m_pictureCache;
    std::vector<int> m_missingPictures;
};

} // namespace veskaro
