#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "model/PlainItemTree.h"
#include "model/ProjectFile.h"
#include "model/ProjectOptions.h"
#include "model/TkvlAppletAgent.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::readBytes;
using veskaro::test::RecordingProgressView;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;

namespace {

const std::string kHeader = "<Warning_Info>\r\n"
                            "Note: This file was created and maintained by Veskaro 1.0.\r\n"
                            "Do not modify it or script project may not be opened again!\r\n"
                            "</Warning_Info>\r\n"
                            "<Product_Name>\r\n"
                            "Veskaro\r\n"
                            "</Product_Name>\r\n"
                            "<Product_Version>\r\n"
                            "1.0\r\n"
                            "</Product_Version>\r\n";

const std::string kDefaultScriptLine = "Slider1#$@640#$@480#$@-26#$@000000#$@FFFFFF#$@000000#$@C0C0C0#$@FFFF00#$@"
                                       "000000#$@FFFF00#$@000000#$@#$@1000#$@500#$@2000#$@1#$@#$@#$@#$@1#$@";

std::string projectText(const std::vector<std::string>& itemLines, const std::string& scriptLine = kDefaultScriptLine) {
    std::string text =
        kHeader + "<Applet_Parameters>\r\n" + scriptLine + "\r\n</Applet_Parameters>\r\n<Item_Parameters>\r\n";
    for (const auto& line : itemLines)
        text += line + "\r\n";
    return text + "</Item_Parameters>\r\n";
}

std::string itemLine(const std::string& path, const std::string& level) {
    return "#$@" + path + "#$@#$@_self#$@#$@160#$@120#$@" + level + "#$@#$@";
}

TItemData item(const std::string& path, const std::string& level) {
    TItemData data = TkvlAppletAgent::DefaultItem();
    data.IOriginalImagePath = path;
    data.ILevel = level;
    return data;
}

// A project as the designer holds it before a save: defaults, with the reserved value taken away.
TkvlAppletAgent designerProject() {
    TkvlAppletAgent project;
    project.SetDefaults();
    TAppletData data = project.GetAppletData();
    data.reserved.clear();
    project.SetAppletData(data);
    return project;
}

// Each node as "level:caption", in tree order, below the root.
std::vector<std::string> shape(const PlainItemTree& tree) {
    std::vector<std::string> nodes;
    for (int p = 1; p < tree.nodeCount(); ++p)
        nodes.push_back(std::to_string(tree.levelAt(p)) + ":" + tree.captionAt(p));
    return nodes;
}

using Lines = std::vector<std::string>;

class ProjectFile : public testing::Test {
protected:
    LoadOutcome load(const std::string& text) {
        writeBytes(m_folder / "project.vsk", text);
        return m_project.LoadFromFile(m_folder / "project.vsk", m_tree, m_progress);
    }

    // Loads text expecting it to be refused with a message containing needle, and checks nothing changed.
    void expectRefused(const std::string& text, const std::string& needle) {
        writeBytes(m_folder / "project.vsk", text);
        expectFileRefused(m_folder / "project.vsk", needle);
    }

    void expectFileRefused(const std::string& path, const std::string& needle) {
        m_project.SetDefaults();
        m_project.InsertItem(0, item("keep.jpg", "0"));
        const TAppletData before = m_project.GetAppletData();
        try {
            m_project.LoadFromFile(path, m_tree, m_progress);
            ADD_FAILURE() << "no error for a file that should be refused";
        } catch (const VeskaroError& error) {
            EXPECT_NE(std::string(error.what()).find(needle), std::string::npos) << error.what();
        }
        EXPECT_EQ(m_project.GetAppletData(), before);
        ASSERT_EQ(m_project.itemCount(), 1);
        EXPECT_EQ(m_project.GetItem(0).IOriginalImagePath, "keep.jpg");
        EXPECT_EQ(m_project.productVersion(), "");
        EXPECT_EQ(m_tree.nodeCount(), 1);
    }

    TemporaryFolder m_folder;
    TkvlAppletAgent m_project;
    PlainItemTree m_tree;
    RecordingProgressView m_progress;
};

} // namespace

