#include "TestFolders.h"

#include "platform/TextEncoding.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>

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

TEST(TextFile, ReadsAFileOnlyUpToItsLimit) {
    TemporaryFolder folder;
    writeBytes(folder / "ten.txt", "0123456789");
    EXPECT_EQ(readFileBytes(folder / "ten.txt", 10), "0123456789");
    EXPECT_EQ(readFileBytes(folder / "ten.txt", 9), std::nullopt);
    EXPECT_EQ(readFileBytes("/dev/null", 0), "");
    // A sparse file is measured, not read; a device that never ends is read no further than the limit.
    writeBytes(folder / "sparse.vsk", "");
    std::filesystem::resize_file(folder / "sparse.vsk", 3'000'000'000);
    EXPECT_EQ(readFileBytes(folder / "sparse.vsk", 1 << 20), std::nullopt);
    EXPECT_EQ(readFileBytes("/dev/zero", 100'000), std::nullopt);
    EXPECT_THROW(readFileBytes(folder / "missing.txt", 10), VeskaroError);
}

namespace {

struct EncodingCase {
    const char* what;
    std::string bytes;
    bool validUtf8;
    std::string utf8; // the text as the program holds it
};

void PrintTo(const EncodingCase& example, std::ostream* out) {
    *out << example.what;
}

class TextEncoding : public testing::TestWithParam<EncodingCase> {};

} // namespace

TEST_P(TextEncoding, ReadsUtf8AsItIsAndAnythingElseAsWindows1252) {
    const EncodingCase& example = GetParam();
    EXPECT_EQ(isValidUtf8(example.bytes), example.validUtf8);
    const std::string text = fileTextAsUtf8(example.bytes);
    EXPECT_EQ(text, example.utf8);
    EXPECT_TRUE(isValidUtf8(text));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TextEncoding,
    testing::Values(
        EncodingCase{"ascii", "Beach at dawn", true, "Beach at dawn"},
        EncodingCase{"utf-8", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true,
                     "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        EncodingCase{"windows-1252", "Caf\xE9 \x80 5 \x93q\x94", false,
                     "Caf\xC3\xA9 \xE2\x82\xAC 5 \xE2\x80\x9Cq\xE2\x80\x9D"},
        EncodingCase{"letters of the high controls", "\x8A\x9A\x9F\x99\x85", false,
                     "\xC5\xA0\xC5\xA1\xC5\xB8\xE2\x84\xA2\xE2\x80\xA6"},
        EncodingCase{"unassigned bytes", "\x81\x8D\x8F\x90\x9D", false, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        EncodingCase{"latin-1 range", "\xA0\xFF", false, "\xC2\xA0\xC3\xBF"},
        EncodingCase{"overlong slash", "\xC0\xAF", false, "\xC3\x80\xC2\xAF"},
        EncodingCase{"surrogate", "\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        EncodingCase{"above the last character", "\xF4\x90\x80\x80", false, "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        EncodingCase{"cut short", "abc\xE2\x82", false, "abc\xC3\xA2\xE2\x80\x9A"},
        EncodingCase{"one file, one encoding", "\xC3\xA9 and \xE9", false, "\xC3\x83\xC2\xA9 and \xC3\xA9"}),
    [](const testing::TestParamInfo<EncodingCase>& example) {
        std::string name;
        for (const char c : std::string(example.param.what))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(TextEncodingWindows1252, EveryByteBecomesACharacterOfItsOwn) {
    std::set<std::string> characters;
    for (int byte = 0; byte < 256; ++byte)
        characters.insert(windows1252ToUtf8(std::string(1, static_cast<char>(byte))));
    EXPECT_EQ(characters.size(), 256u) << "no two bytes read as the same character, so nothing is lost";
}
