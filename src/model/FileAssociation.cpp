#include "model/FileAssociation.h"

#include "platform/SettingsStore.h"

#ifndef _WIN32
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
    return store.createKey(SettingsRoot::CurrentUser, key) && store.writeString(SettingsRoot::CurrentUser, key, "", data);
}

#ifndef _WIN32

namespace fs = std::filesystem;

constexpr const char* kMimeType = "application/x-veskaro-project";

std::string mimePackage() {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                       "  <mime-type type=\"") +
           kMimeType +
           "\">\n"
           "    <comment>Veskaro slider project</comment>\n"
           "    <glob pattern=\"*.vsk\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

// The Exec key quotes its argument and escapes twice: once for the quoting, once as a string value.
std::string execArgument(const std::string& path) {
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$')
            quoted += "\\\\";
        else if (c == '\\')
            quoted += "\\\\\\";
        else if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + '"';
}

std::string desktopEntry(const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Veskaro\n"
           "GenericName=Image Slider Designer\n"
           "Comment=Design image sliders for web pages\n"
           "Exec=" +
           execArgument(programPath) +
           " %f\n"
           "Icon=veskaro\n"
           "Terminal=false\n"
           "Categories=Graphics;WebDevelopment;\n"
           "MimeType=" +
           kMimeType + ";\n";
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
    if (refreshFile(mime / "packages" / "veskaro.xml", mimePackage()))
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
