#include "AnotherUser.h"
#include "PictureTesting.h"
#include "TestFolders.h"

#include "platform/FolderUpdate.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#endif

using namespace veskaro;
using veskaro::test::errorOf;
using veskaro::test::namesIn;
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
    writeBytes(folder / "stray-end.txt", "a\n\r");
    EXPECT_EQ(readTextLines(folder / "stray-end.txt"), (std::vector<std::string>{"a", ""}));
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

// Symbolic links: the link stays, the file it leads to gets the new content, and the temporary file goes
// to that file's folder (a rename across folders could fail, and a rename onto the link would replace it).
struct LinkCase {
    const char* name;
    const char* link;   // the link's text; empty for an absolute link to target
    const char* target; // the file the link leads to in the end, below the test folder
    const char* middle; // a link in between, "middle.html" below the test folder, to this text; or empty
};

void PrintTo(const LinkCase& row, std::ostream* out) {
    *out << row.name;
}

class TextFileLinks : public testing::TestWithParam<LinkCase> {};

TEST_P(TextFileLinks, WritesThroughTheLinkAndLeavesItALink) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows, and Wine makes none";
#endif
    const LinkCase& row = GetParam();
    TemporaryFolder folder;
    std::filesystem::create_directories(folder.path() / "links");
    std::filesystem::create_directories(folder.path() / "real");
    writeBytes(folder / "real/page.html", "earlier");
    writeBytes(folder / "source.txt", "copied");
    if (*row.middle)
        std::filesystem::create_symlink(row.middle, folder.path() / "middle.html");
    const std::string link = folder / "links/page.html";
    const std::string linkText = *row.link ? row.link : folder / row.target;
    std::filesystem::create_symlink(linkText, link);

    writeTextFileAtomically(link, {"new"});
    EXPECT_EQ(readBytes(folder / row.target), "new\r\n") << row.name;
    copyFileAtomically(folder / "source.txt", link);
    EXPECT_EQ(readBytes(folder / row.target), "copied") << row.name;

    EXPECT_TRUE(std::filesystem::is_symlink(link)) << row.name;
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), linkText) << row.name;
    EXPECT_EQ(namesIn(folder.path() / "links"), std::set<std::string>{"page.html"}) << row.name;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path()))
        EXPECT_FALSE(entry.path().string().ends_with(".tmp")) << row.name << ": " << entry.path();
}

INSTANTIATE_TEST_SUITE_P(TextFile, TextFileLinks,
                         testing::Values(LinkCase{"RelativeLinkIntoAnotherFolder", "../real/page.html",
                                                  "real/page.html", ""},
                                         LinkCase{"AbsoluteLink", "", "real/page.html", ""},
                                         LinkCase{"LinkToALink", "../middle.html", "real/page.html", "real/page.html"},
                                         LinkCase{"LinkToAFileNotThereYet", "../real/new.html", "real/new.html", ""}),
                         [](const auto& row) { return std::string(row.param.name); });

namespace {

std::filesystem::perms permissionsOf(const std::string& path) {
    return std::filesystem::status(path).permissions() & std::filesystem::perms::all;
}

} // namespace

TEST(TextFile, ReplacementKeepsThePermissionBitsOfTheFileItReplaces) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no POSIX permission bits (their read-only attribute is tested below)";
#else
    TemporaryFolder folder;
    const std::string path = folder / "Demo.vsk";
    writeTextFileAtomically(path, {"first"});
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(permissionsOf(path), static_cast<std::filesystem::perms>(0666 & ~mask)) << "a new file";

    std::vector<int> modes{0600, 0640, 0604, 0755, 0660};
    if (::geteuid() == 0)
        modes.push_back(0444); // only root may replace a file without write permission
    for (const int mode : modes) {
        std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode));
        writeTextFileAtomically(path, {"text"});
        EXPECT_EQ(permissionsOf(path), static_cast<std::filesystem::perms>(mode)) << std::oct << mode;
        writeBytes(folder / "source", "copy");
        copyFileAtomically(folder / "source", path);
        EXPECT_EQ(permissionsOf(path), static_cast<std::filesystem::perms>(mode)) << std::oct << mode;
        EXPECT_EQ(readBytes(path), "copy");
    }
#endif
}

// As root (who may write anything) the refusal is checked as "nobody" in a child process; as any other
// user, as that user.
TEST(TextFile, RefusesAFileTheUserMayNotWrite) {
    TemporaryFolder folder;
    std::filesystem::permissions(folder.path(), std::filesystem::perms::all);
    const std::string path = folder / "Demo.vsk";
    writeBytes(path, "protected");
    writeBytes(folder / "source", "copy");
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(0444));
    std::filesystem::permissions(folder / "source", static_cast<std::filesystem::perms>(0444));

    const std::string written =
        veskaro::test::asAnotherUser([&] { return errorOf([&] { writeFileAtomically(path, "new"); }); });
    EXPECT_EQ(written, "File access denied: " + path);
    const std::string copied =
        veskaro::test::asAnotherUser([&] { return errorOf([&] { copyFileAtomically(folder / "source", path); }); });
    EXPECT_EQ(copied, "File access denied: " + path);
    EXPECT_EQ(readBytes(path), "protected");
    EXPECT_EQ(permissionsOf(path), static_cast<std::filesystem::perms>(0444));
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"Demo.vsk", "source"}));
}

