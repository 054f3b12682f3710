#include "generate/PageText.h"

#include <gtest/gtest.h>

using namespace veskaro;

TEST(PageText, SliderIdDropsOnlyBlanks) {
    EXPECT_EQ(SliderId("My Slider 2"), "MySlider2");
    EXPECT_EQ(SliderId("  "), "");
    EXPECT_EQ(SliderId("tab\tstays_-.x"), "tab\tstays_-.x");
}

TEST(PageText, MarkColorPutsAHashBeforeAnythingButTransparent) {
    EXPECT_EQ(MarkColor("C0C0C0"), "#C0C0C0");
    EXPECT_EQ(MarkColor("Transparent"), "Transparent");
    EXPECT_EQ(MarkColor("tRANSPARENT"), "tRANSPARENT");
    EXPECT_EQ(MarkColor(" transparent"), "# transparent");
    EXPECT_EQ(MarkColor(""), "#");
}

TEST(PageText, AttributeTextEscapesOnlyWhatBreaksTheMarkup) {
    EXPECT_EQ(attributeText("a\"b<c>d&amp;e'f"), "a&quot;b&lt;c&gt;d&amp;e'f");
    EXPECT_EQ(attributeText("\xE4\xF6 plain"), "\xE4\xF6 plain");
}
