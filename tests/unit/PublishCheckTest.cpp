#include "PictureTesting.h"
#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "generate/PublishCheck.h"
#include "generate/Publisher.h"
#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cctype>
#include <ostream>

using namespace veskaro;
using veskaro::test::errorOf;
using veskaro::test::filesIn;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

namespace {

using Findings = std::vector<std::string>;

// The check of a project in m_folder (pictures and slider scripts), published into site() as fileName.
class PublishCheck : public testing::Test {
public:
    void SetUp() override {
        m_project.SetDefaults();
        writeBytes(m_folder / "jslib.js", "//");
        writeBytes(m_folder / "slidervsk.js", "//");
        fs::create_directories(site());
    }

    std::string picture(const std::string& name, int width = 640, int height = 480) {
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
        m_tree.addChild(0, "Image");
    }

    void change(std::string TAppletData::*field, const std::string& value) {
        TAppletData data = m_project.GetAppletData();
        data.*field = value;
        m_project.SetAppletData(data);
    }

    void changeItem(int index, std::string TItemData::*field, const std::string& value) {
        TItemData item = m_project.GetItem(index);
        item.*field = value;
        m_project.SetItem(item, index);
    }

    PublishingFindings check() { return checkForPublishing(m_project, m_places, site(), m_fileName); }
    Findings findings() { return check().all(); }

    std::string site() const { return m_users.root() / "site/"; }

    veskaro::test::PerUserFolders m_users;
    veskaro::test::TemporaryFolder m_folder;
    const Places m_places = m_users.places(m_folder.path().string() + "/");
    TkvlAppletAgent m_project;
    PlainItemTree m_tree;
    std::string m_fileName = "Show.vsk";
};

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
    const PublishingFindings found = check();
    EXPECT_EQ(found.withoutPicture, (Findings{"Item 1 (gone.jpg): the source picture " + (m_folder / "gone.jpg") +
                                                  " does not exist, so its slide shows no picture.",
                                              "Item 2 has no source picture, so its slide shows no picture."}));
    ASSERT_EQ(found.problems.size(), 2u);
    EXPECT_EQ(found.problems[0], "Item 3 (photo.png): Unknown picture file extension (.png)");
    EXPECT_EQ(found.problems[1].rfind("Item 4 (broken.jpg): JPEG error #", 0), 0u) << found.problems[1];
    EXPECT_EQ(found.advice, (Findings{"Item 5 (small.jpg): the picture is 320 x 200 pixels and will be enlarged to "
                                      "640 x 400, so it will look blurry."}));
}

// A source that is there but cannot be read as a file gives its true reason, in the check and on publish.
TEST_F(PublishCheck, NamesWhySourcePicturesCannotBeRead) {
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs, symbolic links and POSIX permissions are the cases here";
#else
    fs::create_directory(m_folder / "folder.jpg");
    ASSERT_EQ(::mkfifo((m_folder / "fifo.jpg").c_str(), 0600), 0);
    fs::create_symlink("loop-b.jpg", m_folder / "loop-a.jpg");
    fs::create_symlink("loop-a.jpg", m_folder / "loop-b.jpg");
    fs::create_directory(m_folder / "closed");
    const std::string longPath = m_folder / (std::string(300, 'x') + ".jpg");
    const std::vector<std::pair<std::string, std::string>> cases{
        {m_folder / "none.jpg", "does not exist"},
        {m_folder / "folder.jpg", "is a folder, not a picture file"},
        {m_folder / "fifo.jpg", "is not a regular file"},
        {m_folder / "loop-a.jpg", "cannot be reached: too many levels of links"},
        {longPath, "cannot be reached: the path is longer than the system allows"},
        {"", "is not set"},
    };
    for (const auto& [path, reason] : cases)
        EXPECT_EQ(sourcePictureProblem(path), reason) << path;
    EXPECT_EQ(sourcePictureProblem(picture("fine.jpg")), "");
    if (::geteuid() != 0) {
        writeBytes(m_folder / "closed/a.jpg", "x");
        fs::permissions(m_folder / "closed", fs::perms::owner_read);
        EXPECT_EQ(sourcePictureProblem(m_folder / "closed/a.jpg"), "cannot be reached: access denied");
        fs::permissions(m_folder / "closed", fs::perms::owner_all);
    }
#endif
}

