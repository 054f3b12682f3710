#include "PictureTesting.h"
#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "generate/Publisher.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PaletteQuantizer.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"
#include "platform/ProgramFile.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::errorOf;
using veskaro::test::namesIn;
using veskaro::test::readBytes;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;
using Names = std::set<std::string>;

namespace {

class SaveAndPublish : public testing::Test {
protected:
    void SetUp() override {
        m_project.SetDefaults();
        fs::create_directories(m_folders.root().path() / "site");
        fs::create_directories(m_folders.root().path() / "pictures");
    }

    std::string picture(const std::string& name) {
        RgbImage image(120, 80, 90);
        const std::string path = m_folders.root() / ("pictures/" + name);
        writeBytes(path, name.ends_with(".gif") ? encodeGif(quantizeForGif(image, {0, 0, 120, 80}), name)
                                                : encodeJpeg(image, 90, name));
        return path;
    }

    void addItem(const std::string& path, const std::string& toolTip = "A picture") {
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = path;
        item.IToolTip = toolTip;
        item.ILevel = "0";
        m_project.InsertItem(m_project.itemCount(), item);
        m_tree.addChild(0, "Image");
    }

    bool publish(const std::string& name) {
        return m_publisher.SaveAndPublish(m_project, site(), name, m_tree, m_progress);
    }

    void change(std::string TAppletData::*field, const std::string& value) {
        TAppletData data = m_project.GetAppletData();
        data.*field = value;
        m_project.SetAppletData(data);
    }

    std::string site() const { return m_folders.root() / "site/"; }

    veskaro::test::PerUserFolders m_folders;
    const Places m_places = m_folders.places();
    Publisher m_publisher{m_places};
    TkvlAppletAgent m_project;
    PlainItemTree m_tree;
    veskaro::test::RecordingProgressView m_progress;
};

} // namespace

