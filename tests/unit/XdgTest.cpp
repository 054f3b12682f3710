#include "TestFolders.h"

#include "platform/SpecialFolders.h"
#include "platform/Xdg.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

using namespace veskaro;
using veskaro::test::PerUserFolders;
using veskaro::test::ScopedEnvironment;

namespace {

// Each row sets some of the five variables ("NAME=value NAME=value"; the others are unset) and expects the
// four answers, the lists joined with ':'.
struct BaseFoldersCase {
    const char* what;
    const char* environment;
    const char* dataHome;
    const char* configHome;
    const char* dataDirs;
    const char* configDirs;
};

void PrintTo(const BaseFoldersCase& row, std::ostream* out) {
    *out << row.what;
}

std::string joined(const std::vector<std::string>& folders) {
    std::string text;
    for (const std::string& folder : folders)
        text += (text.empty() ? "" : ":") + folder;
    return text;
}

class BaseFolders : public testing::TestWithParam<BaseFoldersCase> {};

constexpr const char* kDataDirs = "/usr/local/share:/usr/share";

} // namespace

TEST_P(BaseFolders, FollowTheEnvironment) {
    const BaseFoldersCase& row = GetParam();
    std::deque<ScopedEnvironment> saved;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"}) {
        saved.emplace_back(name, "");
        veskaro::test::setEnvironment(name, nullptr);
    }
    std::istringstream assignments(row.environment);
    for (std::string assignment; assignments >> assignment;) {
        const std::size_t equals = assignment.find('=');
        veskaro::test::setEnvironment(assignment.substr(0, equals).c_str(), assignment.substr(equals + 1).c_str());
    }
    EXPECT_EQ(xdg::dataHome(), row.dataHome);
    EXPECT_EQ(xdg::configHome(), row.configHome);
    EXPECT_EQ(joined(xdg::dataDirs()), row.dataDirs);
    EXPECT_EQ(joined(xdg::configDirs()), row.configDirs);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BaseFolders,
    testing::Values(
        BaseFoldersCase{"defaults", "HOME=/home/ann/", "/home/ann/.local/share", "/home/ann/.config", kDataDirs,
                        "/etc/xdg"},
        BaseFoldersCase{
            "relative or empty is unset",
            "HOME=/home/ann XDG_DATA_HOME=.data XDG_CONFIG_HOME= XDG_DATA_DIRS=share:./x: XDG_CONFIG_DIRS=~/x",
            "/home/ann/.local/share", "/home/ann/.config", kDataDirs, "/etc/xdg"},
        BaseFoldersCase{"a home is one folder, colons and all; lists drop relative entries",
                        "XDG_DATA_HOME=/data:/more// XDG_CONFIG_HOME=/config:x XDG_DATA_DIRS=/d1/::rel:/d2 "
                        "XDG_CONFIG_DIRS=/c1:/c2",
                        "/data:/more", "/config:x", "/d1:/d2", "/c1:/c2"},
        BaseFoldersCase{"no home", "", "", "", kDataDirs, "/etc/xdg"},
        BaseFoldersCase{"a relative home", "HOME=home/ann", "", "", kDataDirs, "/etc/xdg"}));

TEST(SpecialFolders, WithoutHomeOrVariablesThereIsNoFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "XDG folders only: Windows takes them from the shell (WindowsFolders tests)";
#endif
    PerUserFolders folders;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DOCUMENTS_DIR", "XDG_PICTURES_DIR"})
        veskaro::test::setEnvironment(name, nullptr);
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::AppData), "");
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::Personal), "");
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::MyPictures), "");
}
