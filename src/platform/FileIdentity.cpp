#include "platform/FileIdentity.h"

#include "platform/PathText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace veskaro {

#ifdef _WIN32

// Folders open only with backup semantics; reading the attributes needs no access to the contents.
std::optional<FileIdentity> fileIdentityOf(const std::string& path) {
    const HANDLE file = CreateFileW(pathOf(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    const BOOL read = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (!read)
        return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber,
                        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

#else

std::optional<FileIdentity> fileIdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(pathOf(path).c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

#endif

} // namespace veskaro
