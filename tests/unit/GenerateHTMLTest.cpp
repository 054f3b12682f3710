#include "CaseNames.h"
#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "generate/Publisher.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace veskaro;
using veskaro::test::readBytes;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

// Diffs two text files line by line, so that a failure names the first line that changed, then
// compares their bytes for the line ends.
void expectSameText(const std::string& actual, const fs::path& golden) {
    const Lines actualLines = readTextLines(actual);
    const Lines goldenLines = readTextLines(golden.string());
    for (std::size_t k = 0; k < std::max(actualLines.size(), goldenLines.size()); ++k) {
        const std::string got = k < actualLines.size() ? actualLines[k] : "<no line>";
        const std::string want = k < goldenLines.size() ? goldenLines[k] : "<no line>";
        if (got != want) {
            ADD_FAILURE() << golden.filename() << " line " << k + 1 << "\n  got:  " << got << "\n  want: " << want;
            return;
        }
    }
    EXPECT_EQ(readBytes(actual), readBytes(golden)) << "same lines, different line ends";
}

bool contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class GenerateHTMLTest : public ::testing::Test {
protected:
    GenerateHTMLTest() { project.SetDefaults(); }

    // Adds an item whose picture is prepared already and whose source image is gone, below the node at
    // parent.
    void addItem(const std::string& imageFile, const std::string& link = "", const std::string& target = "_self",
                 const std::string& toolTip = "", int parent = 0) {
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IImageFile = imageFile;
        item.IOriginalImagePath = pages / "no such source.jpg";
        item.ILink = link;
        item.ITarget = target;
        item.IToolTip = toolTip;
        project.InsertItem(project.itemCount(), item);
        tree.addChild(parent, imageFile);
    }

    void setApplet(std::string TAppletData::*field, const std::string& value) {
        TAppletData data = project.GetAppletData();
        data.*field = value;
        project.SetAppletData(data);
    }

    std::string generate() {
        publisher.GenerateHTML(project, pagePath, tree, progress);
        return pagePath;
    }

    Lines generatedPage() { return readTextLines(generate()); }

    std::string errorOfGenerate() {
        try {
            generate();
        } catch (const VeskaroError& error) {
            return error.what();
        }
        return "no error";
    }

    std::string staged(const std::string& name) const { return places.GetStagingFolder() + name; }

    test::PerUserFolders folders;
    const Places places = folders.places();
    Publisher publisher{places};
    test::TemporaryFolder pages;
    const std::string pagePath = pages / "Demo.html";
    TkvlAppletAgent project;
    PlainItemTree tree;
    test::RecordingProgressView progress;
};

} // namespace

TEST_F(GenerateHTMLTest, DefaultsWithOneItemGiveTheGoldenPageAndStyleSheet) {
    addItem("slider0.jpg");
    generate();
    expectSameText(pagePath, test::testData("page/default-one-item.html"));
    expectSameText(staged("Slider1.css"), test::testData("page/Slider1.css"));
    EXPECT_EQ(project.linkedFiles().at(2).FileName, "Slider1.css");
}

TEST_F(GenerateHTMLTest, NoItemsLeaveTheImageAndButtonGroupsEmpty) {
    generate();
    expectSameText(pagePath, test::testData("page/no-items.html"));
    expectSameText(staged("Slider1.css"), test::testData("page/Slider1.css"));
}

TEST_F(GenerateHTMLTest, ThreeItemsWriteTheFirstTwiceAndTheButtonsDescending) {
    addItem("slider0.jpg", "https://www.example.org/spring.html", "_blank", "Spring meadow");
    addItem("slider1.gif", "summer.html", "_self", "Summer &amp; sea");
    addItem("slider2.bmp", "", "_top", "");
    generate();
    expectSameText(pagePath, test::testData("page/three-items.html"));
}

