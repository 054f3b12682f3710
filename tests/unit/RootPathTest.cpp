#include "generate/RootPath.h"

#include <gtest/gtest.h>

using namespace veskaro;

namespace {

struct RootCase {
    const char* name;
    const char* local;
    const char* remote;
    const char* localChecked;
    const char* link;
    const char* switched;
};

std::ostream& operator<<(std::ostream& out, const RootCase& c) {
    return out << c.name;
}

class SwitchRootPathTest : public ::testing::TestWithParam<RootCase> {};

} // namespace

TEST_P(SwitchRootPathTest, SwitchesTheLink) {
    TAppletData data;
    data.InternalUse_RootDir_Local = GetParam().local;
    data.InternalUse_RootDir_Remote = GetParam().remote;
    data.InternalUse_RootDir_Local_Checked = GetParam().localChecked;
    EXPECT_EQ(switchRootPath(GetParam().link, data), GetParam().switched);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwitchRootPathTest,
    ::testing::Values(
        RootCase{"UploadIgnoresCase", "C:/web/", "/pub/", "0", "c:/WEB/a.html", "/pub/a.html"},
        RootCase{"TestLocallyLeavesLocalLinks", "C:/web/", "/pub/", "1", "c:/WEB/a.html", "c:/WEB/a.html"},
        RootCase{"TestLocallyIgnoresCase", "C:/web/", "/pub/", "1", "/PUB/b.html", "C:/web/b.html"},
        RootCase{"AnyOtherChoiceUploads", "C:/web/", "/pub/", "", "C:/web/a.html", "/pub/a.html"},
        RootCase{"OnlyExactlyOneMeansLocal", "C:/web/", "/pub/", " 1", "/pub/b.html", "/pub/b.html"},
        RootCase{"BlankRemoteReplacesNothing", "C:/web/", "   ", "0", "C:/web/a.html", "C:/web/a.html"},
        RootCase{"ControlCharactersCountAsBlank", "\t\r\n", "/pub/", "1", "/pub/a.html", "/pub/a.html"},
        RootCase{"EmptyLocalReplacesNothing", "", "/pub/", "0", "/pub/a.html", "/pub/a.html"},
        RootCase{"RootsAreUsedAsHeldNotTrimmed", " C:/web/", "/pub/", "0", "C:/web/a.html", "C:/web/a.html"},
        RootCase{"HeldBlanksTakePart", " C:/web/", "/pub/", "0", "x C:/web/a.html", "x/pub/a.html"},
        RootCase{"EveryOccurrence", "L/", "R/", "0", "L/a L/b l/c", "R/a R/b R/c"},
        RootCase{"NoRescanOfReplacedText", "a", "aa", "0", "aaa", "aaaaaa"},
        RootCase{"LeftToRightWithoutOverlap", "aa", "b", "0", "aaa", "ba"},
        RootCase{"BytesAboveAsciiMatchExactly", "/\xC4/", "/r/", "0", "/\xE4/x /\xC4/y", "/\xE4/x /r/y"},
        RootCase{"EmptyLinkStaysEmpty", "C:/web/", "/pub/", "0", "", ""}),
    [](const auto& test) { return std::string(test.param.name); });
