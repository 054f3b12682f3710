#include "platform/FolderUpdate.h"

#include "platform/FileLock.h"
#include "platform/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace veskaro {

namespace {

// Takes the advisory lock of a folder, waiting while another run holds it; the system drops it when its
// holder ends, also when the holder was killed. Without the lock, one run's removal of leftover temporary
// files could take away the files another run is about to rename. Where the folder or the file system
// offers no lock, the update goes ahead without one: the lock only keeps runs apart, it never decides
// whether a write succeeds.
int lockFolder([[maybe_unused]] const std::string& folder) {
#ifndef _WIN32
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return -1;
    if (flockRetrying(descriptor, LOCK_EX) != 0) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
#else
    return -1;
#endif
}

} // namespace

FolderUpdate::FolderUpdate(std::string folder) : m_folder(std::move(folder)), m_lock(lockFolder(m_folder)) {
    removeLeftoverTemporaryFiles(m_folder);
}

FolderUpdate::~FolderUpdate() {
    for (std::size_t i = m_renamed; i < m_replacements.size(); ++i)
        std::remove(m_replacements[i].temporary.c_str());
#ifndef _WIN32
    if (m_lock >= 0)
        ::close(m_lock);
#endif
}

void FolderUpdate::add(const std::string& from, const std::string& name, Links links) {
    const std::string path = m_folder + name;
    std::error_code error;
    // Only a link to a file that is there is written through: a dangling one would create a file wherever
    // it points.
    const bool through = links == Links::WriteThrough && std::filesystem::exists(path, error);
    if (through)
        removeLeftoverTemporaryFilesOf(path);
    m_replacements.push_back(
        {copyToTemporaryFile(from, path, Durability::OnDisk, through ? LinkHandling::Follow : LinkHandling::Replace),
         path});
}

void FolderUpdate::commit() {
    for (; m_renamed < m_replacements.size(); ++m_renamed) {
        const Replacement& replacement = m_replacements[m_renamed];
        replaceWithTemporaryFile(replacement.temporary, replacement.path);
    }
    flushFolder(m_folder);
    // A file written through its link was renamed in the folder of the file the link leads to.
    for (const Replacement& replacement : m_replacements) {
        const std::filesystem::path folder = std::filesystem::path(replacement.temporary).parent_path();
        if (folder != std::filesystem::path(replacement.path).parent_path())
            flushFolder(folder.string());
    }
}

} // namespace veskaro
