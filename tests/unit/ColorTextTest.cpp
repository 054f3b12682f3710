#include "model/ColorText.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;

TEST(ColorText, WritesRedGreenBlueInUpperCase) {
    EXPECT_EQ(ColorToHexText(0xFFFFFF), "FFFFFF");
    EXPECT_EQ(ColorToHexText(0x563412), "123456"); // red 0x12, green 0x34, blue 0x56
    EXPECT_EQ(ColorToHexText(0x0000FF), "FF0000");
    EXPECT_EQ(ColorToHexText(0), "000000");
}

TEST(ColorText, ReadsRedGreenBlueIntoTheColourLayout) {
    EXPECT_EQ(HexTextToColor("123456"), 0x563412u);
    EXPECT_EQ(HexTextToColor("FFFF00"), 0x00FFFFu);
    EXPECT_EQ(HexTextToColor("c0c0c0"), 0xC0C0C0u);
    EXPECT_EQ(ColorToHexText(HexTextToColor("a1B2c3")), "A1B2C3");
}

TEST(ColorText, TransparentInAnyCaseIsBlack) {
    EXPECT_EQ(HexTextToColor("transparent"), 0u);
    EXPECT_EQ(HexTextToColor("TransParent"), 0u);
    EXPECT_EQ(ColorToHexText(HexTextToColor("TRANSPARENT")), "000000");
}

TEST(ColorText, ShortTextsGiveShorterPieces) {
    EXPECT_EQ(HexTextToColor(""), 0u);
    EXPECT_EQ(HexTextToColor("FF"), 0xFFu);          // red only
    EXPECT_EQ(HexTextToColor("FFF"), 0xFFFu);        // "" + "F" + "FF"
    EXPECT_EQ(HexTextToColor("1234567"), 0x563412u); // characters past the sixth are not read
}

TEST(ColorText, NonHexadecimalTextIsRefusedWithTheConversionMessage) {
    for (const char* text : {"12345G", "red", "#FFFFFF", " 00000"}) {
        try {
            HexTextToColor(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const VeskaroError& error) {
            EXPECT_EQ(std::string(error.what()), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}