TEST(TextFile, CopiesEveryByteAndNamesTheFileThatFailed) {
    TemporaryFolder folder;
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7 % 256);
    writeBytes(folder / "big.bin", bytes);
    copyFileAtomically(folder / "big.bin", folder / "copy.bin");
    EXPECT_EQ(readBytes(folder / "copy.bin"), bytes);

    EXPECT_EQ(errorOf([&] { copyFileAtomically(folder / "none.jpg", folder / "copy.bin"); }),
              "File not found: " + (folder / "none.jpg"));
    EXPECT_EQ(errorOf([&] { copyFileAtomically(folder / "big.bin", folder / "no folder/copy.bin"); }),
              "File not found: " + (folder / "no folder/copy.bin"));
    std::filesystem::create_directories(folder.path() / "a folder");
    EXPECT_EQ(errorOf([&] { copyFileAtomically(folder / "a folder", folder / "copy.bin"); }),
              veskaro::test::kFolderInTheWay + (folder / "a folder"));
    EXPECT_EQ(readBytes(folder / "copy.bin"), bytes);
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"big.bin", "copy.bin", "a folder"}));
}

TEST(TextFile, KnowsItsOwnTemporaryFilesOnly) {
    const std::vector<std::pair<const char*, bool>> rows{
        {"Demo_PublishReport.txt.0123456789abcdef.tmp", true},
        {"slider0.jpg.fedcba9876543210.tmp", true},
        {"x.00000000000000FF.tmp", true},
        {".0123456789abcdef.tmp", false}, // no name before it
        {"notes.tmp", false},
        {"holiday.jpg.tmp", false},
        {"Demo.html.0123456789abcde.tmp", false},   // 15 digits
        {"Demo.html.0123456789abcdef0.tmp", false}, // 17 digits
        {"Demo.html.0123456789abcdeg.tmp", false},
        {"Demo.html-0123456789abcdef.tmp", false},
        {"Demo.html.0123456789abcdef.tmp.txt", false},
        {"Demo.html.0123456789abcdef.TMP", false},
    };
    for (const auto& [name, ours] : rows)
        EXPECT_EQ(isTemporaryFileName(name), ours) << name;

    TemporaryFolder folder;
    for (const auto& [name, ours] : rows)
        writeBytes(folder / name, "left");
    std::filesystem::create_directories(folder.path() / "pictures.0123456789abcdef.tmp");
    writeBytes(folder / "kept.txt", "the user's");
    std::set<std::string> kept{"kept.txt", "pictures.0123456789abcdef.tmp"};
#ifndef _WIN32 // symbolic links need a privilege on Windows
    std::filesystem::create_symlink("kept.txt", folder.path() / "link.0123456789abcdef.tmp");
    kept.insert("link.0123456789abcdef.tmp");
#endif
    removeLeftoverTemporaryFiles(folder / "");
    for (const auto& [name, ours] : rows)
        if (!ours)
            kept.insert(name);
    EXPECT_EQ(namesIn(folder.path()), kept);
    EXPECT_EQ(readBytes(folder / "kept.txt"), "the user's");
    EXPECT_NO_THROW(removeLeftoverTemporaryFiles(folder / "no such folder/"));
}

TEST(FolderUpdate, RenamesTheFilesOnlyWhenAllAreWritten) {
    TemporaryFolder sources;
    TemporaryFolder site;
    writeBytes(sources / "page", "new page");
    writeBytes(sources / "picture", "new picture");
    writeBytes(site / "Demo.html", "old page");
    writeBytes(site / "slider0.jpg", "old picture");
    writeBytes(site / "Demo.html.0123456789abcdef.tmp", "left by a killed run");
    const std::string folder = site.path().string() + "/";
    {
        FolderUpdate update(folder);
        EXPECT_EQ(namesIn(site.path()), (std::set<std::string>{"Demo.html", "slider0.jpg"}));
        update.add(sources / "picture", "slider0.jpg");
        update.add(sources / "page", "Demo.html");
        EXPECT_EQ(readBytes(site / "Demo.html"), "old page");
        EXPECT_EQ(readBytes(site / "slider0.jpg"), "old picture");
        EXPECT_EQ(namesIn(site.path()).size(), 4u) << "two temporary files wait beside their places";
        update.commit();
    }
    EXPECT_EQ(namesIn(site.path()), (std::set<std::string>{"Demo.html", "slider0.jpg"}));
    EXPECT_EQ(readBytes(site / "Demo.html"), "new page");
    EXPECT_EQ(readBytes(site / "slider0.jpg"), "new picture");
}

TEST(FolderUpdate, RunsTakeTurnsInAFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "flock on the folder, which Windows does not have (FolderUpdateTurns covers its lock)";
#else
    TemporaryFolder site;
    const int other = ::open(site.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(other, 0);
    {
        FolderUpdate update(site.path().string() + "/");
        EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0) << "another run waits while an update is under way";
    }
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0) << "and goes ahead after it";
    ::close(other);
#endif
}
