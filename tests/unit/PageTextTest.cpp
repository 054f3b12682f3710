#include "generate/PageText.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// Each option writes its own markup and nothing else: the <img> of the second item, as each combination
// offers it.
TEST(PageText, EachPictureOptionAddsOnlyItsOwnMarkup) {
    TkvlAppletAgent project;
    project.SetDefaults();
    TAppletData data = project.GetAppletData();
    data.sliderWidth = "320";
    data.sliderHeight = "240";
    TItemData item = TkvlAppletAgent::DefaultItem();
    item.IToolTip = "Dunes";
    item.IImageFile = "slider1.gif";
    const TItemArray items{item, item};
    const PublishedPicture gif{"slider1.gif", PictureFormat::Gif, 1, {}};
    const PublishedPicture gif2x{"slider1@2x.gif", PictureFormat::Gif, 2, {}};
    const PublishedPicture webp{"slider1.webp", PictureFormat::Webp, 1, {}};
    const PublishedPicture webp2x{"slider1@2x.webp", PictureFormat::Webp, 2, {}};
    const std::string tail = "title=\"Dunes\" alt=\"Dunes\" />";
    const struct {
        std::vector<PublishedPicture> pictures;
        bool lazy;
        std::string line;
    } cases[] = {
        {{gif}, false, "<img src=\"slider1.gif\" " + tail},
        {{gif, gif2x}, false, "<img src=\"slider1.gif\" srcset=\"slider1@2x.gif 2x\" " + tail},
        {{gif, webp}, false,
         "<picture><source type=\"image/webp\" srcset=\"slider1.webp\"><img src=\"slider1.gif\" " + tail + "</picture>"},
        {{gif}, true,
         "<img src=\"slider1.gif\" width=\"320\" height=\"240\" loading=\"lazy\" decoding=\"async\" " + tail},
        {{gif, gif2x, webp, webp2x}, false,
         "<picture><source type=\"image/webp\" srcset=\"slider1.webp, slider1@2x.webp 2x\"><img src=\"slider1.gif\" "
         "srcset=\"slider1@2x.gif 2x\" " +
             tail + "</picture>"},
    };
    for (const auto& offer : cases) {
        const std::vector<std::string> lines =
            pageLines(data, items, {}, PictureMarkup{{{gif}, offer.pictures}, offer.lazy});
        const auto second = std::find(lines.begin(), lines.end(),
                                      "<div id=\"jsnavbtnslider_image_2\" class=\"jsnavbtnslider_image\">");
        ASSERT_GT(std::distance(second, lines.end()), 2);
        EXPECT_EQ(*(second + 2), offer.line);
    }
}