TEST_F(GenerateHTMLTest, TheHeadDeclaresUtf8AndTheViewportFirst) {
    addItem("slider0.jpg", "caf\xc3\xa9.html", "_self", "Caf\xc3\xa9 in Z\xc3\xbcrich");
    const Lines page = generatedPage();
    ASSERT_GE(page.size(), 7u);
    EXPECT_EQ(
        Lines(page.begin() + 3, page.begin() + 7),
        (Lines{"<head>", "<meta charset=\"utf-8\">",
               "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">", "<title>Preview</title>"}));
    EXPECT_TRUE(contains(page, "<img src=\"slider0.jpg\" title=\"Caf\xc3\xa9 in Z\xc3\xbcrich\" alt=\"Caf\xc3\xa9 in "
                               "Z\xc3\xbcrich\" />"))
        << "the UTF-8 bytes go into the page as they are";
}

TEST_F(GenerateHTMLTest, BlanksAreDroppedFromTheSliderNameOnly) {
    setApplet(&TAppletData::pSliderName, "My Slider 2");
    const Lines page = generatedPage();
    EXPECT_TRUE(fs::exists(staged("MySlider2.css")));
    EXPECT_EQ(project.linkedFiles().at(2).FileName, "MySlider2.css");
    EXPECT_TRUE(contains(page, "<LINK href=\"./MySlider2.css\" type=\"text/css\" rel=\"stylesheet\" />"));
    EXPECT_TRUE(contains(page, "<div id=\"MySlider2\" class=\"jsnavbtnslider_placeholder\">"));
    EXPECT_EQ(project.GetAppletData().pSliderName, "My Slider 2");
}

TEST_F(GenerateHTMLTest, RenamingTheSliderLeavesBothStyleSheetsAndLinksTheNewerOnly) {
    generate();
    setApplet(&TAppletData::pSliderName, "Second");
    const Lines page = generatedPage();
    EXPECT_TRUE(fs::exists(staged("Slider1.css")));
    EXPECT_TRUE(fs::exists(staged("Second.css")));
    EXPECT_EQ(project.linkedFiles().at(2).FileName, "Second.css");
    EXPECT_EQ(
        std::count_if(page.begin(), page.end(), [](const std::string& line) { return line.starts_with("<LINK"); }), 1);
    EXPECT_TRUE(contains(page, "<LINK href=\"./Second.css\" type=\"text/css\" rel=\"stylesheet\" />"));
}

TEST_F(GenerateHTMLTest, EveryStyleSheetEntryIsLinkedWhateverTheTypeCase) {
    project.AddLinkedFile("extra.CSS", "CsS", false);
    project.AddLinkedFile("extra.js", "js", false);
    const Lines page = generatedPage();
    const auto first =
        std::find(page.begin(), page.end(), "<LINK href=\"./Slider1.css\" type=\"text/css\" rel=\"stylesheet\" />");
    ASSERT_NE(first, page.end());
    EXPECT_EQ(*(first + 1), "<LINK href=\"./extra.CSS\" type=\"text/css\" rel=\"stylesheet\" />");
    EXPECT_EQ(*(first + 2), "<!-- END -->");
}

TEST_F(GenerateHTMLTest, TransparentColoursGoWithoutTheHashInAnyLetterCase) {
    setApplet(&TAppletData::navBtnTextColorNormal, "transparent");
    setApplet(&TAppletData::navBtnBgColorNormal, "TransParent");
    setApplet(&TAppletData::navBtnTextColorActive, "FFFF00");
    setApplet(&TAppletData::navBtnBgColorActive, "TRANSPARENT");
    generate();
    const Lines css = readTextLines(staged("Slider1.css"));
    EXPECT_TRUE(contains(css, "POSITION: relative; CURSOR: pointer; FONT-FAMILY: arial; FONT-SIZE: 11px; TEXT-ALIGN: "
                              "center; BORDER:black solid 1px; COLOR: transparent; BACKGROUND-COLOR: TransParent;"));
    EXPECT_TRUE(contains(css, "COLOR: #FFFF00; BACKGROUND-COLOR: TRANSPARENT;"));
}

struct GroupTopCase {
    const char* height;
    const char* offset;
    const char* line;
};

void PrintTo(const GroupTopCase& c, std::ostream* out) {
    *out << "height " << veskaro::test::caseName(c.height) << " offset " << veskaro::test::caseName(c.offset);
}

class GroupTopTest : public GenerateHTMLTest, public ::testing::WithParamInterface<GroupTopCase> {};

TEST_P(GroupTopTest, IsTheHeightLessFifteenPlusTheOffset) {
    setApplet(&TAppletData::sliderHeight, GetParam().height);
    setApplet(&TAppletData::navBtnVerticalOffset, GetParam().offset);
    generate();
    const Lines css = readTextLines(staged("Slider1.css"));
    ASSERT_EQ(css.at(23), "DIV.jsnavbtnslider_navbtngrp{");
    EXPECT_EQ(css.at(24), std::string("POSITION: absolute; PADDING: 0px; MARGIN: 0px; CURSOR: pointer; WIDTH: 100%; "
                                      "HEIGHT: 18px; TOP: ") +
                              GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Sums, GroupTopTest,
                         ::testing::Values(GroupTopCase{"10", "-26", "-31px;"}, GroupTopCase{"480", "0", "465px;"},
                                           GroupTopCase{"480", "-26", "439px;"},
                                           GroupTopCase{"9999", "9999", "19983px;"},
                                           GroupTopCase{"1", "-9999", "-10013px;"},
                                           GroupTopCase{"0480", "+026", "491px;"}));

TEST_F(GenerateHTMLTest, ANumberThatIsNoIntegerWritesNeitherFile) {
    // The width too: the page and its style sheet would carry it as it stands.
    for (const AppletField& field : kAppletFields) {
        if (field.kind != ValueKind::Number)
            continue;
        const std::string held = project.GetAppletData().*field.member;
        setApplet(field.member, "48O");
        EXPECT_EQ(errorOfGenerate(), "The " + std::string(field.description) + " \"48O\" is not a whole number.")
            << field.name;
        EXPECT_FALSE(fs::exists(staged("Slider1.css"))) << field.name;
        EXPECT_FALSE(fs::exists(pagePath)) << field.name;
        setApplet(field.member, held);
    }
    setApplet(&TAppletData::navBtnVerticalOffset, "");
    EXPECT_EQ(errorOfGenerate(), "The button offset \"\" is not a whole number.");
}

TEST_F(GenerateHTMLTest, LevelsFollowTheTreeWithTheRootsChildrenAtZero) {
    addItem("slider0.jpg");
    addItem("slider1.jpg", "", "_self", "", 1);
    addItem("slider2.jpg", "", "_self", "", 2);
    addItem("slider3.jpg");
    generate();
    const Lines levels{project.GetItem(0).ILevel, project.GetItem(1).ILevel, project.GetItem(2).ILevel,
                       project.GetItem(3).ILevel};
    EXPECT_EQ(levels, (Lines{"0", "1", "2", "0"}));
}

TEST_F(GenerateHTMLTest, LinksAreSwitchedToTheChosenRootAndKeptSo) {
    addItem("slider0.jpg", "c:/WEB/a.html");
    addItem("slider1.jpg", "/PUB/b.html");
    setApplet(&TAppletData::InternalUse_RootDir_Local, "C:/web/");
    setApplet(&TAppletData::InternalUse_RootDir_Remote, "/pub/");
    setApplet(&TAppletData::InternalUse_RootDir_Local_Checked, "0");
    Lines page = generatedPage();
    EXPECT_EQ(project.GetItem(0).ILink, "/pub/a.html");
    EXPECT_EQ(project.GetItem(1).ILink, "/PUB/b.html");
    EXPECT_TRUE(contains(page, "<a href=\"/pub/a.html\" target=\"_self\">"));

    setApplet(&TAppletData::InternalUse_RootDir_Local_Checked, "1");
    page = generatedPage();
    EXPECT_EQ(project.GetItem(0).ILink, "C:/web/a.html");
    EXPECT_EQ(project.GetItem(1).ILink, "C:/web/b.html");
    EXPECT_TRUE(contains(page, "<a href=\"C:/web/b.html\" target=\"_self\">"));
}

TEST_F(GenerateHTMLTest, MissingSourceImagesAreCaptionedAndKeepTheirPictures) {
    addItem("slider0.jpg");
    TItemData item = project.GetItem(0);
    item.IImageWidth = "640";
    item.IImageHeight = "320";
    project.SetItem(item, 0);
    generate();
    EXPECT_EQ(tree.captionAt(1), "Warning: Original image not found.");
    EXPECT_EQ(project.GetItem(0).IImageFile, "slider0.jpg");
    EXPECT_EQ(project.GetItem(0).IImageWidth, "640");
    EXPECT_EQ(project.GetItem(0).IImageHeight, "320");
}

TEST_F(GenerateHTMLTest, ShowsItsStatusAroundImagePreparationAndEndsIdle) {
    addItem("slider0.jpg");
    generate();
    const Lines expected{"hint Making HTML Codes ... ...",
                         "busy",
                         "hint Processing images ...",
                         "busy",
                         "maximum 2",
                         "position 0",
                         "hint ",
                         "idle",
                         "position 0",
                         "hint ",
                         "idle"};
    EXPECT_EQ(progress.calls, expected);
}

TEST_F(GenerateHTMLTest, MarkupCharactersInAttributesBecomeEntitiesAndAmpersandsStay) {
    addItem("slider0.jpg", "a.html?x=\"1\"&y=<2>", "_\"blank\"", "Fish & <Chips> \"to go\" &amp; more");
    const Lines page = generatedPage();
    EXPECT_TRUE(contains(page, "<a href=\"a.html?x=&quot;1&quot;&y=&lt;2&gt;\" target=\"_&quot;blank&quot;\">"));
    EXPECT_TRUE(contains(page, "<img src=\"slider0.jpg\" title=\"Fish & &lt;Chips&gt; &quot;to go&quot; &amp; more\" "
                               "alt=\"Fish & &lt;Chips&gt; &quot;to go&quot; &amp; more\" />"));
    EXPECT_EQ(project.GetItem(0).ILink, "a.html?x=\"1\"&y=<2>") << "the project keeps what was typed";
}

class UnsafeSliderNameTest : public GenerateHTMLTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(UnsafeSliderNameTest, IsRefusedBeforeAnythingIsWritten) {
    addItem("slider0.jpg");
    setApplet(&TAppletData::pSliderName, GetParam());
    EXPECT_EQ(errorOfGenerate(),
              "The slider name must not contain any of the characters < > : \" / \\ | ? * or control "
              "characters, because it names the slider's style sheet file. Please choose another "
              "slider name.");
    EXPECT_FALSE(fs::exists(pagePath));
    EXPECT_TRUE(fs::is_empty(places.GetStagingFolder()));
    EXPECT_TRUE(progress.calls.empty()) << "image preparation did not start";
    EXPECT_EQ(tree.captionAt(1), "slider0.jpg");
    EXPECT_EQ(project.linkedFiles().at(2).FileName, "slidervsk.css");
}

INSTANTIATE_TEST_SUITE_P(Names, UnsafeSliderNameTest,
                         ::testing::Values("../../escape", "a/b", "C:\\Windows\\x", "tab\there", "line\nbreak",
                                           std::string("nul\0byte", 8), "del\x7f", "Big \"Show\"", "<b>", "a|b", "why?",
                                           "all*"));

TEST_F(GenerateHTMLTest, ATimingThatIsNoIntegerCannotReachThePageScript) {
    setApplet(&TAppletData::switchImageDelay, "2000;alert(1)");
    EXPECT_EQ(errorOfGenerate(), "The delay before the next picture \"2000;alert(1)\" is not a whole number.");
    EXPECT_FALSE(fs::exists(pagePath));
    setApplet(&TAppletData::switchImageDelay, "2000");
    setApplet(&TAppletData::transDurAuto, "</script>");
    EXPECT_EQ(errorOfGenerate(), "The automatic transition time \"</script>\" is not a whole number.");
    setApplet(&TAppletData::transDurAuto, "-5");
    EXPECT_EQ(errorOfGenerate(), "The automatic transition time -5 lies outside 0 to 9999.");
    EXPECT_FALSE(fs::exists(pagePath));
}

// A script reads "010" as the octal 8 and the style sheet "+640px" as nothing at all: every number is
// written as the decimal integer it stands for.
TEST_F(GenerateHTMLTest, NumbersAreWrittenInTheirDecimalForm) {
    setApplet(&TAppletData::sliderWidth, "0640");
    setApplet(&TAppletData::sliderHeight, "+480");
    setApplet(&TAppletData::transDurAuto, "010");
    setApplet(&TAppletData::transDurManual, "+7");
    setApplet(&TAppletData::switchImageDelay, "-0");
    const Lines page = generatedPage();
    EXPECT_TRUE(contains(page, "<script>var BbAl=0,bvAl=10,bxAl=7,bwAl=0;</script>"));
    EXPECT_TRUE(
        contains(page, "<div class=\"position_div_as_you_wish\" style=\"display:block;width:640px;height:480px;\">"));
    setApplet(&TAppletData::switchImageDelay, "2000");
    setApplet(&TAppletData::transDurAuto, "1000");
    setApplet(&TAppletData::transDurManual, "500");
    generate();
    expectSameText(pagePath, test::testData("page/no-items.html"));
    expectSameText(staged("Slider1.css"), test::testData("page/Slider1.css"));
}

TEST_F(GenerateHTMLTest, APageThatCannotBeWrittenLeavesACompleteStyleSheetAndNoPartialPage) {
    const std::string missingFolderPage = pages / "missing/Demo.html";
    try {
        publisher.GenerateHTML(project, missingFolderPage, tree, progress);
        FAIL() << "no error";
    } catch (const VeskaroError& error) {
        EXPECT_EQ(std::string(error.what()), "File not found: " + missingFolderPage);
    }
    expectSameText(staged("Slider1.css"), test::testData("page/Slider1.css"));
    EXPECT_FALSE(fs::exists(pages / "missing"));
    EXPECT_EQ(progress.calls.back(), "idle") << "the status is reset on failure too";
}

TEST_F(GenerateHTMLTest, AnEarlierPageIsReplacedWhole) {
    test::writeBytes(pagePath, std::string(100000, 'x'));
    generate();
    expectSameText(pagePath, test::testData("page/no-items.html"));
}

TEST_F(GenerateHTMLTest, ATreeThatDoesNotMatchTheItemsIsRefused) {
    addItem("slider0.jpg");
    tree.addChild(0, "stray");
    EXPECT_EQ(errorOfGenerate(), "The item tree holds 2 items but the project 1; the page was not made.");
    EXPECT_FALSE(fs::exists(pagePath));
}
