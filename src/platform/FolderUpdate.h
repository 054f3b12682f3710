#pragma once

#include <string>
#include <vector>

namespace veskaro {

/// Replaces several files of one folder as one update. Each new file is first copied to a temporary file
/// in the folder; only when every one is written are they renamed into place, in the order they were
/// added. A symbolic link in the folder is replaced by the new file, never followed, so that no update
/// writes outside the folder, unless the caller asks for a file to be written through its link. A failure while copying
/// (a full disk, a file the user may not write) leaves the folder as it was; an interruption leaves every file whole,
/// the earlier one or the new one. Updates of one folder by several runs take turns, and each removes the temporary
/// files an interrupted update left there.
class FolderUpdate {
public:
    /// Starts an update of folder (ending in the delimiter): waits for the folder's turn, then removes the
    /// temporary files left there by interrupted writes.
    explicit FolderUpdate(std::string folder);
    /// Removes the temporary files not yet renamed into place and ends the folder's turn.
    ~FolderUpdate();
    FolderUpdate(const FolderUpdate&) = delete;
    FolderUpdate& operator=(const FolderUpdate&) = delete;

    /// How add treats a symbolic link at folder + name.
    enum class Links {
        Replace,      // the link gives way to the new file
        WriteThrough, // the file the link leads to gets the new content and the link stays; a link that
                      // leads to no file is replaced all the same, so that nothing appears elsewhere
    };

    /// Copies the file from to a temporary file for folder + name: in the folder, or beside the file a link
    /// there leads to when it is written through (where the leftovers of its interrupted writes are removed
    /// first). A regular file there that already has from's size and bytes is left alone, and so is its
    /// modification time. Throws VeskaroError, with no temporary file left behind, when it cannot be read or written.
    void add(const std::string& from, const std::string& name, Links links = Links::Replace);
    /// Renames every added file into place, in the order they were added. Throws VeskaroError at the first
    /// rename that fails; the files renamed before it stay in place.
    void commit();

private:
    struct Replacement {
        std::string temporary;
        std::string path;
    };

    std::string m_folder;
    std::vector<Replacement> m_replacements;
    std::size_t m_renamed = 0;
#ifdef _WIN32
    void* m_lock = nullptr; // the folder's mutex, owned
#else
    int m_lock = -1; // the folder, locked
#endif
};

} // namespace veskaro
