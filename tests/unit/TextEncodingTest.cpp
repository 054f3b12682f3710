#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <set>
#include <string>
#include <vector>

using namespace veskaro;

namespace {

struct EncodingCase {
    const char* what;
    std::string bytes;
    bool validUtf8;
    std::string utf8; // the text as the program holds it
};

// The lines as a file holding them, each ended by a line feed, reads them back.
std::vector<std::string> linesAsUtf8(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\n";
    Utf8LineReader reader(bytes);
    std::vector<std::string> read;
    for (std::string line; reader.next(line);)
        read.push_back(line);
    return read;
}

void PrintTo(const EncodingCase& example, std::ostream* out) {
    *out << example.what;
}

class TextEncoding : public testing::TestWithParam<EncodingCase> {};

} // namespace

TEST_P(TextEncoding, ReadsUtf8AsItIsAndAnythingElseAsWindows1252) {
    const EncodingCase& example = GetParam();
    EXPECT_EQ(isValidUtf8(example.bytes), example.validUtf8);
    const std::vector<std::string> lines = linesAsUtf8({example.bytes});
    EXPECT_EQ(lines, std::vector<std::string>{example.utf8});
    EXPECT_TRUE(isValidUtf8(lines.front()));
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

TEST(TextEncodingOfFiles, EveryWindows1252ByteBecomesACharacterOfItsOwn) {
    std::set<std::string> characters;
    for (int byte = 0; byte < 256; ++byte)
        characters.insert(windows1252ToUtf8(std::string(1, static_cast<char>(byte))));
    EXPECT_EQ(characters.size(), 256u) << "no two bytes read as the same character, so nothing is lost";
}

TEST(TextEncodingOfFiles, OneLineThatIsNotUtf8MakesTheWholeFileWindows1252) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(linesAsUtf8({"caf\xC3\xA9", "plain", ""}), (Lines{"caf\xC3\xA9", "plain", ""}));
    EXPECT_EQ(linesAsUtf8({"caf\xC3\xA9", "plain", "caf\xE9"}), (Lines{"caf\xC3\x83\xC2\xA9", "plain", "caf\xC3\xA9"}));
    EXPECT_EQ(linesAsUtf8({}), Lines{});
    // A stray carriage return is dropped before the line is judged.
    EXPECT_EQ(linesAsUtf8({"caf\xC3\r\xA9"}), (Lines{"caf\xC3\xA9"}));
}
