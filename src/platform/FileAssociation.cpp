#include "platform/FileAssociation.h"

#include "platform/SettingsStore.h"

#ifndef _WIN32
#include "platform/DesktopEntry.h"
#include "platform/DesktopTemplates.h"
#include "platform/SpecialFolders.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#endif

namespace veskaro {

namespace {

// Each key is opened with creation and written on its own; the first failure ends the registration.
bool writeDefaultValue(SettingsStore& store, const char* key, const std::string& data) {
    return store.createKey(SettingsRoot::CurrentUser, key) &&
           store.writeString(SettingsRoot::CurrentUser, key, "", data);
}

#ifndef _WIN32

namespace fs = std::filesystem;

// The installed entry starts "veskaro" from the executable path; the user's entry names this very program,
// which need not lie on that path.
std::string desktopEntry(const std::string& programPath) {
    DesktopEntry entry = DesktopEntry::fromText(desktop_templates::kDesktopEntry);
    entry.setValue(DesktopEntry::kMainGroup, "Exec", DesktopEntry::quotedExecArgument(programPath) + " %f");
    return entry.text();
}

std::string fileContents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Writes the file only when its text changed; tells whether it did.
bool refreshFile(const fs::path& path, const std::string& text) {
    std::error_code error;
    if (fs::exists(path, error) && fileContents(path) == text)
        return false;
    fs::create_directories(path.parent_path(), error);
    try {
        writeFileAtomically(path.string(), text);
        return true;
    } catch (const VeskaroError&) {
        return false;
    }
}

// Runs a desktop database tool quietly and waits for it; a missing tool is no failure.
void runQuietly(const char* tool, const std::string& folder) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string toolName = tool;
    std::string argument = folder;
    char* argv[] = {toolName.data(), argument.data(), nullptr};
    pid_t child;
    if (posix_spawnp(&child, tool, &actions, nullptr, argv, environ) == 0)
        waitpid(child, nullptr, 0);
    posix_spawn_file_actions_destroy(&actions);
}

void registerWithDesktop(const std::string& programPath) {
    const std::string dataHome = GetSpecialFolder(SpecialFolder::AppData);
    if (dataHome.empty() || programPath.empty())
        return;
    const fs::path mime = fs::path(dataHome) / "mime";
    const fs::path applications = fs::path(dataHome) / "applications";
    if (refreshFile(mime / "packages" / "veskaro.xml", std::string(desktop_templates::kMimePackage)))
        runQuietly("update-mime-database", mime.string());
    if (refreshFile(applications / "veskaro.desktop", desktopEntry(programPath)))
        runQuietly("update-desktop-database", applications.string());
}

#endif

} // namespace

void RegisterFileAssociation(SettingsStore& store, const std::string& programPath) {
    const bool registered =
        writeDefaultValue(store, "\\Software\\Classes\\Veskaro.Document\\DefaultIcon", programPath + ",0") &&
        writeDefaultValue(store, "\\Software\\Classes\\Veskaro.Document\\shell\\open\\command", programPath + " %1") &&
        writeDefaultValue(store, "\\Software\\Classes\\.vsk", "Veskaro.Document");
    static_cast<void>(registered);
#ifndef _WIN32
    registerWithDesktop(programPath);
#endif
}

} // namespace veskaro
