#include "platform/ProgramFile.h"

#include "platform/PathText.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace veskaro {

namespace fs = std::filesystem;

std::string programFilePath() {
#ifdef _WIN32
    // Wide, so that a program folder named beyond the system's narrow code page is found too; a path
    // that does not fit even the long buffer is no path.
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return {};
    path.resize(length);
    return textOf(path);
#else
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string{} : path.string();
#endif
}

std::string dataFolderOf(const std::string& programFile) {
    const fs::path own = pathOf(programFile).parent_path();
    std::error_code error;
    if (fs::exists(own / "jslib.js", error))
        return textOf(own / "");
    return textOf(own.parent_path() / "share" / "veskaro" / "");
}

} // namespace veskaro
