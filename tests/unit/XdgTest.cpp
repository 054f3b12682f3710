#include "TestFolders.h"

#include "platform/SpecialFolders.h"
#include "platform/Xdg.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::PerUserFolders;
using veskaro::test::ScopedEnvironment;

namespace {

using Folders = std::vector<std::string>;

struct BaseFoldersCase {
    const char* what;
    std::vector<std::pair<const char*, const char*>> environment; // the variables not named here are unset
    std::string dataHome;
    std::string configHome;
    Folders dataDirs;
    Folders configDirs;
};

void PrintTo(const BaseFoldersCase& row, std::ostream* out) {
    *out << row.what;
}

class BaseFolders : public testing::TestWithParam<BaseFoldersCase> {
protected:
    BaseFolders() {
        for (const char* name : kNames)
            ::unsetenv(name);
        for (const auto& [name, value] : GetParam().environment)
            ::setenv(name, value, 1);
    }

    static constexpr const char* kNames[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS",
                                             "XDG_CONFIG_DIRS"};
    ScopedEnvironment m_saved[5] = {
        {kNames[0], ""}, {kNames[1], ""}, {kNames[2], ""}, {kNames[3], ""}, {kNames[4], ""}};
};

const Folders kDataDirs{"/usr/local/share", "/usr/share"};
const Folders kConfigDirs{"/etc/xdg"};

} // namespace

TEST_P(BaseFolders, FollowTheEnvironment) {
    const BaseFoldersCase& row = GetParam();
    EXPECT_EQ(xdg::dataHome(), row.dataHome) << row.what;
    EXPECT_EQ(xdg::configHome(), row.configHome) << row.what;
    EXPECT_EQ(xdg::dataDirs(), row.dataDirs) << row.what;
    EXPECT_EQ(xdg::configDirs(), row.configDirs) << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BaseFolders,
    testing::Values(BaseFoldersCase{"defaults below the home",
                                    {{"HOME", "/home/ann"}},
                                    "/home/ann/.local/share",
                                    "/home/ann/.config",
                                    kDataDirs,
                                    kConfigDirs},
                    BaseFoldersCase{"relative and empty values count as unset",
                                    {{"HOME", "/home/ann/"},
                                     {"XDG_DATA_HOME", ".data"},
                                     {"XDG_CONFIG_HOME", ""},
                                     {"XDG_DATA_DIRS", "share:./x:"},
                                     {"XDG_CONFIG_DIRS", "~/xdg"}},
                                    "/home/ann/.local/share",
                                    "/home/ann/.config",
                                    kDataDirs,
                                    kConfigDirs},
                    BaseFoldersCase{"a home variable names one folder, colons and all; the lists drop relative entries",
                                    {{"XDG_DATA_HOME", "/data:/more//"},
                                     {"XDG_CONFIG_HOME", "/config:x"},
                                     {"XDG_DATA_DIRS", "/d1/::rel:/d2"},
                                     {"XDG_CONFIG_DIRS", "/c1:/c2"}},
                                    "/data:/more",
                                    "/config:x",
                                    Folders{"/d1", "/d2"},
                                    Folders{"/c1", "/c2"}},
                    BaseFoldersCase{"no home", {}, "", "", kDataDirs, kConfigDirs},
                    BaseFoldersCase{
                        "a relative home is no home", {{"HOME", "home/ann"}}, "", "", kDataDirs, kConfigDirs}));

TEST(SpecialFolders, WithoutHomeOrVariablesThereIsNoFolder) {
    PerUserFolders folders;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR", "XDG_PICTURES_DIR"})
        ::unsetenv(name);
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::AppData), "");
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::Personal), "");
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::MyPictures), "");
}

TEST(UserDirs, TheLastShellAssignmentOfTheFileWins) {
    PerUserFolders folders;
    ::unsetenv("XDG_PICTURES_DIR");
    ::unsetenv("XDG_DOCUMENTS_DIR");
    veskaro::test::writeBytes(folders.root() / "config/user-dirs.dirs",
                              "XDG_PICTURES_DIR=\"/srv/old\"\n"
                              "  XDG_PICTURES_DIR = \"$HOME/My \\\"Pictures\\\" \\$5\\x/\" # renamed\n"
                              "XDG_DOCUMENTS_DIR=\"relative/docs\"\n"
                              "XDG_DOCUMENTS_DIR=\"$HOMEWORK/docs\"\n");
    EXPECT_EQ(xdg::userDir("PICTURES"), (folders.root() / "home") + "/My \"Pictures\" $5\\x");
    EXPECT_EQ(xdg::userDir("DOCUMENTS"), folders.root() / "home") << "neither line names a folder";
}
