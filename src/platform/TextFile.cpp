#include "platform/TextFile.h"

#include "platform/AsciiText.h"
#include "platform/PathText.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string_view>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veskaro {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTemporaryEnd = ".tmp";
constexpr std::size_t kTemporaryDigits = 16;
// "." + the digits + ".tmp"
constexpr std::size_t kTemporarySuffixSize = 1 + kTemporaryDigits + kTemporaryEnd.size();
static_assert(kTemporarySuffixSize == kTemporaryNameGrowth);
// As many links as the system itself follows before it gives up with ELOOP.
constexpr int kMostLinksFollowed = 40;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void throwIoError(int errorNumber, const std::string& path) {
    throw VeskaroError(ioErrorText(errorNumber) + ": " + path);
}

int lastError() {
    return errno != 0 ? errno : EIO;
}

// Opens a file to be read from the start; throws VeskaroError naming it when it cannot be.
FileHandle openToRead(const std::string& path) {
    errno = 0;
    FileHandle file{openFile(path, "rb")};
    if (!file)
        throwIoError(lastError(), path);
    return file;
}

void throwIfReadFailed(std::FILE* file, const std::string& path) {
    if (std::ferror(file))
        throwIoError(lastError(), path);
}

std::string temporarySibling(const std::string& path) {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(generator()));
    return path + suffix;
}

// Follows symbolic links to the file they lead to, which need not exist yet, the way opening path would:
// the replacement must go where the link points, or the link would become a plain file.
std::string linkTarget(const std::string& path) {
    fs::path current = pathOf(path);
    for (int followed = 0;; ++followed) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            return textOf(current);
        if (followed == kMostLinksFollowed)
            throwIoError(ELOOP, path);
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            throwIoError(error.value(), path);
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
}

// Where a write puts its new file: where a followed link leads, or in place of the link.
std::string replacedPath(const std::string& path, LinkHandling links) {
    return links == LinkHandling::Follow ? linkTarget(path) : path;
}

// The file a write replaces, as far as its replacement takes after it.
struct ReplacedFile {
    bool exists = false;
#ifndef _WIN32
    struct stat status = {};
#endif
};

// A rename replaces a file whatever that file's own permissions say, so the write permission is asked
// for here: a file the user protected from writing is refused, not silently replaced. A link that is
// replaced is asked nothing and passes on nothing: the file it leads to is not written at all.
ReplacedFile inspectReplacedFile(const std::string& target, const std::string& path) {
    ReplacedFile replaced;
#ifndef _WIN32
    if (::lstat(target.c_str(), &replaced.status) != 0) {
        if (errno == ENOENT)
            return {};
        throwIoError(errno, path);
    }
    if (S_ISLNK(replaced.status.st_mode))
        return {};
    replaced.exists = true;
    if (S_ISREG(replaced.status.st_mode) && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        throwIoError(errno, path);
#else
    std::error_code error;
    const fs::file_status status = fs::symlink_status(pathOf(target), error);
    if (fs::is_symlink(status))
        return {};
    replaced.exists = fs::exists(status);
    if (fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        throwIoError(EACCES, path);
#endif
    return replaced;
}

// Gives the new file the permission bits, and where the system allows it the owner and group, of the
// file it replaces. Both are kept on a best-effort basis: a file system without them (FAT) or a user who
// may not give a file away refuses, and the content the user asked for matters more than either.
void passOnAttributes([[maybe_unused]] std::FILE* file, [[maybe_unused]] const ReplacedFile& replaced) {
#ifndef _WIN32
    if (!replaced.exists)
        return;
    const int descriptor = ::fileno(file);
    if (::fchown(descriptor, replaced.status.st_uid, replaced.status.st_gid) != 0)
        std::ignore = ::fchown(descriptor, static_cast<uid_t>(-1), replaced.status.st_gid);
    std::ignore = ::fchmod(descriptor, replaced.status.st_mode & 0777);
#endif
}

// Flushes to the disk before the rename when asked, so that a crash cannot leave an empty file under the
// old name.
int closeFile(FileHandle file, [[maybe_unused]] Durability durability) {
    if (std::fflush(file.get()) != 0)
        return lastError();
#ifndef _WIN32
    if (durability == Durability::OnDisk && ::fsync(::fileno(file.get())) != 0)
        return lastError();
#endif
    if (std::fclose(file.release()) != 0)
        return lastError();
    return 0;
}

// Returns the folder a temporary file lies in, where its rename takes place.
std::string folderOf(const std::string& temporary) {
    return textOf(pathOf(temporary).parent_path());
}

// Removes the temporary file on every way out unless it was kept for the rename.
class TemporaryFileGuard {
public:
    TemporaryFileGuard() = default;
    ~TemporaryFileGuard() {
        if (!m_path.empty())
            removeFile(m_path);
    }
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

    void watch(const std::string& path) { m_path = path; }
    void keep() { m_path.clear(); }

private:
    std::string m_path;
};

// Creates a temporary file beside the file path leads to (beside path itself when a link there is to be
// replaced), lets write fill it (returning an error number, or 0), flushes it to the disk and returns its
// path. On failure it is removed and the error names path.
std::string writeTemporaryFile(const std::string& path, Durability durability, LinkHandling links,
                               const std::function<int(std::FILE*)>& write) {
    const std::string target = replacedPath(path, links);
    const ReplacedFile replaced = inspectReplacedFile(target, path);
    const std::string temporary = temporarySibling(target);
    // Declared before the file, so that the file is closed before the guard removes it.
    TemporaryFileGuard guard;
    errno = 0;
    FileHandle file{openFile(temporary, "wbx")};
    if (!file)
        throwIoError(lastError(), path);
    guard.watch(temporary);
    passOnAttributes(file.get(), replaced);
    int error = write(file.get());
    const int closeError = closeFile(std::move(file), durability);
    if (error == 0)
        error = closeError;
    if (error != 0)
        throwIoError(error, path);
    guard.keep();
    return temporary;
}

} // namespace

std::string ioErrorText(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return "File not found";
    case ENOTDIR:
        return "Path not found";
    case EACCES:
    case EPERM:
    case EROFS:
        return "File access denied";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errorNumber);
    }
}

