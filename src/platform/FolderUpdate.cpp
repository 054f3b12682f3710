#include "platform/FolderUpdate.h"

#include "platform/FileLock.h"
#include "platform/PathText.h"
#include "platform/TextFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
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
#ifdef _WIN32

// A folder cannot be locked itself on Windows, and a lock file would land among the published files, so
// the lock is a mutex named after the folder's full path (letter case aside, as the file system takes
// it). A mutex whose holder died is handed to the next waiter as abandoned, which is the lock all the same.
std::wstring mutexName(const std::string& folder) {
    std::error_code error;
    std::wstring path = std::filesystem::absolute(pathOf(folder), error).lexically_normal().wstring();
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const wchar_t c : path) {
        hash ^= static_cast<std::uint64_t>(std::towlower(static_cast<wint_t>(c)));
        hash *= 1099511628211ull;
    }
    wchar_t digits[17];
    std::swprintf(digits, 17, L"%016llx", static_cast<unsigned long long>(hash));
    return L"Local\\veskaro-folder-update-" + std::wstring(digits);
}

void* lockFolder(const std::string& folder) {
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName(folder).c_str());
    if (!mutex)
        return nullptr;
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return nullptr;
    }
    return mutex;
}

void unlockFolder(void* mutex) {
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

#else

int lockFolder(const std::string& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return -1;
    if (flockRetrying(descriptor, LOCK_EX) != 0) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

void unlockFolder(int descriptor) {
    if (descriptor >= 0)
        ::close(descriptor);
}

#endif

bool sameBytes(std::ifstream& a, std::ifstream& b) {
    constexpr std::size_t kChunk = 65536;
    std::string left(kChunk, '\0'), right(kChunk, '\0');
    while (a && b) {
        a.read(left.data(), kChunk);
        b.read(right.data(), kChunk);
        if (a.gcount() != b.gcount() ||
            left.compare(0, std::size_t(a.gcount()), right, 0, std::size_t(b.gcount())) != 0)
            return false;
    }
    return a.eof() && b.eof();
}

// Tells whether the regular file at path (through its link when followed) already holds what from holds.
// Anything that cannot be read counts as different, and the file is replaced as before.
bool holdsSameContent(const std::string& from, const std::string& path, bool followLinks) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status =
        followLinks ? fs::status(pathOf(path), error) : fs::symlink_status(pathOf(path), error);
    if (error || !fs::is_regular_file(status))
        return false;
    const std::uintmax_t size = fs::file_size(pathOf(path), error);
    if (error || size != fs::file_size(pathOf(from), error) || error)
        return false;
    std::ifstream old(pathOf(path), std::ios::binary);
    std::ifstream replacement(pathOf(from), std::ios::binary);
    return old && replacement && sameBytes(old, replacement);
}

} // namespace

FolderUpdate::FolderUpdate(std::string folder) : m_folder(std::move(folder)), m_lock(lockFolder(m_folder)) {
    removeLeftoverTemporaryFiles(m_folder);
}

FolderUpdate::~FolderUpdate() {
    for (std::size_t i = m_renamed; i < m_replacements.size(); ++i)
        removeFile(m_replacements[i].temporary);
    unlockFolder(m_lock);
}

void FolderUpdate::add(const std::string& from, const std::string& name, Links links) {
    const std::string path = m_folder + name;
    std::error_code error;
    // Only a link to a file that is there is written through: a dangling one would create a file wherever
    // it points.
    const bool through = links == Links::WriteThrough && std::filesystem::exists(pathOf(path), error);
    if (through)
        removeLeftoverTemporaryFilesOf(path);
    // A file that would be replaced by the same bytes stays as it is, its time too, so that upload and
    // backup tools see only what changed.
    if (holdsSameContent(from, path, through))
        return;
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