TEST(GetFieldN, ReturnsTheNthTerminatedValue) {
    EXPECT_EQ(GetFieldN("a#$@b#$@c#$@", 1, "#$@"), "a");
    EXPECT_EQ(GetFieldN("a#$@b#$@c#$@", 3, "#$@"), "c");
    EXPECT_EQ(GetFieldN("a#$@#$@c#$@", 2, "#$@"), "");
    EXPECT_EQ(GetFieldN("a#$@b#$@c", 3, "#$@"), "") << "a text after the last separator is never a value";
    EXPECT_EQ(GetFieldN("a#$@b#$@", 5, "#$@"), "");
    EXPECT_EQ(GetFieldN("a#$@", 0, "#$@"), "");
    EXPECT_EQ(GetFieldN("a#$@", -2, "#$@"), "");
}

TEST_F(ProjectFile, WritesTheDocumentedFileByteForByte) {
    TkvlAppletAgent project = designerProject();
    TItemData beach = TkvlAppletAgent::DefaultItem();
    beach.IImageFile = "slider0.jpg";
    beach.IOriginalImagePath = "D:\\Pictures\\beach.jpg";
    beach.ILink = "page2.html";
    beach.IToolTip = "Beach at dawn";
    beach.IImageWidth = "640";
    beach.IImageHeight = "427";
    beach.ILevel = "0";
    project.InsertItem(0, beach);
    project.SaveToFile(m_folder / "out.vsk", m_progress);
    EXPECT_EQ(readBytes(m_folder / "out.vsk"), readBytes(veskaro::test::testData("project/default-one-item.vsk")));
}

TEST_F(ProjectFile, ReportsSaveProgressInSteps) {
    TkvlAppletAgent project = designerProject();
    project.InsertItem(0, item("a.jpg", "0"));
    project.SaveToFile(m_folder / "out.vsk", m_progress);
    Lines expected{"maximum 24", "hint Saving Data ... ...", "busy", "step 10", "step 5"};
    expected.insert(expected.end(), 9, "step 1");
    expected.insert(expected.end(), {"position 0", "hint ", "idle"});
    EXPECT_EQ(m_progress.calls, expected);
}

TEST_F(ProjectFile, ProjectWithoutItemsRoundTrips) {
    designerProject().SaveToFile(m_folder / "empty.vsk", m_progress);
    EXPECT_EQ(readBytes(m_folder / "empty.vsk"), projectText({}));
    m_project.InsertItem(0, item("old.jpg", "0"));
    ASSERT_EQ(m_project.LoadFromFile(m_folder / "empty.vsk", m_tree, m_progress), LoadOutcome::Loaded);
    EXPECT_EQ(m_project.itemCount(), 0);
    EXPECT_EQ(m_tree.nodeCount(), 1);
    EXPECT_EQ(m_project.productVersion(), "1.0");
}

TEST_F(ProjectFile, RoundTripKeepsEveryValueAndTheTreeShape) {
    TkvlAppletAgent saved = designerProject();
    TAppletData data = saved.GetAppletData();
    data.pSliderName = "Holiday Show";
    data.InternalUse_RootDir_Local = "C:\\Site";
    data.InternalUse_RootDir_Remote = "https://www.example.com/";
    data.InternalUse_RootDir_Local_Checked = "0";
    saved.SetAppletData(data);
    TItemData first = item("/home/me/Pictures/one.jpg", "0");
    first.ILink = "https://www.example.com/one.html?a=1&b=2";
    first.ITarget = "_blank";
    first.IToolTip = "First — with ünïcödé bytes";
    saved.InsertItem(0, first);
    saved.InsertItem(1, item("C:\\Pictures\\two.gif", "1"));
    saved.InsertItem(2, item("", "0"));
    saved.SaveToFile(m_folder / "show.vsk", m_progress);

    ASSERT_EQ(m_project.LoadFromFile(m_folder / "show.vsk", m_tree, m_progress), LoadOutcome::Loaded);
    EXPECT_EQ(m_project.GetAppletData(), saved.GetAppletData());
    EXPECT_EQ(m_project.items(), saved.items());
    EXPECT_EQ(shape(m_tree), (Lines{"1:one.jpg", "2:two.gif", "1:"}));
}