TEST_F(PublishCheck, ReportsValuesNumbersAndScripts) {
    change(&TAppletData::pSliderName, "two#$@parts");
    change(&TAppletData::sliderWidth, "wide");
    change(&TAppletData::transDurAuto, "12000");
    change(&TAppletData::navBtnBgColorHover, "C0C0C0;}");
    fs::remove(m_folder / "slidervsk.js");
    EXPECT_EQ(check().problems,
              (Findings{"The slider width \"wide\" is not a whole number.",
                        "The background colour of a button under the mouse \"C0C0C0;}\" is neither six hexadecimal "
                        "digits nor \"transparent\".",
                        "The automatic transition time 12000 lies outside 0 to 9999.",
                        "The value \"pSliderName\" of the slider settings contains \"#$@\", which a project file "
                        "cannot hold.",
                        "The slider script slidervsk.js is missing from " + m_folder.path().string() +
                            "/; the published slider would not run."}));
    EXPECT_EQ(check().advice, Findings{});
}

TEST_F(PublishCheck, ReportsNamesThatCannotNameTheirFiles) {
    change(&TAppletData::pSliderName, "news/today");
    m_fileName = std::string(240, 'p') + ".vsk";
    EXPECT_EQ(check().problems,
              (Findings{"The slider name must not contain any of the characters < > : \" / \\ | ? * or control "
                        "characters, because it names the slider's style sheet file. Please choose another slider "
                        "name.",
                        "The project file name \"" + m_fileName + "\" is too long: its publish report \"" +
                            std::string(240, 'p') +
                            "_PublishReport.txt\" would exceed the 234 bytes a file name holds. Please choose a "
                            "shorter name."}));
    // Each file is written under a temporary name 21 bytes longer first, within the system's 255.
    change(&TAppletData::pSliderName, std::string(231, 's'));
    m_fileName = std::string(216, 'p') + ".vsk";
    EXPECT_EQ(check().problems,
              (Findings{"The slider name is too long: it names the slider's style sheet file, so without its blanks it "
                        "may hold at most 230 bytes (a letter outside the English alphabet takes two or more). Please "
                        "choose a shorter slider name."}));
    change(&TAppletData::pSliderName, std::string(230, 's') + " ");
    EXPECT_EQ(check().problems, Findings{}) << "the longest names that fit, once blanks are dropped";
}

namespace {

const std::string kUnsafeSliderName =
    "The slider name must not contain any of the characters < > : \" / \\ | ? * or control characters, because it "
    "names the slider's style sheet file. Please choose another slider name.";
const std::string kReservedSliderName =
    "The slider name without its blanks is a name Windows keeps for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 "
    "to LPT9), so it cannot name the slider's style sheet file. Please choose another slider name.";

std::string unportableProjectName(const std::string& fileName, const std::string& reason) {
    return "The project file name \"" + fileName + "\" cannot name its files on every system: " + reason +
           ". Please choose another name.";
}

struct NamesRow {
    const char* what;
    std::string sliderName;
    std::string fileName;
    Findings problems;
};

void PrintTo(const NamesRow& row, std::ostream* out) {
    *out << row.what;
}

class PortableNames : public PublishCheck, public testing::WithParamInterface<NamesRow> {
    void TestBody() override {}
};

} // namespace

