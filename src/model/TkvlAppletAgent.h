#pragma once

#include "model/AppletTypes.h"

#include <string>
#include <vector>

namespace veskaro {

class ItemTree;
class ProgressView;

/// How a project file read ended when it raised no error.
enum class LoadOutcome {
    Loaded,
    NotOurs, // another product's file: nothing changed; the caller shows kForeignProjectMessage
};

inline constexpr const char* kForeignProjectMessage = "This file wasn't saved by Veskaro 1.0, open failed!";

/// Returns the n-th value (counted from 1) of a line of separator-terminated values; a text after the
/// last separator is never a value, and n below 1 gives empty text.
std::string GetFieldN(const std::string& line, int n, const std::string& separator);

/// Returns a project file name without its extension (the part from the last dot on).
std::string ProjectBaseName(const std::string& fileName);

/// The one project of the designer: script parameters, items in tree order, the files the page links
/// to and the bookkeeping of the Preview folder.
class TkvlAppletAgent {
public:
    /// Creates an empty project with its three linked files.
    TkvlAppletAgent();

    void AddLinkedFile(const std::string& fileName, const std::string& fileType, bool generated);
    /// Gives the script parameters their defaults and removes every item; linked files stay.
    void SetDefaults();

    TAppletData GetAppletData() const { return m_appletData; }
    void SetAppletData(const TAppletData& data) { m_appletData = data; }
    TItemData GetItem(int index) const;
    void SetItem(const TItemData& item, int index);
    /// Returns a fresh item: target "_self", size 160 x 120, everything else empty.
    static TItemData DefaultItem();

    /// Inserts an item at index; an empty list takes it whatever the index, an index past the end
    /// changes nothing.
    void InsertItem(int index, const TItemData& item);
    /// Deletes the item at index; a list of one item is emptied whatever the index.
    void DeleteItem(int index);
    /// Exchanges item index with the item before it, when both exist.
    void SwapWithPrevious(int index);

    static TStringArray AppletDataToStrings(const TAppletData& data);
    static TAppletData StringsToAppletData(const TStringArray& strings);
    static TStringArray ItemToStrings(const TItemData& item);
    static TItemData StringsToItem(const TStringArray& strings);

    /// Writes the project file to path, replacing an earlier file only once the new one is complete.
    /// Refuses, before writing anything, a value that the file cannot hold.
    void SaveToFile(const std::string& path, ProgressView& progress) const;
    /// Reads a project file and adds one node per item below the root of tree, which holds only its root.
    /// Either the whole project is replaced or, on an error or a foreign file, nothing changes.
    LoadOutcome LoadFromFile(const std::string& path, ItemTree& tree, ProgressView& progress);

    /// Publishes the project into folder (ending in the delimiter): the page, its style sheet and scripts,
    /// the prepared pictures, the project file (always ".vsk") and the publish report, all named after
    /// fileName without its extension. Returns true; any failure throws before the project file is written.
    bool SaveAndPublish(const std::string& folder, const std::string& fileName, ItemTree& tree,
                        ProgressView& progress);
    /// Returns one sentence for each value that a project file cannot hold ("#$@" or a line break).
    std::vector<std::string> StorabilityProblems() const;
    /// Throws VeskaroError naming the first value that a project file cannot hold ("#$@" or a line break).
    void EnsureStorable() const;
    /// Brings the items up to date, then writes the slider's style sheet into the staging folder and its
    /// page to pagePath. tree holds the root and one node per item, in item order. A slider name that
    /// would place the style sheet elsewhere, or a timing that is no integer, is refused before anything
    /// is written; a failed write leaves an earlier file at that path as it was.
    void GenerateHTML(const std::string& pagePath, ItemTree& tree, ProgressView& progress);
    /// Sets each item's level from its tree node and switches the root of its link between the local
    /// and the remote folder.
    void PrepareItems(const ItemTree& tree);

    /// Prepares one slider-sized picture per item whose source exists, into the Preview folder; an item
    /// whose source is missing keeps its values and its node gets a warning caption.
    void PrepareImages(ItemTree& tree, ProgressView& progress);
    /// Writes the publish report, which lists the files to upload, to folder + name.
    void WritePublishReport(const std::string& folder, const std::string& name, ProgressView& progress);

    /// Copies a file into the Preview folder (unless it lies there already) and records its name.
    void CopyToPreview(const std::string& path);
    /// Puts every linked file into the Preview folder: shipped files from shippedFolder, generated ones
    /// from generatedFolder, from where they are then removed. Both folders end in the delimiter.
    void CopyLinkedFilesToPreview(const std::string& shippedFolder, const std::string& generatedFolder);
    /// Walks the resource files into the Preview folder, reporting the step on progress.
    void CopyResourceFilesToPreview(const std::string& sourceFolder, ProgressView& progress);
    /// Deletes every recorded file from the Preview folder, then the folder itself if it is empty.
    void ClearPreviewFolder();
    void ClearResourceFiles() { m_resourceFiles.clear(); }

    int itemCount() const { return static_cast<int>(m_items.size()); }
    const TItemArray& items() const { return m_items; }
    const TLinkedFileInfoArray& linkedFiles() const { return m_linkedFiles; }
    const TStringArray& previewFiles() const { return m_previewFiles; }
    const TStringArray& resourceFiles() const { return m_resourceFiles; }
    const std::string& separator() const { return m_separator; }
    const std::string& productVersion() const { return m_productVersion; }

private:
    TAppletData m_appletData;
    TItemArray m_items;
    TLinkedFileInfoArray m_linkedFiles;
    TStringArray m_previewFiles;
    TStringArray m_resourceFiles;
    std::string m_separator;
    std::string m_productVersion;
};

} // namespace veskaro
