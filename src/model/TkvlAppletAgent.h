#pragma once

#include "model/AppletTypes.h"
#include "model/ProjectOptions.h"

#include <string>
#include <utility>
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

/// The one project of the designer, as a plain value: script parameters, items in tree order, the files
/// the page links to, and the folder of its project file, from which relative picture paths are read.
class TkvlAppletAgent {
public:
    /// Creates an empty project with its three linked files.
    TkvlAppletAgent();

    void AddLinkedFile(const std::string& fileName, const std::string& fileType, bool generated);
    /// Gives the script parameters and the options their defaults and removes every item; linked files stay.
    /// The project then belongs to no file.
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
    /// Replaces every item.
    void setItems(TItemArray items) { m_items = std::move(items); }
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

    /// Gives the linked file at index another file name; the page generator names the style sheet so.
    void renameLinkedFile(std::size_t index, const std::string& fileName);

    int itemCount() const { return static_cast<int>(m_items.size()); }
    const TItemArray& items() const { return m_items; }
    const TLinkedFileInfoArray& linkedFiles() const { return m_linkedFiles; }
    const std::string& separator() const { return m_separator; }
    const std::string& productVersion() const { return m_productVersion; }
    /// Returns the folder of the project file last read or saved, ending in the delimiter; empty for a
    /// project that has no file yet.
    const std::string& projectFolder() const { return m_projectFolder; }
    void setProjectFolder(std::string folder) { m_projectFolder = std::move(folder); }
    /// Returns the options beyond the script parameters (pictures for visitors, the upload target).
    const ProjectOptions& options() const { return m_options; }
    void setOptions(ProjectOptions options) { m_options = std::move(options); }

private:
    TAppletData m_appletData;
    TItemArray m_items;
    TLinkedFileInfoArray m_linkedFiles;
    std::string m_separator;
    std::string m_productVersion;
    std::string m_projectFolder;
    ProjectOptions m_options;
};

} // namespace veskaro
