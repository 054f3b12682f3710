#include "TestFolders.h"

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
    std::string listBytes() { return readBytes(recentFileListPath(m_places)); }
    void writeList(const std::string& bytes) { writeBytes(recentFileListPath(m_places), bytes); }
    void addAll(std::initializer_list<const char*> names) {
        for (const char* name : names)
            addToRecentFileList(m_places, name);
    }

    PerUserFolders m_folders;
    const Places m_places = m_folders.places();
};

} // namespace

TEST_F(RecentFileList, LivesInTheTempFolderAndStartsEmpty) {
    EXPECT_FALSE(fs::exists(m_folders.root() / "data/Tarnwell"));
    EXPECT_EQ(recentFileListPath(m_places),
              veskaro::test::native((m_folders.root() / "data") + "/Tarnwell/Veskaro/1.0/Temp/recentfile.dat"));
    EXPECT_EQ(readRecentFileList(m_places), RecentFileSlots{});
    EXPECT_TRUE(fs::is_regular_file(recentFileListPath(m_places)));
    EXPECT_EQ(listBytes(), "");
}

TEST_F(RecentFileList, KeepsTheFourLatestNamesNewestFirst) {
    addAll({"/p/P1.vsk", "/p/P2.vsk", "/p/P3.vsk", "/p/P4.vsk", "/p/P5.vsk"});
    EXPECT_EQ(listBytes(), "&1 /p/P5.vsk\r\n&2 /p/P4.vsk\r\n&3 /p/P3.vsk\r\n&4 /p/P2.vsk\r\n");
    EXPECT_EQ(readRecentFileList(m_places),
              (RecentFileSlots{"&1 /p/P5.vsk", "&2 /p/P4.vsk", "&3 /p/P3.vsk", "&4 /p/P2.vsk"}));
}

TEST_F(RecentFileList, ANameAlreadyListedKeepsItsSlotAndNothingIsWritten) {
    addAll({"/p/P1.vsk", "/p/P2.vsk", "/p/P3.vsk"});
    const fs::file_time_type written = fs::last_write_time(recentFileListPath(m_places));
    EXPECT_FALSE(addToRecentFileList(m_places, "/p/P1.vsk"));
    EXPECT_EQ(listBytes(), "&1 /p/P3.vsk\r\n&2 /p/P2.vsk\r\n&3 /p/P1.vsk\r\n");
    EXPECT_EQ(fs::last_write_time(recentFileListPath(m_places)), written);
    EXPECT_FALSE(addToRecentFileList(m_places, ""));
}

TEST_F(RecentFileList, ComparesNamesExactly) {
    addAll({"/p/Show.vsk", "/p/show.vsk", "/p/./show.vsk"});
    EXPECT_EQ(listBytes(), "&1 /p/./show.vsk\r\n&2 /p/show.vsk\r\n&3 /p/Show.vsk\r\n");
}

TEST_F(RecentFileList, UsesOnlyTheFirstFourLinesOfALongerList) {
    readRecentFileList(m_places);
    writeList("&1 /a\r\n&2 /b\r\n&3 /c\r\n&4 /d\r\n&5 /e\r\n&6 /f\r\n");
    EXPECT_EQ(readRecentFileList(m_places), (RecentFileSlots{"&1 /a", "&2 /b", "&3 /c", "&4 /d"}));
    EXPECT_TRUE(addToRecentFileList(m_places, "/e")) << "a name below the fourth line is not in the list";
    EXPECT_EQ(listBytes(), "&1 /e\r\n&2 /a\r\n&3 /b\r\n&4 /c\r\n");
}

TEST_F(RecentFileList, HandEditedLinesLoseTheirFirstThreeCharacters) {
    readRecentFileList(m_places);
    writeList("/home/me/a.vsk\nab\n&3 /c.vsk");
    EXPECT_EQ(recentFilePath("/home/me/a.vsk"), "me/me/a.vsk");
    EXPECT_EQ(recentFilePath("&1 "), "");
    EXPECT_TRUE(addToRecentFileList(m_places, "/new.vsk"));
    EXPECT_EQ(listBytes(), "&1 /new.vsk\r\n&2 me/me/a.vsk\r\n&4 /c.vsk\r\n");
}

TEST_F(RecentFileList, AnEmptyLineLeavesAGapInTheNumbers) {
    readRecentFileList(m_places);
    writeList("&1 /a\r\n\r\n&3 /c\r\n");
    EXPECT_EQ(readRecentFileList(m_places), (RecentFileSlots{"&1 /a", "", "&3 /c", ""}));
    addToRecentFileList(m_places, "/n");
    EXPECT_EQ(listBytes(), "&1 /n\r\n&2 /a\r\n&4 /c\r\n");
}

TEST_F(RecentFileList, KeepsNamesByteForByte) {
    addAll({"/p/R&D \xE9t\xE9.vsk"});
    EXPECT_EQ(listBytes(), "&1 /p/R&D \xE9t\xE9.vsk\r\n");
    EXPECT_EQ(recentFilePath(readRecentFileList(m_places)[0]), "/p/R&D \xE9t\xE9.vsk");
}

TEST_F(RecentFileList, ATempFolderThatCannotBeMadeIsReported) {
    writeBytes(m_places.GetAppDataFolder() + "Temp", "a file in the way");
    try {
        addToRecentFileList(m_places, "/p/a.vsk");
        ADD_FAILURE() << "no error";
    } catch (const VeskaroError& error) {
        const std::string named = "Failed to create temp folder at application data path! Please contact vendor "
                                  "for help! Thank you! (" +
                                  m_places.GetAppDataFolder() + "Temp: ";
        EXPECT_EQ(std::string(error.what()).rfind(named, 0), 0u) << error.what();
    }
}

TEST_F(RecentFileList, AListThatCannotBeReadIsReportedWithItsPath) {
    fs::create_directories(recentFileListPath(m_places) + "/inside");
    try {
        addToRecentFileList(m_places, "/p/b.vsk");
        ADD_FAILURE() << "no error";
    } catch (const VeskaroError& error) {
        EXPECT_NE(std::string(error.what()).find(": " + recentFileListPath(m_places)), std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(fs::is_directory(recentFileListPath(m_places) + "/inside"));
}
