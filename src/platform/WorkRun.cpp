#include "platform/WorkRun.h"

#include "platform/FileLock.h"
#include "platform/PathText.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veskaro {

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 3> kWorkFolders{WorkRun::kPreviewFolder, WorkRun::kTempFolder,
                                                  WorkRun::kStagingFolder};
constexpr std::string_view kRunPrefix = "run-";
constexpr std::string_view kLockSuffix = ".lock";
constexpr std::size_t kRandomDigits = 16;

fs::path lockPath(const std::string& dataFolder, const std::string& name) {
    return pathOf(dataFolder) / WorkRun::kTempFolder / (name + std::string(kLockSuffix));
}

#ifdef _WIN32

using LockHandle = void*;
const LockHandle kNoLock = nullptr;

unsigned long processId() {
    return GetCurrentProcessId();
}

// A file opened without sharing can be opened by no one else and removed by no one while it is open, and
// the system closes it when its process ends, however it ends.
LockHandle createLockedFile(const fs::path& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? kNoLock : file;
}

bool stillNamedBy(LockHandle, const fs::path&) {
    return true;
}

LockHandle takeAbandonedLock(const fs::path& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? kNoLock : file;
}

void closeLock(LockHandle lock) {
    CloseHandle(lock);
}

// The file can go only once it is closed.
void dropLock(LockHandle lock, const fs::path& path) {
    CloseHandle(lock);
    DeleteFileW(path.c_str());
}

#else

using LockHandle = int;
constexpr LockHandle kNoLock = -1;

unsigned long processId() {
    return static_cast<unsigned long>(::getpid());
}

bool stillNamedBy(LockHandle lock, const fs::path& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(lock, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// Close-on-exec, so that a browser started from the window does not hold the lock after the window ends.
// A start that tidies up may take the new file for an ended run's between its making and its locking, and
// remove it; the name is then checked and the file made again.
LockHandle createLockedFile(const fs::path& path) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (file < 0)
            return kNoLock;
        if (flockRetrying(file, LOCK_EX) == 0 && stillNamedBy(file, path))
            return file;
        ::close(file);
    }
    return kNoLock;
}

// Returns the lock file of an ended run, locked, or kNoLock while its run still holds it.
LockHandle takeAbandonedLock(const fs::path& path) {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (file < 0)
        return kNoLock;
    if (flockRetrying(file, LOCK_EX | LOCK_NB) == 0 && stillNamedBy(file, path))
        return file;
    ::close(file);
    return kNoLock;
}

void closeLock(LockHandle lock) {
    ::close(lock);
}

// The name goes while the lock is still held, so that no one takes the file for a live run's meanwhile.
void dropLock(LockHandle lock, const fs::path& path) {
    ::unlink(path.c_str());
    ::close(lock);
}

#endif

std::string randomDigits() {
    std::random_device device;
    const unsigned long long number = (static_cast<unsigned long long>(device()) << 32) ^ device();
    char digits[kRandomDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx", number);
    return digits;
}

bool allOf(std::string_view text, bool (*test)(char)) {
    return !text.empty() && std::all_of(text.begin(), text.end(), test);
}

void removeRunFolders(const std::string& dataFolder, const std::string& name) {
    for (const char* folder : kWorkFolders) {
        std::error_code ignored;
        fs::remove_all(pathOf(dataFolder) / folder / name, ignored);
    }
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
        names.push_back(textOf(entry->path().filename()));
    return names;
}

} // namespace

WorkRun::WorkRun() : m_name(std::string(kRunPrefix) + std::to_string(processId()) + "-" + randomDigits()) {}

WorkRun::~WorkRun() {
    release();
}

bool WorkRun::isRunName(std::string_view name) {
    if (name.substr(0, kRunPrefix.size()) != kRunPrefix)
        return false;
    name.remove_prefix(kRunPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos)
        return false;
    const std::string_view random = name.substr(dash + 1);
    return allOf(name.substr(0, dash), [](char c) { return c >= '0' && c <= '9'; }) && random.size() == kRandomDigits &&
           allOf(random, [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool WorkRun::claim(const std::string& dataFolder) {
    const std::lock_guard<std::mutex> guard(m_mutex);
    const fs::path path = lockPath(dataFolder, m_name);
    if (m_lock != kNoLock) {
        if (dataFolder == m_dataFolder && stillNamedBy(m_lock, path))
            return true;
        // Someone removed the lock file (with the data folder, say): without it the run's folders would
        // look like an ended run's to the next start.
        closeLock(m_lock);
        m_lock = kNoLock;
    }
    m_lock = createLockedFile(path);
    if (m_lock == kNoLock)
        return false;
    m_dataFolder = dataFolder;
    return true;
}

void WorkRun::release() {
    if (m_dataFolder.empty())
        return;
    removeRunFolders(m_dataFolder, m_name);
    removeEmptySharedFolders(m_dataFolder);
    if (m_lock != kNoLock)
        dropLock(m_lock, lockPath(m_dataFolder, m_name));
    m_lock = kNoLock;
    m_dataFolder.clear();
}

// Removing a folder that is not empty fails, so a folder another run has just made there stays.
void WorkRun::removeEmptySharedFolders(const std::string& dataFolder) {
    for (const char* folder : {kPreviewFolder, kStagingFolder}) {
        std::error_code ignored;
        if (fs::is_directory(pathOf(dataFolder) / folder, ignored))
            fs::remove(pathOf(dataFolder) / folder, ignored);
    }
}

void WorkRun::removeEndedRuns(const std::string& dataFolder) {
    const fs::path temp = pathOf(dataFolder) / kTempFolder;
    for (const std::string& file : namesIn(temp)) {
        if (!std::string_view(file).ends_with(kLockSuffix))
            continue;
        const std::string name = file.substr(0, file.size() - kLockSuffix.size());
        if (!isRunName(name))
            continue;
        const LockHandle lock = takeAbandonedLock(temp / file);
        if (lock == kNoLock)
            continue;
        removeRunFolders(dataFolder, name);
        dropLock(lock, temp / file);
    }
    // A run makes its lock file before its folders and removes it after them, so a run folder whose lock
    // file is missing was left by a run that has ended.
    for (const char* folder : kWorkFolders) {
        for (const std::string& name : namesIn(pathOf(dataFolder) / folder)) {
            std::error_code error;
            if (isRunName(name) &&
                fs::symlink_status(lockPath(dataFolder, name), error).type() == fs::file_type::not_found) {
                std::error_code ignored;
                fs::remove_all(pathOf(dataFolder) / folder / name, ignored);
            }
        }
    }
    removeEmptySharedFolders(dataFolder);
}

} // namespace veskaro
