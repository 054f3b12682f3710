#include "platform/SpecialFolders.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include "platform/Xdg.h"
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
// base directory rules ask, much as the Windows application data folder always exists.
std::string applicationDataBase() {
    const std::string base = xdg::dataHome();
    xdg::createPrivateFolder(base);
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