// A project made on Linux must publish on Windows too: names Windows cannot give a file are problems
// everywhere, and names both systems take stay clean.
TEST_P(PortableNames, AreCheckedOnEverySystem) {
    change(&TAppletData::pSliderName, GetParam().sliderName);
    m_fileName = GetParam().fileName;
    EXPECT_EQ(check().problems, GetParam().problems);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PortableNames,
    testing::Values(
        NamesRow{"plain", "Slider1", "Show.vsk", {}},
        NamesRow{"beyond ASCII",
                 "Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC",
                 "Z\xC3\xB6"
                 "e.vsk",
                 {}},
        NamesRow{"dots and blanks at the end", "Slider. ", "Demo .vsk", {}},
        NamesRow{"two dots", "a.b", "Demo..vsk", {}}, NamesRow{"near the device names", "COM10", "LPT0.vsk", {}},
        NamesRow{"device name inside a longer one", "CONSOLE", "Connect.vsk", {}},
        NamesRow{"punctuation Windows takes", "Fish & 'Chips' #1", "a;b,c=[d]{e}%f.vsk", {}},
        NamesRow{"colon in the slider name", "News: today", "Show.vsk", {kUnsafeSliderName}},
        NamesRow{"quote in the slider name", "Big \"Show\"", "Show.vsk", {kUnsafeSliderName}},
        NamesRow{"question mark in the slider name", "Why?", "Show.vsk", {kUnsafeSliderName}},
        NamesRow{"pipe in the slider name", "a|b", "Show.vsk", {kUnsafeSliderName}},
        NamesRow{"angle brackets in the slider name", "<b>", "Show.vsk", {kUnsafeSliderName}},
        NamesRow{"star in the slider name", "All*", "Show.vsk", {kUnsafeSliderName}},
        NamesRow{"device slider name", "Con", "Show.vsk", {kReservedSliderName}},
        NamesRow{"device slider name with blanks", "L P T 9", "Show.vsk", {kReservedSliderName}},
        NamesRow{"colon in the project name",
                 "Slider1",
                 "a:b.vsk",
                 {unportableProjectName("a:b.vsk", "it must not contain any of the characters < > : \" / \\ | ? * "
                                                   "or control characters")}},
        NamesRow{"backslash in the project name",
                 "Slider1",
                 "a\\b.vsk",
                 {unportableProjectName("a\\b.vsk", "it must not contain any of the characters < > : \" / \\ | ? * "
                                                    "or control characters")}},
        NamesRow{"control character in the project name",
                 "Slider1",
                 "a\tb.vsk",
                 {unportableProjectName("a\tb.vsk", "it must not contain any of the characters < > : \" / \\ | ? * "
                                                    "or control characters")}},
        NamesRow{"device project name",
                 "Slider1",
                 "CON.vsk",
                 {unportableProjectName("CON.vsk", "Windows keeps its first part for a device")}},
        NamesRow{"device project name with a dot",
                 "Slider1",
                 "nul.old.vsk",
                 {unportableProjectName("nul.old.vsk", "Windows keeps its first part for a device")}},
        NamesRow{"device project name with a blank",
                 "Slider1",
                 "Aux .vsk",
                 {unportableProjectName("Aux .vsk", "Windows keeps its first part for a device")}},
        NamesRow{"both",
                 "com1",
                 "prn.vsk",
                 {kReservedSliderName, unportableProjectName("prn.vsk", "Windows keeps its first part for a device")}}),
    [](const testing::TestParamInfo<NamesRow>& row) {
        std::string name = row.param.what;
        std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return name;
    });

TEST_F(PublishCheck, ReportsPictureNamesThatAreNoBareFileNames) {
    addItem(picture("a.jpg"));
    addItem(m_folder / "gone.jpg");
    changeItem(0, &TItemData::IImageFile, "../../../../secret.txt");
    changeItem(1, &TItemData::IImageFile, "C:\\secret.txt");
    EXPECT_EQ(check().problems, Findings{});
    EXPECT_EQ(check().withoutPicture, (Findings{"Item 2 (gone.jpg): the source picture " + (m_folder / "gone.jpg") +
                                                " does not exist, so its slide shows no picture."}));
    EXPECT_EQ(check().advice,
              (Findings{"Item 1 (a.jpg): the picture name \"../../../../secret.txt\" is not a plain file name, so "
                        "publishing ignores it.",
                        "Item 2 (gone.jpg): the picture name \"C:\\secret.txt\" is not a plain file name, so "
                        "publishing ignores it."}));
}

