#include "TestFolders.h"

#include "platform/FileSettingsStore.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::PerUserFolders;
using veskaro::test::readBytes;
using veskaro::test::ScopedEnvironment;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;

namespace {

constexpr SettingsRoot kUser = SettingsRoot::CurrentUser;
constexpr SettingsRoot kMachine = SettingsRoot::LocalMachine;
constexpr const char* kBrowsers = "\\Software\\KVL\\Veskaro\\1.0\\Web Browsers";

class SettingsStoreTest : public testing::Test {
protected:
    TemporaryFolder m_folder;
    std::string m_userFile = m_folder / "config/veskaro/user.reg";
    std::string m_machineFile = m_folder / "machine.reg";
    FileSettingsStore m_store{m_userFile, m_machineFile};
};

} // namespace

TEST_F(SettingsStoreTest, KeysMustBeCreatedBeforeValuesAreWritten) {
    EXPECT_FALSE(m_store.keyExists(kUser, kBrowsers));
    EXPECT_FALSE(m_store.writeDword(kUser, kBrowsers, "UseDefaultBrowser", 1));
    EXPECT_EQ(m_store.readDword(kUser, kBrowsers, "UseDefaultBrowser").status, ReadStatus::NoKey);
    ASSERT_TRUE(m_store.createKey(kUser, kBrowsers));
    EXPECT_TRUE(m_store.keyExists(kUser, kBrowsers));
    EXPECT_TRUE(m_store.keyExists(kUser, "Software\\KVL")) << "keys above a created key exist";
    EXPECT_TRUE(m_store.keyExists(kUser, "software\\kvl\\VESKARO\\1.0\\web browsers\\")) << "letter case is ignored";
    EXPECT_FALSE(m_store.keyExists(kUser, "Software\\KV"));
    EXPECT_EQ(m_store.readDword(kUser, kBrowsers, "UseDefaultBrowser").status, ReadStatus::Missing);
}

TEST_F(SettingsStoreTest, DwordAndStringValuesStayApart) {
    ASSERT_TRUE(m_store.createKey(kUser, kBrowsers));
    ASSERT_TRUE(m_store.writeDword(kUser, kBrowsers, "SelectedBrowserNumber", 0xFFFFFFFFu));
    ASSERT_TRUE(m_store.writeString(kUser, kBrowsers, "SpecifiedBrowserExePath", "C:\\Web \"Browser\"\\x.exe"));
    ASSERT_TRUE(m_store.writeString(kUser, kBrowsers, "", "default value"));

    FileSettingsStore reopened(m_userFile, m_machineFile);
    const auto number = reopened.readDword(kUser, kBrowsers, "selectedbrowsernumber");
    ASSERT_TRUE(number.ok());
    EXPECT_EQ(static_cast<std::int32_t>(number.value), -1);
    EXPECT_EQ(reopened.readString(kUser, kBrowsers, "SpecifiedBrowserExePath").value, "C:\\Web \"Browser\"\\x.exe");
    EXPECT_EQ(reopened.readString(kUser, kBrowsers, "").value, "default value");
    EXPECT_EQ(reopened.readString(kUser, kBrowsers, "SelectedBrowserNumber").status, ReadStatus::WrongType);
    EXPECT_EQ(reopened.readDword(kUser, kBrowsers, "SpecifiedBrowserExePath").status, ReadStatus::WrongType);
    EXPECT_TRUE(reopened.valueExists(kUser, kBrowsers, "SpecifiedBrowserExePath"));
    EXPECT_FALSE(reopened.valueExists(kUser, kBrowsers, "UseKnownBrowser"));

    ASSERT_TRUE(m_store.writeString(kUser, kBrowsers, "SelectedBrowserNumber", "now text"));
    EXPECT_EQ(m_store.readDword(kUser, kBrowsers, "SelectedBrowserNumber").status, ReadStatus::WrongType);
}

TEST_F(SettingsStoreTest, FileIsReadableRegistryExportText) {
    ASSERT_TRUE(m_store.createKey(kUser, "\\Software\\Classes\\.vsk"));
    ASSERT_TRUE(m_store.writeString(kUser, "\\Software\\Classes\\.vsk", "", "Veskaro.Document"));
    ASSERT_TRUE(m_store.writeDword(kUser, "\\Software\\Classes\\.vsk", "Flag", 26));
    const std::string text = readBytes(m_userFile);
    EXPECT_NE(text.find("[Software\\Classes\\.vsk]\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("@=\"Veskaro.Document\"\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Flag\"=dword:0000001a\r\n"), std::string::npos) << text;
}

TEST_F(SettingsStoreTest, LineBreaksInValuesSurvive) {
    ASSERT_TRUE(m_store.createKey(kUser, "K"));
    ASSERT_TRUE(m_store.writeString(kUser, "K", "multi\nline", "one\r\ntwo\\n"));
    EXPECT_EQ(m_store.readString(kUser, "K", "multi\nline").value, "one\r\ntwo\\n");
}