TEST_F(SaveAndPublish, WritesExactlyThePublishableSet) {
    addItem(picture("beach.jpg"));
    addItem(picture("dunes.gif"));
    EXPECT_TRUE(publish("Demo.vsk"));

    EXPECT_EQ(namesIn(site()), (Names{"Demo.html", "jslib.js", "slidervsk.js", "Slider1.css", "Demo.vsk",
                                      "Demo_PublishReport.txt", "slider0.jpg", "slider1.gif"}));
    EXPECT_EQ(readBytes(site() + "jslib.js"), readBytes(m_places.dataFolder() + "jslib.js"));
    EXPECT_EQ(namesIn(m_places.GetPreviewFolder()), (Names{"slider0.jpg", "slider1.gif"}));
    EXPECT_EQ(m_publisher.previewFolder().previewFiles(), (TStringArray{"slider0.jpg", "slider1.gif"}));
    EXPECT_EQ(namesIn(m_places.GetStagingFolder()), Names{"Slider1.css"}) << "the generated style sheet stays staged";
    EXPECT_TRUE(fs::is_empty(m_places.GetTempFolder()));

    const std::string report = readBytes(site() + "Demo_PublishReport.txt");
    EXPECT_NE(report.find("[Script/Flash file(s)]:\r\n  jslib.js\r\n  slidervsk.js\r\n  Slider1.css\r\n\r\n"
                          "[Image and/or Sound File(s)]: They should be copied along with script files!\r\n"
                          "  slider0.jpg\r\n  slider1.gif\r\n\r\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(m_progress.calls.back(), "idle");

    TkvlAppletAgent reread;
    PlainItemTree tree;
    ASSERT_EQ(reread.LoadFromFile(site() + "Demo.vsk", tree, m_progress), LoadOutcome::Loaded);
    EXPECT_EQ(reread.GetItem(1).IImageFile, "slider1.gif");
    EXPECT_EQ(reread.GetItem(1).IImageWidth, "640") << "120 x 80 is enlarged to the slider width";
    EXPECT_EQ(m_project.GetAppletData().reserved, "");
    EXPECT_EQ(reread.GetAppletData().reserved, "") << "files the program writes carry reserved empty";
}

TEST_F(SaveAndPublish, ProjectFileIsAlwaysVsk) {
    for (const char* name : {"Demo", "Demo.txt", "Demo.vsk"}) {
        fs::remove_all(site());
        fs::create_directories(site());
        publish(name);
        EXPECT_EQ(namesIn(site()),
                  (Names{"Demo.html", "jslib.js", "slidervsk.js", "Slider1.css", "Demo.vsk", "Demo_PublishReport.txt"}))
            << name;
    }
    publish("a.b.vsk");
    EXPECT_TRUE(fs::exists(site() + "a.b.vsk"));
    EXPECT_TRUE(fs::exists(site() + "a.b.html"));
}

TEST_F(SaveAndPublish, MissingSourceIsNeitherCopiedNorListed) {
    addItem(m_folders.root() / "pictures/never-there.jpg");
    addItem(picture("real.jpg"));
    publish("Show.vsk");
    EXPECT_FALSE(fs::exists(site() + "slider0.jpg"));
    EXPECT_TRUE(fs::exists(site() + "slider1.jpg"));
    const std::string report = readBytes(site() + "Show_PublishReport.txt");
    EXPECT_EQ(report.find("slider0.jpg"), std::string::npos);
    EXPECT_NE(report.find("  slider1.jpg\r\n"), std::string::npos);
}

TEST_F(SaveAndPublish, FailureLeavesTheEarlierProjectFileAndWritesNoNewOne) {
    writeBytes(site() + "Show.vsk", "earlier project");
    writeBytes(site() + "Show.html", "earlier page");
    addItem(picture("good.jpg"));
    const std::string broken = m_folders.root() / "pictures/broken.jpg";
    writeBytes(broken, readBytes(picture("whole.jpg")).substr(0, 200));
    addItem(broken);
    const std::string message = errorOf([&] { publish("Show.vsk"); });
    EXPECT_EQ(message.rfind("JPEG error #", 0), 0u) << message;
    EXPECT_EQ(readBytes(site() + "Show.vsk"), "earlier project");
    EXPECT_EQ(readBytes(site() + "Show.html"), "earlier page");
    EXPECT_EQ(namesIn(site()), (Names{"Show.vsk", "Show.html"}));
    EXPECT_EQ(m_progress.calls.back(), "idle");
}

TEST_F(SaveAndPublish, ValueTheFileCannotHoldStopsBeforeTheFolderChanges) {
    addItem(picture("good.jpg"), "two#$@parts");
    EXPECT_EQ(
        errorOf([&] { publish("Show.vsk"); }),
        "The value \"IToolTip\" of item 1 contains \"#$@\", which a project file cannot hold. Nothing was saved.");
    EXPECT_TRUE(fs::is_empty(site()));
}

TEST_F(SaveAndPublish, UnwritableFolderNamesTheFile) {
    const std::string missing = m_folders.root() / "no such folder/";
    const std::string message =
        errorOf([&] { m_publisher.SaveAndPublish(m_project, missing, "Show.vsk", m_tree, m_progress); });
    EXPECT_EQ(message, "File not found: " + missing + "Show.html");
}

// Preview + "../../../../secret.txt" lies in the user's data folder, and the same four levels above the
// published folder lie outside it: a crafted picture name must reach neither.
TEST_F(SaveAndPublish, APictureNameOutsideTheFolderIsNeitherReadNorWrittenNorListed) {
    const fs::path deep = m_folders.root().path() / "w/x/y/z/site/";
    fs::create_directories(deep);
    writeBytes(fs::path(m_places.GetPreviewFolder()) / "../../../../secret.txt", "the user's secret");
    addItem(m_folders.root() / "pictures/never-there.jpg");
    TItemData crafted = m_project.GetItem(0);
    crafted.IImageFile = "../../../../secret.txt";
    m_project.SetItem(crafted, 0);

    m_publisher.SaveAndPublish(m_project, deep.string(), "Show.vsk", m_tree, m_progress);
    EXPECT_FALSE(fs::exists(m_folders.root().path() / "w/secret.txt"));
    EXPECT_EQ(namesIn(deep),
              (Names{"Show.html", "jslib.js", "slidervsk.js", "Slider1.css", "Show.vsk", "Show_PublishReport.txt"}));
    for (const char* name : {"Show.html", "Show.vsk", "Show_PublishReport.txt"})
        EXPECT_EQ(readBytes(deep / name).find("secret"), std::string::npos) << name;
    EXPECT_EQ(m_project.GetItem(0).IImageFile, "") << "the item keeps no stale picture";
}

TEST_F(SaveAndPublish, ASourcePictureInTheFolderIsNeverOverwritten) {
    const std::string photo = site() + "slider1.jpg";
    fs::copy_file(picture("photo.jpg"), photo);
    const std::string bytes = readBytes(photo);
    addItem(photo);
    addItem(picture("other.jpg"));
    EXPECT_EQ(errorOf([&] { publish("Show.vsk"); }),
              "Item 1 (slider1.jpg): publishing would overwrite its source picture " + photo +
                  " with the published file slider1.jpg. Please rename or move the picture, or publish into another "
                  "folder. Nothing was saved.");
    EXPECT_EQ(namesIn(site()), Names{"slider1.jpg"});
    EXPECT_EQ(readBytes(photo), bytes);

    // Named otherwise, it stays beside what publishing writes; publishing again replaces only its own files.
    fs::rename(photo, site() + "photo.jpg");
    TItemData item = m_project.GetItem(0);
    item.IOriginalImagePath = site() + "photo.jpg";
    m_project.SetItem(item, 0);
    EXPECT_TRUE(publish("Show.vsk"));
    EXPECT_TRUE(publish("Show.vsk"));
    EXPECT_EQ(readBytes(site() + "photo.jpg"), bytes);
    EXPECT_TRUE(fs::exists(site() + "slider1.jpg"));
}

TEST_F(SaveAndPublish, ARootSwitchThatWouldMakeTheSeparatorWritesNothing) {
    addItem(picture("good.jpg"));
    TItemData item = m_project.GetItem(0);
    item.ILink = "shop#$/local/page.html";
    m_project.SetItem(item, 0);
    change(&TAppletData::InternalUse_RootDir_Local, "/local/");
    change(&TAppletData::InternalUse_RootDir_Remote, "@/web/");
    change(&TAppletData::InternalUse_RootDir_Local_Checked, "0");
    EXPECT_EQ(errorOf([&] { publish("Show.vsk"); }),
              "The link of item 1 would read \"shop#$@/web/page.html\" once its root is switched, and a project file "
              "cannot hold \"#$@\". Nothing was saved.");
    EXPECT_TRUE(fs::is_empty(site()));
    EXPECT_TRUE(fs::is_empty(m_places.GetStagingFolder()));
    EXPECT_EQ(m_project.GetItem(0).ILink, "shop#$/local/page.html");
}
