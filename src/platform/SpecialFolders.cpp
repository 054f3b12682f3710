#include "platform/SpecialFolders.h"

#ifdef _WIN32
#include "platform/PathText.h"

#include <windows.h>

#include <shlobj.h>
#else
#include "platform/Xdg.h"
#endif

namespace veskaro {

#ifdef _WIN32

// The shell's item list of the folder, turned into a path; the wide call, so that a user folder named
// beyond the narrow code page ("Zoë") comes out whole, as UTF-8.
std::string GetSpecialFolder(SpecialFolder folder) {
    LPITEMIDLIST items = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, static_cast<int>(folder), &items) != S_OK || !items)
        return {};
    wchar_t path[MAX_PATH] = {};
    const bool named = SHGetPathFromIDListW(items, path);
    CoTaskMemFree(items);
    return named ? textOf(path) : std::string{};
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
    case SpecialFolder::LocalAppData:
        return xdg::cacheHome();
    }
    return {};
}

#endif

} // namespace veskaro
