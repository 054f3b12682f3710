#include "TestFolders.h"

#include "generate/PublishCheck.h"
#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::writeBytes;

namespace {

class PublishCheck : public testing::Test {
protected:
    void SetUp() override {
        m_project.SetDefaults();
        writeBytes(m_folder / "jslib.js", "//");
        writeBytes(m_folder / "slidervsk.js", "//");
    }

    std::string picture(const std::string& name, int width, int height) {
        const RgbImage image(width, height, 128);
        writeBytes(m_folder / name, name.ends_with(".bmp") ? encodeBmp(image, name) : encodeJpeg(image, 90, name));
        return m_folder / name;
    }

    void addItem(const std::string& path, const std::string& toolTip = "Described",
                 const std::string& link = "https://www.example.org/") {
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = path;
        item.IToolTip = toolTip;
        item.ILink = link;
        m_project.InsertItem(m_project.itemCount(), item);
    }

    void change(std::string TAppletData::*field, const std::string& value) {
        TAppletData data = m_project.GetAppletData();
        data.*field = value;
        m_project.SetAppletData(data);
    }

    std::vector<std::string> findings() { return checkForPublishing(m_project, m_folder.path().string() + "/"); }

    veskaro::test::TemporaryFolder m_folder;
    TkvlAppletAgent m_project;
};

using Findings = std::vector<std::string>;

} // namespace

TEST_F(PublishCheck, DefaultProjectWithGoodPicturesIsClean) {
    addItem(picture("big.jpg", 800, 600));
    addItem(picture("exact.bmp", 640, 480));
    EXPECT_EQ(findings(), Findings{});
}

TEST_F(PublishCheck, ReportsEveryPictureProblem) {
    addItem(m_folder / "gone.jpg");
    addItem("");
    writeBytes(m_folder / "photo.png", "\x89PNG");
    addItem(m_folder / "photo.png");
    writeBytes(m_folder / "broken.jpg", "\xff\xd8\xff");
    addItem(m_folder / "broken.jpg");
    addItem(picture("small.jpg", 320, 200));
    const Findings found = findings();
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0], "Item 1 (gone.jpg): the source picture " + (m_folder / "gone.jpg") + " does not exist.");
    EXPECT_EQ(found[1], "Item 2 has no source picture.");
    EXPECT_EQ(found[2], "Item 3 (photo.png): Unknown picture file extension (.png)");
    EXPECT_EQ(found[3].rfind("Item 4 (broken.jpg): JPEG error #", 0), 0u) << found[3];
    EXPECT_EQ(found[4], "Item 5 (small.jpg): the picture is 320 x 200 pixels and will be enlarged to 640 x 400, so "
                        "it will look blurry.");
}

TEST_F(PublishCheck, ReportsValuesNumbersAndScripts) {
    change(&TAppletData::pSliderName, "two#$@parts");
    change(&TAppletData::sliderWidth, "wide");
    change(&TAppletData::transDurAuto, "12000");
    std::filesystem::remove(m_folder / "slidervsk.js");
    EXPECT_EQ(findings(),
              (Findings{"The value \"pSliderName\" of the slider settings contains \"#$@\", which a project file "
                        "cannot hold.",
                        "The slider width \"wide\" is not a whole number.",
                        "The automatic transition time 12000 lies outside 0 to 9999.",
                        "The slider script slidervsk.js is missing from " + m_folder.path().string() +
                            "/; the published slider would not run."}));
}

TEST_F(PublishCheck, ReportsLocalLinksWhenUploadingAndMissingDescriptions) {
    addItem(picture("a.jpg", 640, 480), "", "C:/Web/pages/a.html");
    change(&TAppletData::InternalUse_RootDir_Local, "c:/web/");
    change(&TAppletData::InternalUse_RootDir_Local_Checked, "0");
    EXPECT_EQ(findings(),
              (Findings{"Item 1 (a.jpg): the link C:/Web/pages/a.html still points at the local root, and "
                        "no web root is set to switch it to.",
                        "Item 1 (a.jpg) has no description, so its picture gets an empty alternative text."}));
    change(&TAppletData::InternalUse_RootDir_Remote, "/pub/");
    EXPECT_EQ(findings().size(), 1u) << "with a web root the link is switched on publishing";
    change(&TAppletData::InternalUse_RootDir_Remote, "");
    change(&TAppletData::InternalUse_RootDir_Local_Checked, "1");
    EXPECT_EQ(findings().size(), 1u) << "testing locally keeps local links on purpose";
}

TEST_F(PublishCheck, ReportsItemsWhoseLinkIsEmptyOrBlank) {
    addItem(picture("a.jpg", 640, 480), "A", "");
    addItem(picture("b.jpg", 640, 480), "B", "page.html");
    addItem(picture("c.jpg", 640, 480), "C", " \t ");
    EXPECT_EQ(findings(), (Findings{"Item 1 (a.jpg) has no link, so its picture leads nowhere when clicked.",
                                    "Item 3 (c.jpg) has no link, so its picture leads nowhere when clicked."}));
}

TEST_F(PublishCheck, ReportsButtonColoursWithTooLittleContrast) {
    change(&TAppletData::navBtnBgColorHover, "555555");
    change(&TAppletData::navBtnTextColorActiveHover, "TRANSPARENT");
    change(&TAppletData::navBtnTextColorActive, "FFFF0");
    EXPECT_EQ(findings(), (Findings{"The hover buttons show text 000000 on 555555 with a contrast of 2.8:1, below "
                                    "4.5:1; some visitors cannot read the numbers.",
                                    "The active button colours \"FFFF0\" and \"000000\" are not both six hexadecimal "
                                    "digits."}));
}

TEST(ContrastRatio, FollowsTheAccessibilityFormula) {
    EXPECT_NEAR(contrastRatio("000000", "FFFFFF"), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio("FFFFFF", "FFFFFF"), 1.0, 1e-9);
    EXPECT_NEAR(contrastRatio("777777", "FFFFFF"), 4.48, 0.01);
    EXPECT_NEAR(contrastRatio("000000", "767676"), 4.62, 0.01);
}
