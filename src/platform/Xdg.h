#pragma once

#include <string>
#include <string_view>
#include <vector>

// The XDG base and user folders, read from the environment on every call. A variable that is unset,
// empty or relative counts as unset, and every folder comes back without a trailing '/'.
namespace veskaro::xdg {

/// Returns $HOME, or empty text when it is not an absolute path.
std::string homeFolder();

/// Returns the one folder $XDG_DATA_HOME names, else ~/.local/share; empty text without either.
std::string dataHome();

/// Returns the one folder $XDG_CONFIG_HOME names, else ~/.config; empty text without either.
std::string configHome();

/// Returns the one folder $XDG_CACHE_HOME names, else ~/.cache; empty text without either.
std::string cacheHome();

/// Returns the absolute folders of the list $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
std::vector<std::string> dataDirs();

/// Returns the absolute folders of the list $XDG_CONFIG_DIRS, else /etc/xdg.
std::vector<std::string> configDirs();

/// Returns a user folder such as "DOCUMENTS" or "PICTURES": $XDG_<NAME>_DIR, else its line in
/// user-dirs.dirs in the config home, else the home folder; empty text when none of them is known.
std::string userDir(std::string_view name);

/// Creates a missing folder with the folders above it, the folder itself private to the user (mode 0700)
/// as the XDG rules ask of the data home; reports nothing.
void createPrivateFolder(const std::string& path);

/// Splits a colon-separated list of folders, dropping empty and relative entries.
std::vector<std::string> absoluteFolderList(std::string_view list);

} // namespace veskaro::xdg
