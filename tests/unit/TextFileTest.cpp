#include "TestFolders.h"

#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::readBytes;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;

TEST(TextFile, WritesEveryLineWithCarriageReturnAndLineFeed) {
    TemporaryFolder folder;
    writeTextFileAtomically(folder / "a.txt", {"one", "", "three"});
    EXPECT_EQ(readBytes(folder / "a.txt"), "one\r\n\r\nthree\r\n");
    writeTextFileAtomically(folder / "a.txt", {});
    EXPECT_EQ(readBytes(folder / "a.txt"), "");
}

TEST(TextFile, ReadsLinesWhateverTheirEnds) {
    TemporaryFolder folder;
    writeBytes(folder / "mixed.txt", "crlf\r\nlf\nstray\rcr\r\n\nlast");
    EXPECT_EQ(readTextLines(folder / "mixed.txt"), (std::vector<std::string>{"crlf", "lf", "straycr", "", "last"}));
    writeBytes(folder / "ended.txt", "a\r\nb\r\n");
    EXPECT_EQ(readTextLines(folder / "ended.txt"), (std::vector<std::string>{"a", "b"}));
}

TEST(TextFile, FailedWriteLeavesTheEarlierFileAndNoTemporaryFile) {
    TemporaryFolder folder;
    writeBytes(folder / "keep.txt", "earlier");
    // A folder in the way makes the rename fail after the temporary file was written.
    std::filesystem::create_directories(folder.path() / "blocked.txt" / "inside");
    EXPECT_THROW(writeTextFileAtomically(folder / "blocked.txt", {"new"}), VeskaroError);
    EXPECT_EQ(readBytes(folder / "keep.txt"), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}

TEST(TextFile, ErrorsNameTheFileInThePlatformsWords) {
    TemporaryFolder folder;
    try {
        readTextLines(folder / "missing.vsk");
        ADD_FAILURE();
    } catch (const VeskaroError& error) {
        EXPECT_EQ(std::string(error.what()), "File not found: " + (folder / "missing.vsk"));
    }
    EXPECT_EQ(ioErrorText(EACCES), "File access denied");
    EXPECT_EQ(ioErrorText(ENOSPC), "Disk full");
    EXPECT_EQ(ioErrorText(EIO), "I/O error 5");
}
