#include "platform/Xdg.h"

#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace veskaro::xdg {

namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string withoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return std::string(path);
}

// The base directory rules allow only absolute paths; "", "." or "~/x" in a variable count as unset.
std::string absoluteOrEmpty(std::string_view path) {
    return !path.empty() && path.front() == '/' ? withoutTrailingSlashes(path) : std::string{};
}

// A base folder variable names one folder, colons and all; only the *_DIRS variables are lists.
std::string baseHome(const char* variable, const char* belowHome) {
    std::string folder = absoluteOrEmpty(environment(variable));
    if (folder.empty() && !homeFolder().empty())
        folder = homeFolder() + belowHome;
    return folder;
}

std::vector<std::string> baseDirs(const char* variable, std::string_view fallback) {
    std::vector<std::string> folders = absoluteFolderList(environment(variable));
    return folders.empty() ? absoluteFolderList(fallback) : folders;
}

std::string_view trimmedLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

bool consume(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// Reads one line of user-dirs.dirs as xdg-user-dirs-update writes it, XDG_DOCUMENTS_DIR="$HOME/Documents":
// the file is shell text, but only "$HOME/..." and absolute paths in double quotes are meant to be in it.
std::optional<std::string> userDirAssignment(std::string_view line, std::string_view variable) {
    std::string_view rest = trimmedLeft(line);
    if (!consume(rest, variable))
        return std::nullopt;
    rest = trimmedLeft(rest);
    if (!consume(rest, "="))
        return std::nullopt;
    rest = trimmedLeft(rest);
    if (!consume(rest, "\""))
        return std::nullopt;
    std::string dir;
    if (consume(rest, "$HOME")) {
        if (homeFolder().empty() || rest.empty() || (rest.front() != '/' && rest.front() != '"'))
            return std::nullopt;
        dir = homeFolder();
    } else if (rest.empty() || rest.front() != '/') {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '"')
            return absoluteOrEmpty(dir);
        // Inside shell double quotes a backslash escapes only these four; before anything else it is itself.
        if (rest[i] == '\\' && i + 1 < rest.size() &&
            std::string_view("$`\"\\").find(rest[i + 1]) != std::string_view::npos)
            ++i;
        dir += rest[i];
    }
    return std::nullopt;
}

std::string userDirFromConfig(std::string_view variable) {
    const std::string config = configHome();
    if (config.empty())
        return {};
    const std::string file = config + "/user-dirs.dirs";
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return {};
    std::vector<std::string> lines;
    try {
        lines = readTextLines(file);
    } catch (const VeskaroError&) {
        return {};
    }
    // The file is sourced by shells, so a later assignment wins over an earlier one.
    std::string dir;
    for (const std::string& line : lines)
        if (std::optional<std::string> assigned = userDirAssignment(line, variable))
            dir = std::move(*assigned);
    return dir;
}

} // namespace

std::string homeFolder() {
    return absoluteOrEmpty(environment("HOME"));
}

std::string dataHome() {
    return baseHome("XDG_DATA_HOME", "/.local/share");
}

std::string configHome() {
    return baseHome("XDG_CONFIG_HOME", "/.config");
}

std::string cacheHome() {
    return baseHome("XDG_CACHE_HOME", "/.cache");
}

std::vector<std::string> dataDirs() {
    return baseDirs("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
}

std::vector<std::string> configDirs() {
    return baseDirs("XDG_CONFIG_DIRS", "/etc/xdg");
}

std::string userDir(std::string_view name) {
    const std::string variable = "XDG_" + std::string(name) + "_DIR";
    std::string dir = absoluteOrEmpty(environment(variable.c_str()));
    if (dir.empty())
        dir = userDirFromConfig(variable);
    if (dir.empty())
        dir = homeFolder();
    return dir;
}

std::vector<std::string> absoluteFolderList(std::string_view list) {
    std::vector<std::string> folders;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (std::string folder = absoluteOrEmpty(list.substr(0, colon)); !folder.empty())
            folders.push_back(std::move(folder));
        if (colon == std::string_view::npos)
            break;
        list.remove_prefix(colon + 1);
    }
    return folders;
}

void createPrivateFolder(const std::string& path) {
    std::error_code error;
    if (path.empty() || std::filesystem::is_directory(path, error))
        return;
    std::filesystem::create_directories(path, error);
    if (!error)
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, error);
}

} // namespace veskaro::xdg