TEST_F(ProjectFile, ReportsLoadProgressAndRestoresTheView) {
    ASSERT_EQ(load(projectText({itemLine("a.jpg", "0")})), LoadOutcome::Loaded);
    EXPECT_EQ(m_progress.calls, (Lines{"hint Loading Data ... ...", "busy", "position 0", "hint ", "idle"}));
}

TEST_F(ProjectFile, AcceptsTheEarlierProductNameAndRefusesOthers) {
    std::string text = projectText({itemLine("a.jpg", "0")});
    text.replace(text.find("Veskaro\r\n</Product_Name>"), 7, "Morrigale");
    EXPECT_EQ(load(text), LoadOutcome::Loaded);
    EXPECT_EQ(m_project.itemCount(), 1);

    m_project.SetDefaults();
    PlainItemTree untouched;
    text.replace(text.find("Morrigale"), 9, "veskaro");
    writeBytes(m_folder / "foreign.vsk", text);
    EXPECT_EQ(m_project.LoadFromFile(m_folder / "foreign.vsk", untouched, m_progress), LoadOutcome::NotOurs);
    EXPECT_EQ(m_project.itemCount(), 0);
    EXPECT_EQ(m_project.GetAppletData().pSliderName, "Slider1");
    EXPECT_EQ(untouched.nodeCount(), 1);
    EXPECT_EQ(std::string(kForeignProjectMessage), "This file wasn't saved by Veskaro 1.0, open failed!");
}

TEST_F(ProjectFile, RefusesIncompleteFilesAndChangesNothing) {
    const std::string complete = projectText({itemLine("a.jpg", "0"), itemLine("b.jpg", "0")});
    for (const std::string& text :
         {kHeader.substr(0, kHeader.find("</Product_Name>")), complete.substr(0, complete.find("<Item_Parameters>")),
          complete.substr(0, complete.find("</Item_Parameters>"))}) {
        SCOPED_TRACE(text);
        expectRefused(text, "is incomplete");
    }
}

TEST_F(ProjectFile, CallsFilesWithoutAProductTagNoProjectFiles) {
    for (const std::string& text : {std::string{}, std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\xFF\xD9", 14),
                                    std::string("Shopping list\r\n<Product_Version>\r\nmilk\r\n")}) {
        SCOPED_TRACE(text);
        expectRefused(text, "project.vsk is not a Veskaro project file. Nothing was loaded.");
    }
}

// Files of nothing but line ends, read one line at a time: as a list, every empty line took 32 bytes.
TEST_F(ProjectFile, CallsManyEmptyLinesNoProjectFile) {
    for (const std::string& line : {std::string("\n"), std::string("\r\n"), std::string("x\n")}) {
        SCOPED_TRACE(line);
        std::string text;
        for (int i = 0; i < 1 << 18; ++i)
            text += line;
        expectRefused(text, "project.vsk is not a Veskaro project file. Nothing was loaded.");
    }
}

TEST_F(ProjectFile, RefusesUnreadableLevelsAndChangesNothing) {
    expectRefused(projectText({itemLine("a.jpg", "0"), itemLine("b.jpg", "")}),
                  "Item 2 of the project file has an unreadable level: '' is not a valid integer value");
    expectRefused(projectText({itemLine("a.jpg", "one")}), "'one' is not a valid integer value");
}

TEST_F(ProjectFile, IgnoresLinesOutsideTheTags) {
    const std::string text = "stray line\r\n" + kHeader.substr(0, kHeader.find("<Product_Version>")) +
                             "between tags\r\n<Product_Version>\r\n2.5\r\nafter version\r\n<Applet_Parameters>\r\n" +
                             kDefaultScriptLine + "\r\nbetween again\r\n<Item_Parameters>\r\n" +
                             itemLine("a.jpg", "0") + "\r\n</Item_Parameters>\r\ntrailing line\r\n";
    ASSERT_EQ(load(text), LoadOutcome::Loaded);
    EXPECT_EQ(m_project.productVersion(), "2.5");
    EXPECT_EQ(m_project.GetAppletData().sliderWidth, "640");
    EXPECT_EQ(shape(m_tree), Lines{"1:a.jpg"});
}

