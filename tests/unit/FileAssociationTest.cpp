#include "TestFolders.h"

#include "platform/DesktopEntry.h"
#include "platform/FileAssociation.h"
#include "platform/FileSettingsStore.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace veskaro;
using veskaro::test::PerUserFolders;
using veskaro::test::readBytes;
namespace fs = std::filesystem;

namespace {

// The installed files, which the designer's own copies must follow.
const fs::path kDesktopFolder = VESKARO_DESKTOP_DIR;

} // namespace

TEST(FileAssociation, WritesTheThreeClassValuesAndTheDesktopEntry) {
#ifdef _WIN32
    GTEST_SKIP() << "the desktop entry and the settings files are Linux's (WindowsRegistry tests on Windows)";
#endif
    PerUserFolders folders;
    const auto store = FileSettingsStore::atStandardPlaces();
    const std::string program = "/opt/My Apps/$bin/100%/veskaro";
    RegisterFileAssociation(*store, program);

    auto value = [&](const char* key) { return store->readString(SettingsRoot::CurrentUser, key, "").value; };
    EXPECT_EQ(value("\\Software\\Classes\\Veskaro.Document\\DefaultIcon"), program + ",0");
    EXPECT_EQ(value("\\Software\\Classes\\Veskaro.Document\\shell\\open\\command"), program + " %1");
    EXPECT_EQ(value("\\Software\\Classes\\.vsk"), "Veskaro.Document");

    const fs::path desktopFile = folders.root() / "data/applications/veskaro.desktop";
    const std::string desktop = readBytes(desktopFile);
    EXPECT_NE(desktop.find("\nExec=\"/opt/My Apps/\\\\$bin/100%%/veskaro\" %f\n"), std::string::npos) << desktop;
    const DesktopEntry entry = DesktopEntry::fromFile(desktopFile.string());
    EXPECT_EQ(DesktopEntry::execWords(entry.value(DesktopEntry::kMainGroup, "Exec").value_or("")),
              (std::vector<std::string>{program, "%f"}));
    const DesktopEntry installed = DesktopEntry::fromFile((kDesktopFolder / "veskaro.desktop").string());
    for (const char* key : {"Name", "MimeType", "Icon", "Categories"})
        EXPECT_EQ(entry.value(DesktopEntry::kMainGroup, key), installed.value(DesktopEntry::kMainGroup, key)) << key;
    EXPECT_EQ(readBytes(folders.root() / "data/mime/packages/veskaro.xml"), readBytes(kDesktopFolder / "veskaro.xml"));
}

TEST(FileAssociation, RewritesOnlyTheFilesWhoseTextChanges) {
#ifdef _WIN32
    GTEST_SKIP() << "the desktop entry and the settings files are Linux's (WindowsRegistry tests on Windows)";
#endif
    PerUserFolders folders;
    const auto store = FileSettingsStore::atStandardPlaces();
    const fs::path desktopFile = folders.root() / "data/applications/veskaro.desktop";
    const fs::path mimeFile = folders.root() / "data/mime/packages/veskaro.xml";
    RegisterFileAssociation(*store, "/usr/bin/veskaro");
    const fs::file_time_type old = fs::last_write_time(desktopFile) - std::chrono::hours(1);
    fs::last_write_time(desktopFile, old);
    fs::last_write_time(mimeFile, old);

    RegisterFileAssociation(*store, "/usr/bin/veskaro");
    EXPECT_EQ(fs::last_write_time(desktopFile), old);
    RegisterFileAssociation(*store, "/usr/local/bin/veskaro");
    EXPECT_NE(fs::last_write_time(desktopFile), old);
    EXPECT_EQ(fs::last_write_time(mimeFile), old);
}

TEST(FileAssociation, NeverFailsWhenNothingCanBeWritten) {
#ifdef _WIN32
    GTEST_SKIP() << "the desktop entry and the settings files are Linux's (WindowsRegistry tests on Windows)";
#endif
    PerUserFolders folders;
    veskaro::test::writeBytes(folders.root() / "blocked", "a file");
    veskaro::test::ScopedEnvironment config("XDG_CONFIG_HOME", folders.root() / "blocked/config");
    veskaro::test::ScopedEnvironment data("XDG_DATA_HOME", folders.root() / "blocked/data");
    const auto store = FileSettingsStore::atStandardPlaces();
    EXPECT_NO_THROW(RegisterFileAssociation(*store, "/usr/bin/veskaro"));
    EXPECT_FALSE(store->keyExists(SettingsRoot::CurrentUser, "\\Software\\Classes\\.vsk"));
}