namespace {

// Returns 0 or the error number of the failed rename.
int renameOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
    // Written through, so that the new name is on the disk when the call returns, as the folder flush
    // makes it elsewhere.
    if (MoveFileExW(pathOf(from).c_str(), pathOf(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_PATH_NOT_FOUND:
        return ENOTDIR;
    case ERROR_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
#else
    std::error_code error;
    fs::rename(from, to, error);
    return error.value();
#endif
}

} // namespace

void replaceWithTemporaryFile(const std::string& temporary, const std::string& path) {
    const std::string target = temporary.substr(0, temporary.size() - kTemporarySuffixSize);
    if (const int error = renameOver(temporary, target); error != 0) {
        removeFile(temporary);
        throwIoError(error, path);
    }
}

bool moveFileOver(const std::string& from, const std::string& to) {
    return renameOver(from, to) == 0;
}

void flushFolder([[maybe_unused]] const std::string& folder) {
#ifndef _WIN32
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    // The renames have happened and are visible; a folder that refuses the flush has nothing to undo.
    std::ignore = ::fsync(descriptor);
    ::close(descriptor);
#endif
}

void writeFileAtomically(const std::string& path, const std::string& bytes, Durability durability) {
    const std::string temporary = writeTemporaryFile(path, durability, LinkHandling::Follow, [&](std::FILE* file) {
        errno = 0;
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() ? 0 : lastError();
    });
    replaceWithTemporaryFile(temporary, path);
    if (durability == Durability::OnDisk)
        flushFolder(folderOf(temporary));
}

void writeTextFileAtomically(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    bytes.reserve(size);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    writeFileAtomically(path, bytes);
}

std::string copyToTemporaryFile(const std::string& from, const std::string& path, Durability durability,
                                LinkHandling links) {
    const FileHandle source = openToRead(from);
    return writeTemporaryFile(path, durability, links, [&](std::FILE* file) {
        char buffer[65536];
        std::size_t count;
        errno = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, source.get())) > 0)
            if (std::fwrite(buffer, 1, count, file) != count)
                return lastError();
        throwIfReadFailed(source.get(), from);
        return 0;
    });
}