TEST_F(ProjectFile, ShortLongAndUnterminatedLinesReadPositionally) {
    std::string script = kDefaultScriptLine;
    script.resize(script.size() - 3); // the last value loses its separator
    const std::string shortLine = "x.jpg#$@D:\\short.jpg#$@link#$@_top#$@tip#$@1#$@2#$@0#$@stray";
    const std::string longLine = itemLine("long.jpg", "0") + "surplus#$@more#$@";
    ASSERT_EQ(load(projectText({shortLine, longLine}, script)), LoadOutcome::Loaded);
    EXPECT_EQ(m_project.GetAppletData().InternalUse_RootDir_Local_Checked, "");
    EXPECT_EQ(m_project.GetAppletData().InternalUse_RootDir_Remote, "");
    EXPECT_EQ(TkvlAppletAgent::ItemToStrings(m_project.GetItem(0)),
              (Lines{"x.jpg", "D:\\short.jpg", "link", "_top", "tip", "1", "2", "0", ""}));
    EXPECT_EQ(TkvlAppletAgent::ItemToStrings(m_project.GetItem(1)),
              (Lines{"", "long.jpg", "", "_self", "", "160", "120", "0", ""}));
}

TEST_F(ProjectFile, AcceptsLoneLineFeedsAndDropsStrayCarriageReturns) {
    std::string text = projectText({itemLine("a\rb.jpg", "0")});
    std::string lf;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lf += text[i];
    ASSERT_EQ(load(lf), LoadOutcome::Loaded);
    EXPECT_EQ(m_project.GetItem(0).IOriginalImagePath, "ab.jpg");
    EXPECT_EQ(m_project.GetAppletData().pSliderName, "Slider1");
}

TEST_F(ProjectFile, ValuesHaveNoLengthLimit) {
    const std::string longLink(3'000'000, 'x');
    TkvlAppletAgent saved = designerProject();
    TItemData longItem = item("big.jpg", "0");
    longItem.ILink = longLink;
    saved.InsertItem(0, longItem);
    saved.SaveToFile(m_folder / "long.vsk", m_progress);
    ASSERT_EQ(m_project.LoadFromFile(m_folder / "long.vsk", m_tree, m_progress), LoadOutcome::Loaded);
    EXPECT_EQ(m_project.GetItem(0).ILink, longLink);
}

