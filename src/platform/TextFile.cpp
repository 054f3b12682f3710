#include "platform/TextFile.h"

#include "platform/VeskaroError.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace veskaro {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void throwIoError(int errorNumber, const std::string& path) {
    throw VeskaroError(ioErrorText(errorNumber) + ": " + path);
}

std::string temporarySibling(const std::string& path) {
    static std::mt19937_64 generator{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(generator()));
    return path + suffix;
}

// Flushes to the disk before the rename, so that a crash cannot leave an empty file under the old name.
int closeDurably(FileHandle file) {
    if (std::fflush(file.get()) != 0)
        return errno;
#ifndef _WIN32
    if (::fsync(::fileno(file.get())) != 0)
        return errno;
#endif
    if (std::fclose(file.release()) != 0)
        return errno;
    return 0;
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

void writeFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temporary = temporarySibling(path);
    errno = 0;
    FileHandle file{std::fopen(temporary.c_str(), "wbx")};
    if (!file)
        throwIoError(errno, path);
    int error = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        error = errno ? errno : EIO;
    const int closeError = closeDurably(std::move(file));
    if (error == 0)
        error = closeError;
    std::error_code renameError;
    if (error == 0) {
        std::filesystem::rename(temporary, path, renameError);
        error = renameError.value();
    }
    if (error != 0) {
        std::remove(temporary.c_str());
        throwIoError(error, path);
    }
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

std::vector<std::string> readTextLines(const std::string& path) {
    errno = 0;
    FileHandle file{std::fopen(path.c_str(), "rb")};
    if (!file)
        throwIoError(errno, path);
    std::vector<std::string> lines;
    std::string line;
    bool lineOpen = false;
    char buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        for (std::size_t i = 0; i < count; ++i) {
            const char c = buffer[i];
            if (c == '\n') {
                lines.push_back(std::move(line));
                line.clear();
                lineOpen = false;
            } else {
                lineOpen = true;
                if (c != '\r')
                    line += c;
            }
        }
    }
    if (std::ferror(file.get()))
        throwIoError(errno ? errno : EIO, path);
    if (lineOpen)
        lines.push_back(std::move(line));
    return lines;
}

} // namespace veskaro
