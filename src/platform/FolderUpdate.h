#pragma once

#include <string>
#include <vector>

namespace veskaro {

/// Replaces several files of one folder as one update. Each new file is first copied to a temporary file
/// beside the file it replaces; only when every one is written are they renamed into place, in the order
/// they were added. A failure while copying (a full disk, a file the user may not write) leaves the folder
/// as it was; an interruption leaves every file whole, the earlier one or the new one. Updates of one folder
/// by several runs take turns, and each removes the temporary files an interrupted update left there.
class FolderUpdate {
public:
    /// Starts an update of folder (ending in the delimiter): waits for the folder's turn, then removes the
    /// temporary files left there by interrupted writes.
    explicit FolderUpdate(std::string folder);
    /// Removes the temporary files not yet renamed into place and ends the folder's turn.
    ~FolderUpdate();
    FolderUpdate(const FolderUpdate&) = delete;
    FolderUpdate& operator=(const FolderUpdate&) = delete;

    /// Copies the file from to a temporary file beside folder + name. Throws VeskaroError, with no temporary
    /// file left behind, when it cannot be read or written.
    void add(const std::string& from, const std::string& name);
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