namespace {

// Makes link lead to target: a symbolic link, or on Windows, where those need a privilege, a hard link.
void linkTo(const fs::path& target, const fs::path& link) {
#ifdef _WIN32
    fs::create_hard_link(target, link);
#else
    fs::create_symlink(target, link);
#endif
}

} // namespace

TEST_F(PublishCheck, ReportsPublishedFilesThatAreSourcePictures) {
    const std::string photo = site() + "slider1.jpg";
    fs::copy_file(picture("photo.jpg"), photo);
    addItem(photo);
    addItem(picture("b.jpg"));
    EXPECT_EQ(check().problems,
              (Findings{"Item 1 (slider1.jpg): publishing would overwrite its source picture " + photo +
                        " with the published file slider1.jpg. Please rename or move the picture, or publish into "
                        "another folder."}));

    // The same file under another name: a link in the folder, and a hard link the project names.
    fs::rename(photo, m_folder / "moved.jpg");
    m_project.SetItem(m_project.GetItem(1), 0);
    changeItem(0, &TItemData::IOriginalImagePath, m_folder / "moved.jpg");
    linkTo(m_folder / "moved.jpg", site() + "Show.html");
    fs::create_hard_link(m_folder / "b.jpg", site() + "jslib.js");
    const Findings problems = check().problems;
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("Item 1 (moved.jpg): publishing would overwrite its source picture " +
                               (m_folder / "moved.jpg") + " with the published file Show.html."),
              std::string::npos);
    EXPECT_NE(problems[1].find("Item 2 (b.jpg): publishing would overwrite its source picture " + (m_folder / "b.jpg") +
                               " with the published file jslib.js."),
              std::string::npos);
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

TEST_F(PublishCheck, ReportsItemsWhoseLinkIsEmptyBlankOrAScript) {
    addItem(picture("a.jpg", 640, 480), "A", "");
    addItem(picture("b.jpg", 640, 480), "B", "page.html");
    addItem(picture("c.jpg", 640, 480), "C", " \t ");
    addItem(picture("d.jpg", 640, 480), "D", "&#106;avascript:go()");
    EXPECT_EQ(findings(), (Findings{"Item 1 (a.jpg) has no link, so its picture leads nowhere when clicked.",
                                    "Item 3 (c.jpg) has no link, so its picture leads nowhere when clicked.",
                                    "Item 4 (d.jpg): the link runs a script (javascript:) when clicked; make sure it "
                                    "is one you wrote."}));
    EXPECT_EQ(check().problems, Findings{}) << "script links are published as typed";
}

TEST_F(PublishCheck, ReportsButtonColoursWithTooLittleContrast) {
    change(&TAppletData::navBtnBgColorHover, "555555");
    change(&TAppletData::navBtnTextColorActiveHover, "TRANSPARENT");
    change(&TAppletData::navBtnTextColorActive, "FFFF0");
    EXPECT_EQ(check().advice, (Findings{"The hover buttons show text 000000 on 555555 with a contrast of 2.8:1, below "
                                        "4.5:1; some visitors cannot read the numbers."}));
    EXPECT_EQ(check().problems, (Findings{"The text colour of the active button \"FFFF0\" is neither six hexadecimal "
                                          "digits nor \"transparent\"."}));
}

