#include "browse/InstalledBrowsers.h"

#include "platform/DesktopEntry.h"
#include "platform/VeskaroError.h"
#include "platform/Xdg.h"

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
    const std::vector<std::string> words = DesktopEntry::execWords(exec);
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

std::optional<DesktopEntry> readEntry(const fs::path& file) {
    try {
        return DesktopEntry::fromFile(file.string());
    } catch (const VeskaroError&) {
        return std::nullopt;
    }
}

// The first application folder that holds the entry decides, so a user's own entry (or its Hidden
// mark) overrides the system's.
std::optional<std::string> throughDesktopEntry(const BrowserSearchPlaces& places, std::string_view id) {
    for (const std::string& folder : places.applicationFolders) {
        const fs::path file = fs::path(folder) / id;
        std::error_code error;
        if (!fs::is_regular_file(file, error))
            continue;
        const std::optional<DesktopEntry> entry = readEntry(file);
        if (!entry || entry->value(DesktopEntry::kMainGroup, "Hidden") == "true")
            return std::nullopt;
        const std::optional<std::string> program =
            programOfExec(entry->value(DesktopEntry::kMainGroup, "Exec").value_or(""));
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

#ifndef _WIN32
std::string environment(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}
#endif

} // namespace

BrowserSearchPlaces BrowserSearchPlaces::ofThisSystem() {
#ifdef _WIN32
    return {};
#else
    BrowserSearchPlaces places;
    // A PATH naming the current folder must never make the designer start a program that happens to lie there.
    places.programFolders = xdg::absoluteFolderList(environment("PATH", "/usr/local/bin:/usr/bin:/bin"));
    std::vector<std::string> dataFolders = xdg::dataDirs();
    if (const std::string dataHome = xdg::dataHome(); !dataHome.empty())
        dataFolders.insert(dataFolders.begin(), dataHome);
    for (const std::string& folder : dataFolders)
        places.applicationFolders.push_back(folder + "/applications");
    return places;
#endif
}

void addInstalledBrowsers(const BrowserSearchPlaces& places, TWebBrowserNamePathArray& browsers) {
    for (const KnownBrowser& browser : knownBrowsers()) {
        const std::optional<std::string> path = findInstalled(places, browser);
        if (path && !listed(browsers, *path))
            browsers.push_back({std::string(browser.name), *path});
    }
}

} // namespace veskaro