TEST_F(SettingsStoreTest, UnreadableLinesArePassedOverAndKeptInTheirPlaces) {
    std::filesystem::create_directories(std::filesystem::path(m_userFile).parent_path());
    const std::string hand = "; my notes\r\n\"orphan\"=dword:00000001\r\n\r\n[K]\r\n\"a\"=dword:00000001\r\n"
                             "\"v\"=dword:1\r\n\"w\"=\"bad \\q escape\"\r\n\"b\"=\"two\"\r\n\"u\"=\"unterminated\r\n"
                             "[Lost\r\n\"c\"=dword:00000003\r\n\r\n[L]\r\n\"d\"=\"four\"\r\n\r\n";
    writeBytes(m_userFile, hand);
    EXPECT_EQ(m_store.readDword(kUser, "K", "a").value, 1u);
    EXPECT_EQ(m_store.readString(kUser, "K", "b").value, "two");
    EXPECT_EQ(m_store.readString(kUser, "L", "d").value, "four");
    for (const char* name : {"v", "w", "u", "c", "orphan"})
        EXPECT_EQ(m_store.readDword(kUser, "K", name).status, ReadStatus::Missing) << name;
    EXPECT_FALSE(m_store.keyExists(kUser, "Lost"));

    ASSERT_TRUE(m_store.writeDword(kUser, "K", "e", 5));
    ASSERT_TRUE(m_store.writeString(kUser, "K", "b", "2"));
    const std::string expected =
        "; my notes\r\n\"orphan\"=dword:00000001\r\n\r\n[K]\r\n\"a\"=dword:00000001\r\n"
        "\"v\"=dword:1\r\n\"w\"=\"bad \\q escape\"\r\n\"b\"=\"2\"\r\n\"u\"=\"unterminated\r\n"
        "\"e\"=dword:00000005\r\n[Lost\r\n\"c\"=dword:00000003\r\n\r\n[L]\r\n\"d\"=\"four\"\r\n\r\n";
    EXPECT_EQ(readBytes(m_userFile), expected);
    EXPECT_EQ(m_store.readDword(kUser, "K", "e").value, 5u) << "a new value goes above the lines of the lost key";
}

TEST_F(SettingsStoreTest, MachineRootIsReadOnly) {
    writeBytes(m_machineFile, "[SOFTWARE\\Netscape\\Netscape 6]\n\"CurrentVersion\"=\"6.2 (en)\"\n");
    EXPECT_TRUE(m_store.keyExists(kMachine, "SOFTWARE\\Netscape"));
    EXPECT_EQ(m_store.readString(kMachine, "SOFTWARE\\Netscape\\Netscape 6", "CurrentVersion").value, "6.2 (en)");
    EXPECT_FALSE(m_store.createKey(kMachine, "SOFTWARE\\Other"));
    EXPECT_FALSE(m_store.writeString(kMachine, "SOFTWARE\\Netscape\\Netscape 6", "CurrentVersion", "7"));
    EXPECT_FALSE(m_store.keyExists(kUser, "SOFTWARE\\Netscape")) << "the roots are separate";
}

TEST_F(SettingsStoreTest, UnwritableUserFileFailsQuietly) {
    writeBytes(m_folder / "config", "a file where the config folder belongs");
    EXPECT_FALSE(m_store.createKey(kUser, "K"));
    EXPECT_FALSE(m_store.keyExists(kUser, "K"));
}

TEST(SettingsStorePlaces, TheConfigHomeIsOneFolderAndNeeded) {
#ifdef _WIN32
    GTEST_SKIP() << "the settings files are the store of systems without a registry";
#endif
    PerUserFolders folders;
    ScopedEnvironment config("XDG_CONFIG_HOME", folders.root() / "a:b");
    ScopedEnvironment system("XDG_CONFIG_DIRS", "relative:" + (folders.root() / "system") + ":/etc/xdg");
    std::filesystem::create_directories(folders.root() / "system/veskaro");
    writeBytes(folders.root() / "system/veskaro/machine-settings.reg", "[Machine]\n");
    auto store = FileSettingsStore::atStandardPlaces();
    ASSERT_TRUE(store->createKey(kUser, "K"));
    EXPECT_TRUE(std::filesystem::exists(folders.root() / "a:b/veskaro/user-settings.reg"));
    EXPECT_TRUE(store->keyExists(kMachine, "Machine"));

    veskaro::test::setEnvironment("XDG_CONFIG_HOME", nullptr);
    veskaro::test::setEnvironment("HOME", nullptr);
    try {
        FileSettingsStore::atStandardPlaces();
        ADD_FAILURE() << "a store without a folder";
    } catch (const VeskaroError& error) {
        EXPECT_STREQ(error.what(), "The settings folder cannot be found: set HOME or XDG_CONFIG_HOME.");
    }
}
