#include "browse/InstalledBrowsers.h"

#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

struct KnownBrowser {
    std::string_view name;
    std::vector<std::string_view> programs;
    std::vector<std::string_view> desktopEntries;
};

// The order here is the order in the browser list, after whatever the registry steps found.
const std::vector<KnownBrowser>& knownBrowsers() {
    static const std::vector<KnownBrowser> browsers{
        {"Firefox", {"firefox", "firefox-esr"}, {"firefox.desktop", "firefox-esr.desktop"}},
        {"Chromium", {"chromium", "chromium-browser"}, {"chromium.desktop", "chromium-browser.desktop"}},
        {"Google Chrome",
         {"google-chrome", "google-chrome-stable"},
         {"google-chrome.desktop", "com.google.Chrome.desktop"}},
        {"Microsoft Edge", {"microsoft-edge", "microsoft-edge-stable"}, {"microsoft-edge.desktop"}},
        {"Epiphany", {"epiphany", "epiphany-browser"}, {"org.gnome.Epiphany.desktop", "epiphany.desktop"}},
        {"Brave", {"brave-browser", "brave"}, {"brave-browser.desktop"}},
        {"Vivaldi", {"vivaldi", "vivaldi-stable"}, {"vivaldi-stable.desktop"}},
        {"Opera", {"opera"}, {"opera.desktop"}},
        {"Falkon", {"falkon"}, {"org.kde.falkon.desktop", "falkon.desktop"}},
        {"Konqueror", {"konqueror"}, {"org.kde.konqueror.desktop", "konqueror.desktop"}},
    };
    return browsers;
}

bool isExecutableFile(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    constexpr fs::perms anyExecute = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return !error && fs::is_regular_file(status) && (status.permissions() & anyExecute) != fs::perms::none;
}

std::optional<std::string> onProgramPath(const BrowserSearchPlaces& places, std::string_view program) {
    for (const std::string& folder : places.programFolders) {
        const fs::path candidate = fs::path(folder) / program;
        if (isExecutableFile(candidate))
            return candidate.string();
    }
    return std::nullopt;
}

// A program named with a path must be absolute: the designer's current folder is no place to look.
std::optional<std::string> resolveProgram(const BrowserSearchPlaces& places, const std::string& program) {
    if (program.find('/') == std::string::npos)
        return onProgramPath(places, program);
    if (fs::path(program).is_absolute() && isExecutableFile(program))
        return program;
    return std::nullopt;
}

// "env NAME=value program %u" starts program: the assignments belong to env, not to the browser.
std::optional<std::string> programOfExec(const std::string& exec) {
    const std::vector<std::string> words = DesktopExecWords(exec);
    auto word = words.begin();
    if (word != words.end() && fs::path(*word).filename() == "env") {
        ++word;
        while (word != words.end() && word->find('=') != std::string::npos)
            ++word;
    }
    if (word == words.end())
        return std::nullopt;
    return *word;
}

struct DesktopEntry {
    std::string exec;
    bool hidden = false;
};

std::optional<DesktopEntry> readDesktopEntry(const fs::path& file) {
    std::vector<std::string> lines;
    try {
        lines = readTextLines(file.string());
    } catch (const VeskaroError&) {
        return std::nullopt;
    }
    DesktopEntry entry;
    bool inMainGroup = false;
    for (const std::string& line : lines) {
        if (!line.empty() && line.front() == '[')
            inMainGroup = line == "[Desktop Entry]";
        else if (inMainGroup && line.rfind("Exec=", 0) == 0)
            entry.exec = line.substr(5);
        else if (inMainGroup && line.rfind("Hidden=", 0) == 0)
            entry.hidden = line.substr(7) == "true";
    }
    return entry;
}

// The first application folder that holds the entry decides, so a user's own entry (or its Hidden
// mark) overrides the system's.
std::optional<std::string> throughDesktopEntry(const BrowserSearchPlaces& places, std::string_view id) {
    for (const std::string& folder : places.applicationFolders) {
        const fs::path file = fs::path(folder) / id;
        std::error_code error;
        if (!fs::is_regular_file(file, error))
            continue;
        const std::optional<DesktopEntry> entry = readDesktopEntry(file);
        if (!entry || entry->hidden)
            return std::nullopt;
        const std::optional<std::string> program = programOfExec(entry->exec);
        return program ? resolveProgram(places, *program) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> findInstalled(const BrowserSearchPlaces& places, const KnownBrowser& browser) {
    for (const std::string_view program : browser.programs)
        if (auto path = onProgramPath(places, program))
            return path;
    for (const std::string_view id : browser.desktopEntries)
        if (auto path = throughDesktopEntry(places, id))
            return path;
    return std::nullopt;
}

bool listed(const TWebBrowserNamePathArray& browsers, const std::string& path) {
    return std::any_of(browsers.begin(), browsers.end(),
                       [&](const TWebBrowserNamePath& browser) { return browser.Path == path; });
}

// Splits a colon-separated list of folders; empty and relative entries are dropped, so that a PATH
// naming the current folder never makes the designer start a program that happens to lie there.
std::vector<std::string> absoluteFolders(const std::string& list) {
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string folder = list.substr(start, end - start);
        if (fs::path(folder).is_absolute())
            folders.push_back(folder);
        start = end + 1;
    }
    return folders;
}

std::string environment(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

} // namespace

BrowserSearchPlaces BrowserSearchPlaces::ofThisSystem() {
#ifdef _WIN32
    return {};
#else
    BrowserSearchPlaces places;
    places.programFolders = absoluteFolders(environment("PATH", "/usr/local/bin:/usr/bin:/bin"));
    std::vector<std::string> dataFolders = absoluteFolders(environment("XDG_DATA_HOME", ""));
    if (dataFolders.empty())
        dataFolders = absoluteFolders(environment("HOME", "") + "/.local/share");
    for (const std::string& folder : absoluteFolders(environment("XDG_DATA_DIRS", "/usr/local/share:/usr/share")))
        dataFolders.push_back(folder);
    for (const std::string& folder : dataFolders)
        places.applicationFolders.push_back((fs::path(folder) / "applications").string());
    return places;
#endif
}

void AddInstalledBrowsers(const BrowserSearchPlaces& places, TWebBrowserNamePathArray& browsers) {
    for (const KnownBrowser& browser : knownBrowsers()) {
        const std::optional<std::string> path = findInstalled(places, browser);
        if (path && !listed(browsers, *path))
            browsers.push_back({std::string(browser.name), *path});
    }
}

std::vector<std::string> DesktopExecWords(const std::string& exec) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted && c == '\\' && i + 1 < exec.size()) {
            word += exec[++i];
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

} // namespace veskaro
