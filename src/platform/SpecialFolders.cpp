#include "platform/SpecialFolders.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include "platform/Xdg.h"

#include <filesystem>
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

// The data home must exist for the program to keep its work folders, so it is created as the XDG
// base directory rules ask (mode 0700), much as the Windows application data folder always exists.
std::string applicationDataBase() {
    const std::string base = xdg::dataHome();
    if (base.empty())
        return {};
    std::error_code error;
    if (!std::filesystem::is_directory(base, error)) {
        std::filesystem::create_directories(base, error);
        if (!error)
            std::filesystem::permissions(base, std::filesystem::perms::owner_all, error);
    }
    return base;
}

} // namespace

std::string GetSpecialFolder(SpecialFolder folder) {
    switch (folder) {
    case SpecialFolder::AppData:
        return applicationDataBase();
    case SpecialFolder::Personal:
        return xdg::userDir("DOCUMENTS");
    case SpecialFolder::MyPictures:
        return xdg::userDir("PICTURES");
    }
    return {};
}

#endif

} // namespace veskaro
