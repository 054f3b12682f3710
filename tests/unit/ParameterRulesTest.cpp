#include "model/ParameterRules.h"
#include "model/ColorText.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

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
    EXPECT_NO_THROW(checkNumbers(defaults));
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

TEST(ParameterRules, CheckingNumbersNamesTheFirstThatIsNone) {
    TkvlAppletAgent project;
    project.SetDefaults();
    TAppletData data = project.GetAppletData();
    data.sliderWidth = "640px";
    data.transDurAuto = "soon";
    try {
        checkNumbers(data);
        FAIL() << "no error";
    } catch (const VeskaroError& error) {
        EXPECT_STREQ(error.what(), "'640px' is not a valid integer value");
    }
    data.sliderWidth = "640";
    data.transDurAuto = "1000";
    data.pSliderName = "not a number, and not one";
    EXPECT_NO_THROW(checkNumbers(data)) << "only numbers are checked";
}
