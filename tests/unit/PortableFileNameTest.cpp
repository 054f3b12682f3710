#include "platform/PortableFileName.h"
#include "CaseNames.h"

#include <gtest/gtest.h>

#include <string>

using namespace veskaro;

namespace {

struct NameCase {
    std::string name;
    PortableNameProblem problem;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << veskaro::test::caseName(c.name);
}

class PortableFileName : public testing::TestWithParam<NameCase> {};

} // namespace

TEST_P(PortableFileName, RefusesWhatWindowsCannotName) {
    EXPECT_EQ(portableNameProblem(GetParam().name), GetParam().problem) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, PortableFileName,
    testing::Values(
        // Legal everywhere, also when Linux and Windows differ in taste: they publish today and stay.
        NameCase{"Slider1.css", PortableNameProblem::None}, NameCase{"My Show.html", PortableNameProblem::None},
        NameCase{"Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC.vsk", PortableNameProblem::None},
        NameCase{"Slider..css", PortableNameProblem::None}, NameCase{"Demo .html", PortableNameProblem::None},
        NameCase{"a.b.html", PortableNameProblem::None},
        NameCase{"Fish & 'Chips' #1 [x] {y} %20.css", PortableNameProblem::None},
        NameCase{"del\x7f.css", PortableNameProblem::None}, NameCase{".html", PortableNameProblem::None},
        // Reserved names only name devices as a whole part before the first dot.
        NameCase{"CONSOLE.css", PortableNameProblem::None}, NameCase{"COM10.css", PortableNameProblem::None},
        NameCase{"COM0.css", PortableNameProblem::None}, NameCase{"LPT.css", PortableNameProblem::None},
        NameCase{"xCON.css", PortableNameProblem::None}, NameCase{"CON_PublishReport.txt", PortableNameProblem::None},
        NameCase{"NULL.html", PortableNameProblem::None},
        // The characters Windows forbids, and every control character.
        NameCase{"a<b.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"a>b.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"a:b.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"Big\"Show\".css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"a/b.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"a\\b.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"a|b.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"why?.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"all*.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"tab\there.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{"line\nbreak.css", PortableNameProblem::ForbiddenCharacter},
        NameCase{std::string("nul\0byte.css", 12), PortableNameProblem::ForbiddenCharacter},
        NameCase{"\x1f.css", PortableNameProblem::ForbiddenCharacter},
        // Device names, in any letter case, with any extension, blanks before the dot.
        NameCase{"CON.css", PortableNameProblem::ReservedName}, NameCase{"con.html", PortableNameProblem::ReservedName},
        NameCase{"Prn.vsk", PortableNameProblem::ReservedName}, NameCase{"AUX.css", PortableNameProblem::ReservedName},
        NameCase{"nul.tar.gz", PortableNameProblem::ReservedName}, NameCase{"NUL", PortableNameProblem::ReservedName},
        NameCase{"COM1.css", PortableNameProblem::ReservedName},
        NameCase{"com9.html", PortableNameProblem::ReservedName},
        NameCase{"LPT1.css", PortableNameProblem::ReservedName},
        NameCase{"lpt9.css", PortableNameProblem::ReservedName},
        NameCase{"CON .html", PortableNameProblem::ReservedName},
        NameCase{"aux.b.html", PortableNameProblem::ReservedName}));
