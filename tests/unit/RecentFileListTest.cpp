#include "TestFolders.h"

#include "model/Folders.h"
#include "browse/RecentFileList.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::PerUserFolders;
using veskaro::test::readBytes;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

namespace {

class RecentFileList : public testing::Test {
protected:
    std::string listBytes() { return readBytes(RecentFileListPath()); }
    void writeList(const std::string& bytes) { writeBytes(RecentFileListPath(), bytes); }
    void addAll(std::initializer_list<const char*> names) {
        for (const char* name : names)
            AddToRecentFileList(name);
    }

    PerUserFolders m_folders;
};

} // namespace

TEST_F(RecentFileList, LivesInTheTempFolderAndStartsEmpty) {
    EXPECT_FALSE(fs::exists(m_folders.root() / "data/Tarnwell"));
    EXPECT_EQ(RecentFileListPath(), (m_folders.root() / "data") + "/Tarnwell/Veskaro/1.0/Temp/recentfile.dat");
    EXPECT_EQ(ReadRecentFileList(), RecentFileSlots{});
    EXPECT_TRUE(fs::is_regular_file(RecentFileListPath()));
    EXPECT_EQ(listBytes(), "");
}

TEST_F(RecentFileList, KeepsTheFourLatestNamesNewestFirst) {
    addAll({"/p/P1.vsk", "/p/P2.vsk", "/p/P3.vsk", "/p/P4.vsk", "/p/P5.vsk"});
    EXPECT_EQ(listBytes(), "&1 /p/P5.vsk\r\n&2 /p/P4.vsk\r\n&3 /p/P3.vsk\r\n&4 /p/P2.vsk\r\n");
    EXPECT_EQ(ReadRecentFileList(), (RecentFileSlots{"&1 /p/P5.vsk", "&2 /p/P4.vsk", "&3 /p/P3.vsk", "&4 /p/P2.vsk"}));
}

TEST_F(RecentFileList, ANameAlreadyListedKeepsItsSlotAndNothingIsWritten) {
    addAll({"/p/P1.vsk", "/p/P2.vsk", "/p/P3.vsk"});
    const fs::file_time_type written = fs::last_write_time(RecentFileListPath());
    EXPECT_FALSE(AddToRecentFileList("/p/P1.vsk"));
    EXPECT_EQ(listBytes(), "&1 /p/P3.vsk\r\n&2 /p/P2.vsk\r\n&3 /p/P1.vsk\r\n");
    EXPECT_EQ(fs::last_write_time(RecentFileListPath()), written);
    EXPECT_FALSE(AddToRecentFileList(""));
}

TEST_F(RecentFileList, ComparesNamesExactly) {
    addAll({"/p/Show.vsk", "/p/show.vsk", "/p/./show.vsk"});
    EXPECT_EQ(listBytes(), "&1 /p/./show.vsk\r\n&2 /p/show.vsk\r\n&3 /p/Show.vsk\r\n");
}

TEST_F(RecentFileList, UsesOnlyTheFirstFourLinesOfALongerList) {
    ReadRecentFileList();
    writeList("&1 /a\r\n&2 /b\r\n&3 /c\r\n&4 /d\r\n&5 /e\r\n&6 /f\r\n");
    EXPECT_EQ(ReadRecentFileList(), (RecentFileSlots{"&1 /a", "&2 /b", "&3 /c", "&4 /d"}));
    EXPECT_TRUE(AddToRecentFileList("/e")) << "a name below the fourth line is not in the list";
    EXPECT_EQ(listBytes(), "&1 /e\r\n&2 /a\r\n&3 /b\r\n&4 /c\r\n");
}

TEST_F(RecentFileList, HandEditedLinesLoseTheirFirstThreeCharacters) {
    ReadRecentFileList();
    writeList("/home/me/a.vsk\nab\n&3 /c.vsk");
    EXPECT_EQ(RecentFilePath("/home/me/a.vsk"), "me/me/a.vsk");
    EXPECT_EQ(RecentFilePath("&1 "), "");
    EXPECT_TRUE(AddToRecentFileList("/new.vsk"));
    EXPECT_EQ(listBytes(), "&1 /new.vsk\r\n&2 me/me/a.vsk\r\n&4 /c.vsk\r\n");
}

TEST_F(RecentFileList, AnEmptyLineLeavesAGapInTheNumbers) {
    ReadRecentFileList();
    writeList("&1 /a\r\n\r\n&3 /c\r\n");
    EXPECT_EQ(ReadRecentFileList(), (RecentFileSlots{"&1 /a", "", "&3 /c", ""}));
    AddToRecentFileList("/n");
    EXPECT_EQ(listBytes(), "&1 /n\r\n&2 /a\r\n&4 /c\r\n");
}

TEST_F(RecentFileList, KeepsNamesByteForByte) {
    addAll({"/p/R&D \xE9t\xE9.vsk"});
    EXPECT_EQ(listBytes(), "&1 /p/R&D \xE9t\xE9.vsk\r\n");
    EXPECT_EQ(RecentFilePath(ReadRecentFileList()[0]), "/p/R&D \xE9t\xE9.vsk");
}

TEST_F(RecentFileList, ATempFolderThatCannotBeMadeIsReported) {
    writeBytes(GetAppDataFolder() + "Temp", "a file in the way");
    try {
        AddToRecentFileList("/p/a.vsk");
        ADD_FAILURE() << "no error";
    } catch (const VeskaroError& error) {
        EXPECT_STREQ(
            error.what(),
            "Failed to create temp folder at application data path! Please contact vendor for help! Thank you!");
    }
}

TEST_F(RecentFileList, AListThatCannotBeReadIsReportedWithItsPath) {
    fs::create_directories(RecentFileListPath() + "/inside");
    try {
        AddToRecentFileList("/p/b.vsk");
        ADD_FAILURE() << "no error";
    } catch (const VeskaroError& error) {
        EXPECT_NE(std::string(error.what()).find(": " + RecentFileListPath()), std::string::npos) << error.what();
    }
    EXPECT_TRUE(fs::is_directory(RecentFileListPath() + "/inside"));
}