void copyFileAtomically(const std::string& from, const std::string& path, Durability durability) {
    const std::string temporary = copyToTemporaryFile(from, path, durability);
    replaceWithTemporaryFile(temporary, path);
    if (durability == Durability::OnDisk)
        flushFolder(folderOf(temporary));
}

bool isTemporaryFileName(const std::string& name) {
    if (name.size() <= kTemporarySuffixSize || !name.ends_with(kTemporaryEnd))
        return false;
    const std::string_view suffix = std::string_view(name).substr(name.size() - kTemporarySuffixSize);
    const std::string_view digits = suffix.substr(1, kTemporaryDigits);
    return suffix.front() == '.' && hexNumber(digits.substr(0, kTemporaryDigits / 2)) &&
           hexNumber(digits.substr(kTemporaryDigits / 2));
}

void removeLeftoverTemporaryFiles(const std::string& folder) {
    std::error_code error;
    std::vector<fs::path> leftovers;
    for (fs::directory_iterator entry(pathOf(folder), error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        std::error_code statusError;
        if (isTemporaryFileName(textOf(entry->path().filename())) &&
            fs::is_regular_file(entry->symlink_status(statusError)))
            leftovers.push_back(entry->path());
    }
    for (const fs::path& leftover : leftovers)
        fs::remove(leftover, error);
}

void removeLeftoverTemporaryFilesOf(const std::string& path) {
    std::error_code error;
    fs::path target;
    try {
        target = linkTarget(path);
    } catch (const VeskaroError&) {
        return; // a loop of links leads to no file, and so to no leftovers
    }
    const std::string name = target.filename().string();
    std::vector<fs::path> leftovers;
    for (fs::directory_iterator entry(target.parent_path().empty() ? fs::path(".") : target.parent_path(), error);
         !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::string entryName = entry->path().filename().string();
        std::error_code statusError;
        if (entryName.size() == name.size() + kTemporarySuffixSize && entryName.starts_with(name) &&
            isTemporaryFileName(entryName) && fs::is_regular_file(entry->symlink_status(statusError)))
            leftovers.push_back(entry->path());
    }
    for (const fs::path& leftover : leftovers)
        fs::remove(leftover, error);
}

void forEachPieceOfFile(const std::string& path, const std::function<void(std::string_view)>& take) {
    const FileHandle file = openToRead(path);
    // One buffer per thread for all its files: a fresh one would be mapped anew for each and its pages
    // faulted in again.
    thread_local std::vector<char> buffer(1 << 20);
    std::size_t count;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0)
        take(std::string_view(buffer.data(), count));
    throwIfReadFailed(file.get(), path);
}

std::string readFileBytes(const std::string& path) {
    const FileHandle file = openToRead(path);
    // Read straight into the string, sized by the file (one more byte finds its end), so that a large file is
    // neither copied out of a buffer nor moved each time the string grows; a file that grows meanwhile
    // doubles it.
    std::error_code unknown;
    const std::uintmax_t size = fs::file_size(pathOf(path), unknown);
    std::size_t chunk = unknown ? std::size_t(1) << 16 : static_cast<std::size_t>(size) + 1;
    std::string bytes;
    std::size_t used = 0;
    for (;;) {
        bytes.resize(used + chunk);
        const std::size_t count = std::fread(bytes.data() + used, 1, chunk, file.get());
        used += count;
        if (count < chunk)
            break;
        chunk = used;
    }
    bytes.resize(used);
    throwIfReadFailed(file.get(), path);
    return bytes;
}

bool TextLineReader::next(std::string& line) {
    if (m_position == m_bytes.size())
        return false;
    const std::size_t end = std::min(m_bytes.find('\n', m_position), m_bytes.size());
    line.clear();
    for (std::size_t i = m_position; i < end; ++i)
        if (m_bytes[i] != '\r')
            line += m_bytes[i];
    m_position = end == m_bytes.size() ? end : end + 1;
    return true;
}

std::vector<std::string> readTextLines(const std::string& path) {
    TextLineReader reader(readFileBytes(path));
    std::vector<std::string> lines;
    for (std::string line; reader.next(line);)
        lines.push_back(line);
    return lines;
}

} // namespace veskaro