TEST_F(ProjectFile, RefusesFilesBeyondTheSizeLimitBeforeReadingThem) {
    const std::string tooLarge = " is larger than 64 MiB, which no slider project comes near. Nothing was loaded.";
    for (const std::uintmax_t size : {kProjectFileSizeLimit + 1, std::uintmax_t{3'000'000'000}}) {
        const std::string sparse = m_folder / ("sparse" + std::to_string(size) + ".vsk");
        writeBytes(sparse, projectText({itemLine("a.jpg", "0")}));
        std::filesystem::resize_file(sparse, size);
        expectFileRefused(sparse, "The project file " + sparse + tooLarge);
    }
    // A device or a folder has no size to check, and a device may never end. (Windows has no /dev/zero;
    // under Wine the name even reaches the build machine's endless one.)
#ifdef _WIN32
    for (const std::string& other : {m_folder / ""})
#else
    for (const std::string& other : {std::string("/dev/zero"), m_folder / ""})
#endif
        expectFileRefused(other, "The project file " + other + " is not a regular file. Nothing was loaded.");
}

TEST_F(ProjectFile, ReadsAWindows1252FileAsUtf8AndSavesItAsUtf8) {
    // The older program wrote the system's code page: "é" as 0xE9, "€" as 0x80, "ü" as 0xFC.
    std::string script = kDefaultScriptLine;
    script.replace(0, 7,
                   "Gr\xFC\xDF"
                   "e");
    const std::string older = "#$@D:\\Bilder\\caf\xE9.jpg#$@#$@_self#$@Caf\xE9 \x80 5#$@160#$@120#$@0#$@#$@";
    ASSERT_EQ(load(projectText({older}, script)), LoadOutcome::Loaded);
    EXPECT_EQ(m_project.GetAppletData().pSliderName, "Gr\xC3\xBC\xC3\x9F"
                                                     "e");
    EXPECT_EQ(m_project.GetItem(0).IOriginalImagePath, "D:\\Bilder\\caf\xC3\xA9.jpg");
    EXPECT_EQ(m_project.GetItem(0).IToolTip, "Caf\xC3\xA9 \xE2\x82\xAC 5");
    EXPECT_EQ(shape(m_tree), Lines{"1:caf\xC3\xA9.jpg"});

    m_project.SaveToFile(m_folder / "saved.vsk", m_progress);
    const std::string saved = readBytes(m_folder / "saved.vsk");
    EXPECT_NE(saved.find("#$@Caf\xC3\xA9 \xE2\x82\xAC 5#$@"), std::string::npos);
}

TEST_F(ProjectFile, BuildsTheTreeFromLevels) {
    ASSERT_EQ(load(projectText({itemLine("D:\\Pictures\\beach.jpg", "0"), itemLine("b.jpg", "1"),
                                itemLine("c.jpg", "1"), itemLine("", "0")})),
              LoadOutcome::Loaded);
    EXPECT_EQ(shape(m_tree), (Lines{"1:beach.jpg", "2:b.jpg", "2:c.jpg", "1:"}));
    EXPECT_EQ(m_tree.parentOf(2), 1);
    EXPECT_EQ(m_tree.parentOf(3), 1);
    EXPECT_EQ(m_tree.parentOf(4), 0);
}

TEST_F(ProjectFile, ClimbsBackToTheRightAncestor) {
    ASSERT_EQ(load(projectText({itemLine("a", "0"), itemLine("b", "1"), itemLine("c", "2"), itemLine("d", "2"),
                                itemLine("e", "1"), itemLine("f", "0")})),
              LoadOutcome::Loaded);
    EXPECT_EQ(shape(m_tree), (Lines{"1:a", "2:b", "3:c", "3:d", "2:e", "1:f"}));
    EXPECT_EQ(m_tree.parentOf(4), 2);
    EXPECT_EQ(m_tree.parentOf(5), 1);
}

TEST_F(ProjectFile, MendsLevelsTheDesignerNeverWritesSoListAndTreeAgree) {
    ASSERT_EQ(load(projectText({itemLine("a", "2"), itemLine("b", "3"), itemLine("c", "-1")})), LoadOutcome::Loaded);
    EXPECT_EQ(shape(m_tree), (Lines{"1:a", "2:b", "1:c"}));
    EXPECT_EQ(m_project.GetItem(0).ILevel, "0");
    EXPECT_EQ(m_project.GetItem(1).ILevel, "1");
    EXPECT_EQ(m_project.GetItem(2).ILevel, "0");
    EXPECT_EQ(m_tree.nodeCount(), m_project.itemCount() + 1);
}

TEST_F(ProjectFile, RefusesValuesTheFileCannotHoldBeforeWritingAnything) {
    const std::string earlier = projectText({});
    writeBytes(m_folder / "show.vsk", earlier);
    struct Case {
        void (*spoil)(TkvlAppletAgent&);
        const char* message;
    };
    const Case cases[] = {
        {[](TkvlAppletAgent& p) {
             TItemData i = p.GetItem(1);
             i.IToolTip = "a#$@b";
             p.SetItem(i, 1);
         },
         "The value \"IToolTip\" of item 2 contains \"#$@\", which a project file cannot hold. Nothing was saved."},
        {[](TkvlAppletAgent& p) {
             TItemData i = p.GetItem(0);
             i.ILink = "line\nbreak";
             p.SetItem(i, 0);
         },
         "The value \"ILink\" of item 1 contains a line break, which a project file cannot hold. Nothing was saved."},
        {[](TkvlAppletAgent& p) {
             TAppletData d = p.GetAppletData();
             d.pSliderName = "cr\rhere";
             p.SetAppletData(d);
         },
         "The value \"pSliderName\" of the slider settings contains a line break, which a project file cannot hold. "
         "Nothing was saved."},
    };
    for (const Case& c : cases) {
        TkvlAppletAgent project = designerProject();
        project.InsertItem(0, item("a.jpg", "0"));
        project.InsertItem(1, item("b.jpg", "0"));
        c.spoil(project);
        RecordingProgressView progress;
        try {
            project.SaveToFile(m_folder / "show.vsk", progress);
            ADD_FAILURE() << "saved a value the file cannot hold";
        } catch (const VeskaroError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
        EXPECT_TRUE(progress.calls.empty());
        EXPECT_EQ(readBytes(m_folder / "show.vsk"), earlier);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.path()), {}), 1);
}

TEST_F(ProjectFile, FailedSaveRaisesTheIoErrorAndRestoresTheView) {
    writeBytes(m_folder / "file", "not a folder");
    try {
        designerProject().SaveToFile(m_folder / "file/show.vsk", m_progress);
        ADD_FAILURE() << "saved into a path below a file";
    } catch (const VeskaroError& error) {
        EXPECT_EQ(std::string(error.what()), veskaro::test::kFileOnTheWay + (m_folder / "file/show.vsk"));
    }
    EXPECT_EQ(m_progress.calls.back(), "idle");
}

// The options beyond the script parameters live in one block after the items, which older readers never
// reach: only values other than their defaults are written, sorted by name; lines this version does not
// understand go back out as they came.
TEST_F(ProjectFile, OptionsBlockHoldsWhatDiffersAndKeepsWhatItDoesNotKnow) {
    const std::string items = projectText({itemLine("a.jpg", "0")});
    struct Case {
        const char* name;
        std::string file;              // what is read
        std::vector<std::string> kept; // the block's lines written back
        const char* webp;              // the value of Pictures.WebP once read
    };
    const std::vector<Case> cases{
        {"no block", items, {}, "0"},
        {"known and unknown options",
         items + "<Veskaro_Options>\r\nUpload.Host=www.example.com\r\nPictures.WebP=1\r\nZeta.Newer=x=y\r\n"
                 "Pictures.LazyLoad=0\r\n</Veskaro_Options>\r\n",
         {"Pictures.WebP=1", "Upload.Host=www.example.com", "Zeta.Newer=x=y"},
         "1"},
        {"block behind other lines, malformed lines kept",
         items + "written by hand\r\n<Veskaro_Options>\r\nno equals sign\r\nPictures.WebP=1\r\nPictures.WebP=0\r\n"
                 "=empty name\r\n</Veskaro_Options>\r\n",
         {"Pictures.WebP=1", "no equals sign", "Pictures.WebP=0", "=empty name"},
         "1"},
        {"block cut short", items + "<Veskaro_Options>\r\nUpload.User=zoë\r\n", {"Upload.User=zoë"}, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_tree = PlainItemTree();
        ASSERT_EQ(load(c.file), LoadOutcome::Loaded);
        EXPECT_EQ(m_project.options().value("Pictures.WebP"), c.webp);
        EXPECT_EQ(m_project.options().fileLines(), c.kept);
        m_project.SaveToFile(m_folder / "again.vsk", m_progress);
        std::string expected = items;
        if (!c.kept.empty()) {
            expected += "<Veskaro_Options>\r\n";
            for (const std::string& line : c.kept)
                expected += line + "\r\n";
            expected += "</Veskaro_Options>\r\n";
        }
        EXPECT_EQ(readBytes(m_folder / "again.vsk"), expected);
    }
}

TEST(ProjectOptions, DefaultsAreNotStoredAndUnknownNamesAreRefused) {
    ProjectOptions options;
    EXPECT_EQ(options.value("Pictures.JpegQuality"), "90");
    options.set("Pictures.JpegQuality", "80");
    options.set("Upload.Protocol", "sftp");
    EXPECT_EQ(options.fileLines(), (Lines{"Pictures.JpegQuality=80", "Upload.Protocol=sftp"}));
    options.set("Pictures.JpegQuality", "90");
    EXPECT_EQ(options.fileLines(), Lines{"Upload.Protocol=sftp"});
    EXPECT_THROW(options.set("Upload.Password", "secret"), std::logic_error);
    EXPECT_THROW(options.value("Nothing.Known"), std::logic_error);
}
