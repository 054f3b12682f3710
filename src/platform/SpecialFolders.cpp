#include "platform/SpecialFolders.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#endif

namespace veskaro {

#ifdef _WIN32

std::string GetSpecialFolder(SpecialFolder folder) {
    char path[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, static_cast<int>(folder), nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return {};
    return path;
}

#else

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string home() { return environment("HOME"); }

// XDG allows only absolute paths in its variables; a relative one counts as unset.
std::string absoluteOrEmpty(std::string path) { return !path.empty() && path.front() == '/' ? path : std::string{}; }

std::string stripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The data home must exist for the program to keep its work folders, so it is created as the XDG
// base directory rules ask (mode 0700), much as the Windows application data folder always exists.
std::string applicationDataBase() {
    std::string base = absoluteOrEmpty(environment("XDG_DATA_HOME"));
    if (base.empty()) {
        if (home().empty())
            return {};
        base = home() + "/.local/share";
    }
    std::error_code error;
    if (!std::filesystem::is_directory(base, error)) {
        std::filesystem::create_directories(base, error);
        if (!error)
            std::filesystem::permissions(base, std::filesystem::perms::owner_all, error);
    }
    return stripTrailingSlashes(base);
}

// Reads one entry of user-dirs.dirs, such as XDG_DOCUMENTS_DIR="$HOME/Documents".
std::string userDirFromConfig(std::string_view name) {
    std::string config = absoluteOrEmpty(environment("XDG_CONFIG_HOME"));
    if (config.empty())
        config = home() + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    const std::string prefix = std::string(name) + "=\"";
    while (std::getline(file, line)) {
        if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"')
            continue;
        std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (value.rfind("$HOME", 0) == 0)
            value = home() + value.substr(5);
        return absoluteOrEmpty(value);
    }
    return {};
}

// As xdg-user-dir does: the environment, then the user's configuration, then the home folder.
std::string userDir(const char* name) {
    std::string dir = absoluteOrEmpty(environment(name));
    if (dir.empty())
        dir = userDirFromConfig(name);
    if (dir.empty())
        dir = home();
    return stripTrailingSlashes(dir);
}

} // namespace

std::string GetSpecialFolder(SpecialFolder folder) {
    switch (folder) {
    case SpecialFolder::AppData:
        return applicationDataBase();
    case SpecialFolder::Personal:
        return userDir("XDG_DOCUMENTS_DIR");
    case SpecialFolder::MyPictures:
        return userDir("XDG_PICTURES_DIR");
    }
    return {};
}

#endif

} // namespace veskaro
