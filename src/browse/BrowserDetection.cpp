#include "browse/BrowserDetection.h"

#include "browse/InstalledBrowsers.h"
#include "platform/PathText.h"
#include "platform/SettingsStore.h"

#include <filesystem>

namespace veskaro {

namespace {

constexpr SettingsRoot kMachine = SettingsRoot::LocalMachine;
constexpr SettingsRoot kUser = SettingsRoot::CurrentUser;
constexpr char kDelimiter = std::filesystem::path::preferred_separator;

// Any failure (no key, no value, a DWORD where text belongs) leaves the text empty, as the steps want.
std::string textOrEmpty(const SettingsStore& store, SettingsRoot root, const std::string& key,
                        const std::string& name) {
    const SettingsRead<std::string> read = store.readString(root, key, name);
    return read.ok() ? read.value : std::string{};
}

// An empty directory stays an empty path, which no file answers to.
std::string programIn(const std::string& directory, const std::string& relativeProgram) {
    return directory.empty() ? directory : directory + relativeProgram;
}

// The path is taken exactly as composed: no environment variables expanded, no quotes removed.
void appendIfFile(TWebBrowserNamePathArray& browsers, const std::string& name, const std::string& path) {
    std::error_code error;
    if (!path.empty() && std::filesystem::is_regular_file(pathOf(path), error))
        browsers.push_back({name, path});
}

// Steps 3 and 4 read the current version under one key, then the install directory under the version's
// own key, opened from the root; an empty version ends the step before the second key is opened.
void addVersionedNetscape(const SettingsStore& store, TWebBrowserNamePathArray& browsers, const std::string& key,
                          const std::string& namePrefix, const std::string& relativeProgram) {
    const std::string version = textOrEmpty(store, kMachine, key, "CurrentVersion");
    if (version.empty())
        return;
    const std::string directory = textOrEmpty(store, kMachine, key + "\\" + version + "\\Main", "Install Directory");
    appendIfFile(browsers, namePrefix + version, programIn(directory, relativeProgram));
}

std::string netscapeProgram() {
    return std::string(1, kDelimiter) + "Program" + kDelimiter + "Netscape.exe";
}

} // namespace

TWebBrowserNamePathArray detectBrowsers(const SettingsStore& store, const BrowserSearchPlaces& places) {
    TWebBrowserNamePathArray browsers;
    AddInternetExplorer(store, browsers);
    AddNetscapeNavigator3(store, browsers);
    AddNetscapeCommunicator(store, browsers);
    AddNetscape6(store, browsers);
    addInstalledBrowsers(places, browsers);
    return browsers;
}

void AddInternetExplorer(const SettingsStore& store, TWebBrowserNamePathArray& browsers) {
    const std::string path =
        textOrEmpty(store, kMachine, "SOFTWARE\\Microsoft\\windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", "");
    appendIfFile(browsers, "Internet Explorer", path);
}

void AddNetscapeNavigator3(const SettingsStore& store, TWebBrowserNamePathArray& browsers) {
    const std::string directory =
        textOrEmpty(store, kUser, "SOFTWARE\\Netscape\\Netscape Navigator\\Main", "Install Directory");
    appendIfFile(browsers, "Netscape Navigator 3", programIn(directory, netscapeProgram()));
}

void AddNetscapeCommunicator(const SettingsStore& store, TWebBrowserNamePathArray& browsers) {
    addVersionedNetscape(store, browsers, "SOFTWARE\\Netscape\\Netscape Navigator", "Netscape Communicator ",
                         netscapeProgram());
}

void AddNetscape6(const SettingsStore& store, TWebBrowserNamePathArray& browsers) {
    addVersionedNetscape(store, browsers, "SOFTWARE\\Netscape\\Netscape 6", "Netscape ",
                         std::string(1, kDelimiter) + "netscp6.exe");
}

} // namespace veskaro
