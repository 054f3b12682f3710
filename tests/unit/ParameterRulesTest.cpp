#include "model/ParameterRules.h"
#include "CaseNames.h"
#include "model/ColorText.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace veskaro;

// The rules describe the record they belong to: every field once, in the order of the project file.
TEST(ParameterRules, NameEveryScriptParameterOnceInFileOrder) {
    TAppletData marked;
    for (std::size_t k = 0; k < kAppletFields.size(); ++k)
        marked.*kAppletFields[k].member = std::to_string(k);
    const TStringArray strings = TkvlAppletAgent::AppletDataToStrings(marked);
    for (std::size_t k = 0; k < strings.size(); ++k)
        EXPECT_EQ(strings[k], std::to_string(k)) << kAppletFields[k].name;
    EXPECT_EQ(&appletField(&TAppletData::switchImageDelay), &kAppletFields[15]);
}

TEST(ParameterRules, TheDefaultsKeepTheirOwnRules) {
    TkvlAppletAgent project;
    project.SetDefaults();
    const TAppletData defaults = project.GetAppletData();
    EXPECT_EQ(parameterProblems(defaults), std::vector<std::string>{});
    for (const AppletField& field : kAppletFields) {
        const std::string& value = defaults.*field.member;
        switch (field.kind) {
        case ValueKind::Number:
            EXPECT_TRUE(inRange(field, strToInt(value))) << field.name;
            break;
        case ValueKind::Color:
            EXPECT_TRUE(rgbOfColorText(value)) << field.name;
            break;
        case ValueKind::Switch:
            EXPECT_TRUE(value == "1" || value == "0") << field.name;
            break;
        case ValueKind::Text:
        case ValueKind::Unused:
            break;
        }
    }
}

TEST(ParameterRules, RangesIncludeTheirEndsOnly) {
    const AppletField& width = appletField(&TAppletData::sliderWidth);
    EXPECT_TRUE(inRange(width, 1));
    EXPECT_TRUE(inRange(width, 9999));
    EXPECT_FALSE(inRange(width, 0));
    EXPECT_FALSE(inRange(width, 10000));
    EXPECT_TRUE(inRange(appletField(&TAppletData::navBtnVerticalOffset), -9999));
}

struct ParameterCase {
    std::string TAppletData::*field;
    const char* value;
    const char* problem; // nothing when the value is accepted
};

void PrintTo(const ParameterCase& rule, std::ostream* out) {
    *out << appletField(rule.field).name << " = \"" << rule.value << "\"";
}

class ParameterProblems : public testing::TestWithParam<ParameterCase> {};

// Every value reaches the style sheet, the page or its script, so a value outside its rule must be caught
// whatever else the project holds.
TEST_P(ParameterProblems, NameEachValueOutsideItsRule) {
    TkvlAppletAgent project;
    project.SetDefaults();
    TAppletData data = project.GetAppletData();
    data.*GetParam().field = GetParam().value;
    const std::vector<std::string> problems = parameterProblems(data);
    if (GetParam().problem == nullptr) {
        EXPECT_EQ(problems, std::vector<std::string>{});
        EXPECT_NO_THROW(checkParameters(data));
        return;
    }
    EXPECT_EQ(problems, std::vector<std::string>{GetParam().problem});
    try {
        checkParameters(data);
        ADD_FAILURE() << "no error";
    } catch (const VeskaroError& error) {
        EXPECT_STREQ(error.what(), GetParam().problem);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParameterProblems,
    testing::Values(
        ParameterCase{&TAppletData::sliderWidth, "640px", "The slider width \"640px\" is not a whole number."},
        ParameterCase{&TAppletData::sliderWidth, "abc;}body{display:none",
                      "The slider width \"abc;}body{display:none\" is not a whole number."},
        ParameterCase{&TAppletData::sliderWidth, "0", "The slider width 0 lies outside 1 to 9999."},
        ParameterCase{&TAppletData::sliderHeight, "10000", "The slider height 10000 lies outside 1 to 9999."},
        ParameterCase{&TAppletData::sliderHeight, "99999999999",
                      "The slider height \"99999999999\" is not a whole number."},
        ParameterCase{&TAppletData::navBtnVerticalOffset, "-9999", nullptr},
        ParameterCase{&TAppletData::navBtnVerticalOffset, "", "The button offset \"\" is not a whole number."},
        ParameterCase{&TAppletData::transDurAuto, "010", nullptr},
        ParameterCase{&TAppletData::transDurManual, "+7", nullptr},
        ParameterCase{&TAppletData::transDurManual, "-5", "The manual transition time -5 lies outside 0 to 9999."},
        ParameterCase{&TAppletData::switchImageDelay, "2000;alert(1)",
                      "The delay before the next picture \"2000;alert(1)\" is not a whole number."},
        ParameterCase{&TAppletData::navBtnBgColorNormal, "000000;}*{display:none}",
                      "The background colour of the buttons \"000000;}*{display:none}\" is neither six hexadecimal "
                      "digits nor \"transparent\"."},
        ParameterCase{&TAppletData::navBtnTextColorActive, "FFFF0",
                      "The text colour of the active button \"FFFF0\" is neither six hexadecimal digits nor "
                      "\"transparent\"."},
        ParameterCase{&TAppletData::navBtnBgColorActiveHover, "",
                      "The background colour of the active button under the mouse \"\" is neither six hexadecimal "
                      "digits nor \"transparent\"."},
        ParameterCase{&TAppletData::navBtnBgColorHover, "c0c0c0", nullptr},
        ParameterCase{&TAppletData::navBtnTextColorActiveHover, "TransParent", nullptr},
        ParameterCase{&TAppletData::pSliderName, "not a number, and not one", nullptr},
        ParameterCase{&TAppletData::reserved, "anything", nullptr}));

struct FileNameCase {
    const char* name;
    bool bare;
};

void PrintTo(const FileNameCase& c, std::ostream* out) {
    *out << veskaro::test::caseName(c.name);
}

class BareFileName : public testing::TestWithParam<FileNameCase> {};

TEST_P(BareFileName, HasNoFolderDriveOrControlCharacter) {
    EXPECT_EQ(isBareFileName(GetParam().name), GetParam().bare);
    TItemData item;
    item.IImageFile = GetParam().name;
    EXPECT_EQ(pictureFileOf(item), GetParam().bare ? GetParam().name : "");
}

INSTANTIATE_TEST_SUITE_P(Names, BareFileName,
                         testing::Values(FileNameCase{"slider0.jpg", true}, FileNameCase{"a..b.gif", true},
                                         FileNameCase{"My Photo (2).bmp", true}, FileNameCase{"", false},
                                         FileNameCase{"..", false}, FileNameCase{".", false},
                                         FileNameCase{"../../../../secret.txt", false},
                                         FileNameCase{"pictures/slider0.jpg", false},
                                         FileNameCase{"..\\slider0.jpg", false}, FileNameCase{"C:slider0.jpg", false},
                                         FileNameCase{"slider0.jpg:stream", false},
                                         FileNameCase{"slider0\t.jpg", false}, FileNameCase{"slider0.jpg\x7f", false},
                                         FileNameCase{"/etc/passwd", false}));