TEST(ContrastRatio, FollowsTheAccessibilityFormula) {
    EXPECT_NEAR(contrastRatio("000000", "FFFFFF"), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio("FFFFFF", "FFFFFF"), 1.0, 1e-9);
    EXPECT_NEAR(contrastRatio("777777", "FFFFFF"), 4.48, 0.01);
    EXPECT_NEAR(contrastRatio("000000", "767676"), 4.62, 0.01);
}

namespace {

// A project crafted on top of a clean one (two described pictures, the default parameters), and whether
// publishing must refuse it.
struct CraftedProject {
    const char* name;
    bool refused;
    void (*craft)(PublishCheck&);
};

void PrintTo(const CraftedProject& crafted, std::ostream* out) {
    *out << crafted.name;
}

class CheckAgreesWithPublish : public PublishCheck, public testing::WithParamInterface<CraftedProject> {
    void TestBody() override {}

public:
    // Returns the message publishing refuses with, or "(no error)".
    std::string publish() {
        Publisher publisher(m_places);
        veskaro::test::RecordingProgressView progress;
        return errorOf([&] { publisher.SaveAndPublish(m_project, site(), m_fileName, m_tree, progress); });
    }
};

const std::string kNothingSaved = " Nothing was saved.";

} // namespace

// Publishing refuses exactly what the check finds to stop it, and leaves the folder as it was; the check
// names the reason publishing gives.
TEST_P(CheckAgreesWithPublish, OnEveryRefusal) {
    addItem(picture("first.jpg"));
    addItem(picture("second.jpg"));
    GetParam().craft(*this);
    const Findings problems = check().problems;
    EXPECT_EQ(!problems.empty(), GetParam().refused) << ::testing::PrintToString(problems);
    const std::map<std::string, std::string> before = filesIn(site());

    const std::string refusal = publish();
    if (problems.empty()) {
        EXPECT_EQ(refusal, "(no error)");
        return;
    }
    ASSERT_NE(refusal, "(no error)") << "the check found: " << problems.front();
    const std::string reason =
        refusal.ends_with(kNothingSaved) ? refusal.substr(0, refusal.size() - kNothingSaved.size()) : refusal;
    EXPECT_TRUE(problems.front().ends_with(reason)) << problems.front() << "\n" << refusal;
    EXPECT_EQ(filesIn(site()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Projects, CheckAgreesWithPublish,
    testing::Values(
        CraftedProject{"clean", false, [](PublishCheck&) {}},
        CraftedProject{"slider name with a folder", true,
                       [](PublishCheck& subject) { subject.change(&TAppletData::pSliderName, "../up"); }},
        CraftedProject{"slider name too long", true,
                       [](PublishCheck& subject) { subject.change(&TAppletData::pSliderName, std::string(300, 'x')); }},
        CraftedProject{"longest slider name", false,
                       [](PublishCheck& subject) { subject.change(&TAppletData::pSliderName, std::string(230, 'x')); }},
        CraftedProject{"slider name too long for the temporary file", true,
                       [](PublishCheck& subject) { subject.change(&TAppletData::pSliderName, std::string(231, 'x')); }},
        CraftedProject{"slider name Windows keeps for a device", true,
                       [](PublishCheck& subject) { subject.change(&TAppletData::pSliderName, "NUL"); }},
        CraftedProject{"project name with a colon", true,
                       [](PublishCheck& subject) { subject.m_fileName = "a:b.vsk"; }},
        CraftedProject{"longest project name", false,
                       [](PublishCheck& subject) { subject.m_fileName = std::string(216, 'p') + ".vsk"; }},
        CraftedProject{"project name too long", true,
                       [](PublishCheck& subject) { subject.m_fileName = std::string(250, 'p') + ".vsk"; }},
        CraftedProject{
            "width rewriting the style sheet", true,
            [](PublishCheck& subject) { subject.change(&TAppletData::sliderWidth, "abc;}body{display:none"); }},
        CraftedProject{"colour rewriting the style sheet", true,
                       [](PublishCheck& subject) {
                           subject.change(&TAppletData::navBtnBgColorNormal, "000000;}*{display:none}");
                       }},
        CraftedProject{"timing outside its range", true,
                       [](PublishCheck& subject) { subject.change(&TAppletData::switchImageDelay, "10000"); }},
        CraftedProject{"timing with a leading zero", false,
                       [](PublishCheck& subject) { subject.change(&TAppletData::transDurAuto, "010"); }},
        CraftedProject{"separator in a description", true,
                       [](PublishCheck& subject) { subject.changeItem(1, &TItemData::IToolTip, "a#$@b"); }},
        CraftedProject{"separator made by the root switch", true,
                       [](PublishCheck& subject) {
                           subject.changeItem(0, &TItemData::ILink, "a#$/local/x.html");
                           subject.change(&TAppletData::InternalUse_RootDir_Local, "/local/");
                           subject.change(&TAppletData::InternalUse_RootDir_Remote, "@/web/");
                           subject.change(&TAppletData::InternalUse_RootDir_Local_Checked, "0");
                       }},
        CraftedProject{"separator in reserved, which is written empty", false,
                       [](PublishCheck& subject) { subject.change(&TAppletData::reserved, "#$@"); }},
        CraftedProject{"separator in a size that is recomputed", false,
                       [](PublishCheck& subject) { subject.changeItem(0, &TItemData::IImageWidth, "#$@"); }},
        CraftedProject{
            "picture name outside the folder", false,
            [](PublishCheck& subject) { subject.changeItem(0, &TItemData::IImageFile, "../../../../secret.txt"); }},
        CraftedProject{"source picture named like a published one", true,
                       [](PublishCheck& subject) {
                           fs::copy_file(subject.m_folder / "first.jpg", subject.site() + "slider1.jpg");
                           subject.changeItem(0, &TItemData::IOriginalImagePath, subject.site() + "slider1.jpg");
                       }},
        CraftedProject{
            "published file linked to a source picture", true,
            [](PublishCheck& subject) { linkTo(subject.m_folder / "second.jpg", subject.site() + "slider0.jpg"); }},
        CraftedProject{
            "source picture that is no JPEG", true,
            [](PublishCheck& subject) { writeBytes(subject.m_folder / "second.jpg", "\xff\xd8\xff not really"); }},
        CraftedProject{"source picture of an unknown kind", true,
                       [](PublishCheck& subject) {
                           fs::rename(subject.m_folder / "second.jpg", subject.m_folder / "second.png");
                           subject.changeItem(1, &TItemData::IOriginalImagePath, subject.m_folder / "second.png");
                       }},
        CraftedProject{"missing source picture", false,
                       [](PublishCheck& subject) { fs::remove(subject.m_folder / "second.jpg"); }},
        CraftedProject{"missing slider script", true,
                       [](PublishCheck& subject) { fs::remove(subject.m_folder / "jslib.js"); }}));

// The link list offers "javascript:" on purpose, so such links are published as typed; the check only
// points them out, however the scheme is spelt.
TEST(ScriptScheme, FindsScriptLinksAsBrowsersReadThem) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"javascript:alert(1)", "javascript:"},
        {"  JavaScript:void(0)", "javascript:"},
        {"&#106;avascript:x", "javascript:"},
        {"&#x6A;&#X61;vascript&colon;x", "javascript:"},
        {"&#0000106avascript:x", "javascript:"},
        {"java\tscr\nipt:x", "javascript:"},
        {"\x01\x1f javascript:x", "javascript:"},
        {"data:text/html,<script>", "data:"},
        {"VBScript:msgbox", "vbscript:"},
        {"https://www.example.com/javascript:", ""},
        {"page.html#javascript:", ""},
        {"&#106", ""},
        {"mailto://a@example.com", ""},
    };
    for (const auto& [link, scheme] : cases)
        EXPECT_EQ(scriptScheme(link), scheme) << link;
}
