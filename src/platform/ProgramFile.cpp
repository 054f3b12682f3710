#include "platform/ProgramFile.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace veskaro {

namespace fs = std::filesystem;

std::string programFilePath() {
#ifdef _WIN32
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string{};
#else
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string{} : path.string();
#endif
}

std::string dataFolderOf(const std::string& programFile) {
    const fs::path own = fs::path(programFile).parent_path();
    std::error_code error;
    if (fs::exists(own / "jslib.js", error))
        return (own / "").string();
    return (own.parent_path() / "share" / "veskaro" / "").string();
}

} // namespace veskaro
