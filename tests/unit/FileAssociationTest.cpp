#include "TestFolders.h"

#include "model/FileAssociation.h"
#include "platform/FileSettingsStore.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::PerUserFolders;
using veskaro::test::readBytes;

TEST(FileAssociation, WritesTheThreeClassValuesAndTheDesktopEntry) {
    PerUserFolders folders;
    const auto store = FileSettingsStore::atStandardPlaces();
    const std::string program = "/opt/My Apps/$bin/veskaro";
    RegisterFileAssociation(*store, program);

    auto value = [&](const char* key) { return store->readString(SettingsRoot::CurrentUser, key, "").value; };
    EXPECT_EQ(value("\\Software\\Classes\\Veskaro.Document\\DefaultIcon"), program + ",0");
    EXPECT_EQ(value("\\Software\\Classes\\Veskaro.Document\\shell\\open\\command"), program + " %1");
    EXPECT_EQ(value("\\Software\\Classes\\.vsk"), "Veskaro.Document");

    const std::string desktop = readBytes(folders.root() / "data/applications/veskaro.desktop");
    EXPECT_NE(desktop.find("Exec=\"/opt/My Apps/\\\\$bin/veskaro\" %f\n"), std::string::npos) << desktop;
    EXPECT_NE(desktop.find("MimeType=application/x-veskaro-project;\n"), std::string::npos) << desktop;
    const std::string mime = readBytes(folders.root() / "data/mime/packages/veskaro.xml");
    EXPECT_NE(mime.find("<glob pattern=\"*.vsk\"/>"), std::string::npos) << mime;
}

TEST(FileAssociation, NeverFailsWhenNothingCanBeWritten) {
    PerUserFolders folders;
    veskaro::test::writeBytes(folders.root() / "blocked", "a file");
    veskaro::test::ScopedEnvironment config("XDG_CONFIG_HOME", folders.root() / "blocked/config");
    veskaro::test::ScopedEnvironment data("XDG_DATA_HOME", folders.root() / "blocked/data");
    const auto store = FileSettingsStore::atStandardPlaces();
    EXPECT_NO_THROW(RegisterFileAssociation(*store, "/usr/bin/veskaro"));
    EXPECT_FALSE(store->keyExists(SettingsRoot::CurrentUser, "\\Software\\Classes\\.vsk"));
}
