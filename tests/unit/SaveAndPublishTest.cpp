#include "AnotherUser.h"
#include "PictureFixtures.h"
#include "PictureTesting.h"
#include "RecordingProgressView.h"
#include "SmallDisk.h"
#include "TestFolders.h"

#include "generate/PictureCache.h"
#include "generate/PublishCheck.h"
#include "generate/PublishedFiles.h"
#include "generate/PublishedPictures.h"
#include "generate/Publisher.h"
#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PaletteQuantizer.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/Blake3.h"
#include "platform/PathText.h"
#include "platform/ProgramFile.h"

#include <gtest/gtest.h>
#include <webp/decode.h>

#include <chrono>
#include <map>

using namespace veskaro;
using veskaro::test::decodeBytes;
using veskaro::test::errorOf;
using veskaro::test::namesIn;
using veskaro::test::readBytes;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;
using Names = std::set<std::string>;

namespace {

class SaveAndPublishBase : public testing::Test {
protected:
    void SetUp() override {
        m_project.SetDefaults();
        fs::create_directories(m_folders.root().path() / "site");
        fs::create_directories(m_folders.root().path() / "pictures");
    }

    std::string picture(const std::string& name, int width = 120, int height = 80) {
        const RgbImage image(width, height, 90);
        const std::string path = m_folders.root() / ("pictures/" + name);
        writeBytes(path, name.ends_with(".gif")   ? encodeGif(quantizeForGif(image, {0, 0, width, height}), name)
                         : name.ends_with(".bmp") ? encodeBmp(image, name)
                                                  : encodeJpeg(image, 90, name));
        return path;
    }

    void setOption(const char* name, const char* value) {
        ProjectOptions options = m_project.options();
        options.set(name, value);
        m_project.setOptions(options);
    }

    void addItem(const std::string& path, const std::string& toolTip = "A picture") {
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = path;
        item.IToolTip = toolTip;
        item.ILevel = "0";
        m_project.InsertItem(m_project.itemCount(), item);
        m_tree.addChild(0, "Image");
    }

    // The names of what goes to the web server, read back from the project file a publish to site() wrote.
    std::vector<std::string> filesForTheServer() {
        TkvlAppletAgent saved;
        PlainItemTree tree;
        EXPECT_EQ(saved.LoadFromFile(site() + "Demo.vsk", tree, m_progress), LoadOutcome::Loaded);
        std::vector<std::string> names;
        for (const PublishedFile& file : filesForTheWebServer(saved, "Demo.vsk", site()))
            names.push_back(file.name);
        return names;
    }

    bool publish(const std::string& name) {
        return m_publisher.SaveAndPublish(m_project, site(), name, m_tree, m_progress);
    }

    std::string site() const { return m_folders.root() / "site/"; }

    void resizeSlider(const std::string& width, const std::string& height) {
        TAppletData data = m_project.GetAppletData();
        data.sliderWidth = width;
        data.sliderHeight = height;
        m_project.SetAppletData(data);
    }

    // Returns every file of a folder with its bytes, the folder's temporary files included, but a small
    // disk's filler.
    static std::map<std::string, std::string> publishedFiles(const fs::path& folder) {
        std::map<std::string, std::string> files = veskaro::test::filesIn(folder);
        files.erase("zz-filler");
        return files;
    }

    // Returns the names of the files that were added, removed or changed since before.
    static Names changedSince(const std::map<std::string, std::string>& before, const fs::path& folder) {
        const std::map<std::string, std::string> now = publishedFiles(folder);
        Names changed;
        for (const auto& [name, bytes] : before)
            if (!now.contains(name) || now.at(name) != bytes)
                changed.insert(name);
        for (const auto& [name, bytes] : now)
            if (!before.contains(name))
                changed.insert(name);
        return changed;
    }

    // Lets another user into the test's folders and files: whoever publishes must be able to work there.
    static void openToEveryone(const fs::path& root) {
        fs::permissions(root, fs::perms::all);
        for (const auto& entry : fs::recursive_directory_iterator(root))
            fs::permissions(entry.path(), entry.is_directory() ? fs::perms::all
                                                               : fs::perms::owner_read | fs::perms::owner_write |
                                                                     fs::perms::group_read | fs::perms::group_write |
                                                                     fs::perms::others_read | fs::perms::others_write);
    }

    veskaro::test::PerUserFolders m_folders;
    const Places m_places = m_folders.places();
    Publisher m_publisher{m_places};
    TkvlAppletAgent m_project;
    PlainItemTree m_tree;
    veskaro::test::RecordingProgressView m_progress;
};

class SaveAndPublish : public SaveAndPublishBase {};

} // namespace

// What goes to the web server is read back from the saved project file: the names the publish gave, without
// the project file and the report.
TEST_F(SaveAndPublish, TheWebServerGetsThePublishWithoutProjectFileAndReport) {
    addItem(picture("beach.jpg"));
    addItem(picture("dunes.gif"));
    ASSERT_TRUE(publish("Demo.vsk"));
    EXPECT_EQ(filesForTheServer(), (std::vector<std::string>{"Demo.html", "jslib.js", "slidervsk.js", "Slider1.css",
                                                             "slider0.jpg", "slider1.gif"}));
}

// The page on disk offers the copies its publish made; a source gone or shrunk since must not keep them from
// the server, where a page naming a missing picture would show a broken one.
TEST_F(SaveAndPublish, TheWebServerGetsTheCopiesAPublishMadeFromASourceGoneSince) {
    resizeSlider("60", "40");
    const std::string large = picture("large.jpg", 120, 80);
    const std::string other = picture("other.jpg", 120, 80);
    addItem(large);
    addItem(other);
    for (const char* option : {"Pictures.HighDensity", "Pictures.WebP"})
        setOption(option, "1");
    ASSERT_TRUE(publish("Demo.vsk"));
    const auto uploaded = [&] {
        const std::vector<std::string> names = filesForTheServer();
        return Names(names.begin(), names.end());
    };
    Names expected{"Demo.html",   "jslib.js",       "slidervsk.js", "Slider1.css",
                   "slider0.jpg", "slider0@2x.jpg", "slider0.webp", "slider0@2x.webp",
                   "slider1.jpg", "slider1@2x.jpg", "slider1.webp", "slider1@2x.webp"};
    ASSERT_EQ(uploaded(), expected);

    fs::remove(large);
    writeBytes(other, encodeJpeg(veskaro::test::colourPattern(60, 40), 90, "other.jpg"));
    EXPECT_EQ(uploaded(), expected) << "one source gone, the other too small for a 2x copy now";
    fs::remove(site() + "slider0@2x.webp");
    expected.erase("slider0@2x.webp");
    EXPECT_EQ(uploaded(), expected) << "only copies that are there";
}

TEST_F(SaveAndPublish, WritesExactlyThePublishableSet) {
    addItem(picture("beach.jpg"));
    addItem(picture("dunes.gif"));
    const std::vector<PublishedFile> predicted = veskaro::publishedFiles(asPublished(m_project), "Demo.vsk");
    EXPECT_TRUE(publish("Demo.vsk"));

    EXPECT_EQ(namesIn(site()), (Names{"Demo.html", "jslib.js", "slidervsk.js", "Slider1.css", "Demo.vsk",
                                      "Demo_PublishReport.txt", "slider0.jpg", "slider1.gif"}));
    // The one list of published files says beforehand what a publish writes, and from where.
    EXPECT_EQ(veskaro::publishedFiles(m_project, "Demo.vsk"), predicted);
    EXPECT_EQ(predicted, (std::vector<PublishedFile>{
                             {"Demo.html", FileOrigin::Staging, PublishedKind::Page},
                             {"jslib.js", FileOrigin::DataFolder, PublishedKind::Script},
                             {"slidervsk.js", FileOrigin::DataFolder, PublishedKind::Script},
                             {"Slider1.css", FileOrigin::Staging, PublishedKind::StyleSheet},
                             {"slider0.jpg", FileOrigin::Preview, PublishedKind::Picture},
                             {"slider1.gif", FileOrigin::Preview, PublishedKind::Picture},
                             {"Demo.vsk", FileOrigin::Staging, PublishedKind::ProjectFile},
                             {"Demo_PublishReport.txt", FileOrigin::Staging, PublishedKind::Report},
                         }));
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

// Names are UTF-8 everywhere in the program; on Windows they reach the system as wide characters, never
// through the narrow code page, which holds neither "東京" nor, in most places, "é".
TEST_F(SaveAndPublish, FoldersAndPicturesNamedBeyondAsciiPublish) {
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";
    const std::string cafe = "Caf\xC3\xA9";
    const std::string folder = m_folders.root() / (cafe + " " + tokyo + "/");
    const std::string pictures = m_folders.root() / (tokyo + " pictures/");
    fs::create_directories(pathOf(folder));
    fs::create_directories(pathOf(pictures));
    const RgbImage image(120, 80, 90);
    writeBytes(pathOf(pictures + tokyo + ".jpg"), encodeJpeg(image, 90, tokyo + ".jpg"));
    writeBytes(pathOf(pictures + cafe + ".gif"), encodeGif(quantizeForGif(image, {0, 0, 120, 80}), cafe + ".gif"));
    addItem(pictures + tokyo + ".jpg", tokyo);
    addItem(pictures + cafe + ".gif", cafe);

    ASSERT_TRUE(m_publisher.SaveAndPublish(m_project, folder, cafe + ".vsk", m_tree, m_progress));
    EXPECT_EQ(namesIn(pathOf(folder)), (Names{cafe + ".html", "jslib.js", "slidervsk.js", "Slider1.css", cafe + ".vsk",
                                              cafe + "_PublishReport.txt", "slider0.jpg", "slider1.gif"}));
    TkvlAppletAgent reread;
    PlainItemTree tree;
    ASSERT_EQ(reread.LoadFromFile(folder + cafe + ".vsk", tree, m_progress), LoadOutcome::Loaded);
    EXPECT_EQ(reread.GetItem(0).IOriginalImagePath, pictures + tokyo + ".jpg");
    EXPECT_EQ(reread.GetItem(1).IToolTip, cafe);
    EXPECT_NE(readBytes(pathOf(folder + cafe + ".html")).find("slider1.gif"), std::string::npos);
}

// The project file holds each picture path as it was given: on Windows the paths the program makes end
// their folders with "\", as the worked examples in project files do; a project made on Linux, with "/"
// in its relative paths, still finds its pictures there, and keeps its "/" when saved.
TEST_F(SaveAndPublish, PicturePathsAreSavedAsGivenAndEachFormResolves) {
    fs::create_directories(m_folders.root().path() / "site/pictures");
    std::vector<std::string> paths{"pictures/forward.jpg", m_folders.root() / "site/pictures/absolute.jpg"};
#ifdef _WIN32
    paths.push_back("pictures\\backward.jpg");
    paths.push_back(".\\pictures/mixed.jpg");
#endif
    for (const std::string& path : paths) {
        const std::string name = fileNamePart(path);
        writeBytes(m_folders.root() / ("site/pictures/" + name), encodeJpeg(RgbImage(120, 80, 90), 90, name));
        addItem(path);
    }
    m_project.setProjectFolder(site());
    ASSERT_TRUE(publish("Show.vsk"));

    const std::string saved = readBytes(m_folders.root() / "site/Show.vsk");
    for (std::size_t k = 0; k < paths.size(); ++k) {
        SCOPED_TRACE(paths[k]);
        EXPECT_NE(saved.find("slider" + std::to_string(k) + ".jpg#$@" + paths[k] + "#$@"), std::string::npos) << saved;
        EXPECT_TRUE(fs::is_regular_file(m_folders.root().path() / "site" / ("slider" + std::to_string(k) + ".jpg")));
    }
#ifdef _WIN32
    EXPECT_NE(saved.find("\\site\\pictures\\absolute.jpg#$@"), std::string::npos) << "a path the program made";
#endif
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
    TAppletData data = m_project.GetAppletData();
    data.reserved = "kept";
    m_project.SetAppletData(data);
    const TkvlAppletAgent before = m_project;
    const std::string message = errorOf([&] { publish("Show.vsk"); });
    EXPECT_EQ(message.rfind("JPEG error #", 0), 0u) << message;
    EXPECT_EQ(readBytes(site() + "Show.vsk"), "earlier project");
    EXPECT_EQ(readBytes(site() + "Show.html"), "earlier page");
    EXPECT_EQ(namesIn(site()), (Names{"Show.vsk", "Show.html"}));
    EXPECT_EQ(m_progress.calls.back(), "idle");
    EXPECT_EQ(m_project.GetAppletData(), before.GetAppletData()) << "the project is as it was";
    EXPECT_EQ(m_project.items(), before.items());

    // A stop while the pictures are prepared leaves everything as a failure does.
    class Stopping : public veskaro::test::RecordingProgressView {
        bool stopRequested() override { return true; }
    } stopping;
    fs::remove(broken);
    EXPECT_EQ(errorOf([&] { m_publisher.SaveAndPublish(m_project, site(), "Show.vsk", m_tree, stopping); }),
              "Publishing was cancelled.");
    EXPECT_EQ(namesIn(site()), (Names{"Show.vsk", "Show.html"}));
    EXPECT_EQ(m_project.GetAppletData(), before.GetAppletData());
    EXPECT_EQ(m_project.items(), before.items());
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
    EXPECT_EQ(message, "File not found: " + missing + "jslib.js") << "the first file placed";
    EXPECT_EQ(namesIn(m_places.GetStagingFolder()), Names{"Slider1.css"}) << "nothing else stays staged";
}

// Failed and interrupted writes: every write and copy is checked, and one that fails leaves each file of
// the earlier publish as it was, with no temporary file beside it.

TEST_F(SaveAndPublish, FullDiskStopsThePublishAndLeavesTheEarlierFilesAsTheyWere) {
    const fs::path folder = m_folders.root().path() / "site";
    const veskaro::test::SmallDisk disk(folder, 512 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNotMounted();
    addItem(picture("beach.jpg"));
    publish("Demo.vsk");
    const std::map<std::string, std::string> before = publishedFiles(folder);
    // Only the files whose bytes change take room: the scripts and the report stay as they are.
    const Names unchanged{"jslib.js", "slidervsk.js", "Demo_PublishReport.txt"};
    std::size_t published = 0;
    for (const auto& [name, bytes] : before)
        published += unchanged.contains(name) ? 0 : (bytes.size() / 4096 + 1) * 4096;

    resizeSlider("600", "400");
    std::set<std::string> failedAt;
    // More and more room is left, so that the write that fails moves along the files.
    for (const std::size_t free : {std::size_t{0}, published / 3, published * 2 / 3}) {
        disk.fill(free);
        const std::string message = errorOf([&] { publish("Demo.vsk"); });
        EXPECT_EQ(message.rfind("Disk full: " + site(), 0), 0u) << message;
        failedAt.insert(message);
        EXPECT_EQ(changedSince(before, folder), Names{}) << free << " bytes free: " << message;
        disk.empty();
    }
    EXPECT_EQ(failedAt.size(), 3u) << "the disk ran full at three different files";
    publish("Demo.vsk");
    EXPECT_NE(readBytes(folder / "Slider1.css"), before.at("Slider1.css"));
}

// Root may write any file, so as root the publish runs as "nobody" in a child process (see AnotherUser.h).
TEST_F(SaveAndPublish, FileTheUserMayNotWriteStopsThePublishBeforeAnythingChanges) {
    addItem(picture("beach.jpg"));
    addItem(picture("dunes.gif"));
    publish("Demo.vsk");
    openToEveryone(m_folders.root().path());
    fs::permissions(site() + "slider1.gif", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(site() + "Slider1.css", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::map<std::string, std::string> before = publishedFiles(site());
    resizeSlider("600", "400");
    const std::string message = veskaro::test::asAnotherUser([&] { return errorOf([&] { publish("Demo.vsk"); }); });
    EXPECT_EQ(message, "File access denied: " + site() + "slider1.gif");
    EXPECT_EQ(changedSince(before, site()), Names{});
}

// A silent copy into a full Preview folder would leave the earlier picture there, and publish it.
TEST_F(SaveAndPublish, PreparedPictureThatCannotReachThePreviewFolderStopsThePublish) {
    const std::string preview = m_places.GetPreviewFolder();
    const veskaro::test::SmallDisk disk(preview, 128 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNotMounted();
    addItem(picture("beach.jpg"));
    publish("Demo.vsk");
    const std::map<std::string, std::string> before = publishedFiles(site());
    disk.fill();
    resizeSlider("600", "400");
    EXPECT_EQ(errorOf([&] { publish("Demo.vsk"); }), "Disk full: " + preview + "slider0.jpg");
    EXPECT_EQ(changedSince(before, site()), Names{});
}

TEST_F(SaveAndPublish, NextPublishRemovesTheTemporaryFilesOfAnInterruptedOne) {
    const std::vector<std::string> leftovers{"Demo_PublishReport.txt.6d3f0c9a51b2e8f4.tmp",
                                             "slider0.jpg.0123456789abcdef.tmp", "Old.html.fedcba9876543210.tmp"};
    const std::vector<std::string> users{"notes.tmp", "holiday.jpg.tmp", "draft.html.1234.tmp"};
    for (const std::string& name : leftovers)
        writeBytes(site() + name, std::string(1023, 'x'));
    for (const std::string& name : users)
        writeBytes(site() + name, "the user's");
    addItem(picture("beach.jpg"));
    publish("Demo.vsk");
    EXPECT_EQ(namesIn(site()),
              (Names{"Demo.html", "jslib.js", "slidervsk.js", "Slider1.css", "Demo.vsk", "Demo_PublishReport.txt",
                     "slider0.jpg", "notes.tmp", "holiday.jpg.tmp", "draft.html.1234.tmp"}));
    for (const std::string& name : users)
        EXPECT_EQ(readBytes(site() + name), "the user's");
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

// The 2x JPEG starts below the chosen quality and may be raised a few steps above it, never past 95, where
// it would lose its detail; the one at the slider's size keeps the chosen quality. The 2x GIF is diffused
// more lightly than the other.
TEST_F(SaveAndPublish, The2xCopiesAreEncodedForTheirDensity) {
    const std::string source = picture("large.jpg", 120, 80);
    for (const auto& [chosen, start, highest] : {std::tuple{90, 88, 95}, {60, 58, 65}, {100, 98, 95}}) {
        PictureChoices choices;
        choices.highDensity = true;
        choices.jpegQuality = chosen;
        const std::vector<PublishedPicture> copies = picturesFor("slider0.jpg", source, choices, {60, 40});
        ASSERT_EQ(copies.size(), 2u);
        EXPECT_EQ(copies[0].settings.jpegQuality, chosen);
        EXPECT_LE(copies[0].settings.jpegHighestQuality, chosen) << "never raised";
        EXPECT_EQ(copies[1].settings.jpegQuality, start) << chosen;
        EXPECT_EQ(copies[1].settings.jpegHighestQuality, highest) << chosen;
    }
    const std::vector<PublishedPicture> gifs =
        picturesFor("slider1.gif", picture("large.gif", 120, 80), {.highDensity = true}, {60, 40});
    ASSERT_EQ(gifs.size(), 2u);
    EXPECT_EQ(gifs[0].settings.gifDiffusion, kGifDiffusion);
    EXPECT_EQ(gifs[1].settings.gifDiffusion, kGifDiffusion2x);
}

// Pictures for visitors: a 2x copy where the source has the pixels, a WebP of every picture with a PNG
// instead of a bitmap as the fallback, and the page offering them; the list of published files, the
// report and the check say the same.
TEST_F(SaveAndPublish, PictureOptionsPublishTheCopiesEachSourceAllowsAndThePageOffersThem) {
    resizeSlider("60", "40");
    addItem(picture("large.jpg", 120, 80));
    addItem(picture("small.gif", 90, 60));
    addItem(picture("scan.bmp", 240, 160));
    for (const char* option : {"Pictures.HighDensity", "Pictures.WebP", "Pictures.LazyLoad"})
        setOption(option, "1");
    const std::vector<PublishedFile> predicted = veskaro::publishedFiles(asPublished(m_project), "Demo.vsk");
    const PublishingFindings findings = checkForPublishing(m_project, m_places, site(), "Demo.vsk");
    ASSERT_TRUE(publish("Demo.vsk"));

    const Names pictures{"slider0.jpg",  "slider0@2x.jpg", "slider0.webp",   "slider0@2x.webp", "slider1.gif",
                         "slider1.webp", "slider2.png",    "slider2@2x.png", "slider2.webp",    "slider2@2x.webp"};
    Names expected{"Demo.html", "jslib.js", "slidervsk.js", "Slider1.css", "Demo.vsk", "Demo_PublishReport.txt"};
    expected.insert(pictures.begin(), pictures.end());
    EXPECT_EQ(namesIn(site()), expected);
    EXPECT_EQ(veskaro::publishedFiles(m_project, "Demo.vsk"), predicted);
    EXPECT_EQ(namesIn(m_places.GetPreviewFolder()), pictures) << "the Preview shows what the page names";

    EXPECT_EQ(decodeBytes(readBytes(site() + "slider0@2x.jpg"), "2x.jpg").image.width, 120);
    EXPECT_EQ(decodeBytes(readBytes(site() + "slider0@2x.jpg"), "2x.jpg").image.height, 80);
    for (const auto& [name, width] : {std::pair{"slider1.webp", 60}, std::pair{"slider2@2x.webp", 120}}) {
        const std::string bytes = readBytes(site() + name);
        int w = 0, h = 0;
        ASSERT_TRUE(WebPGetInfo(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &w, &h)) << name;
        EXPECT_EQ(w, width) << name;
    }
    EXPECT_EQ(readBytes(site() + "slider2.png").substr(1, 3), "PNG");

    const std::string page = readBytes(site() + "Demo.html");
    const std::string first = "<picture><source type=\"image/webp\" srcset=\"slider0.webp, slider0@2x.webp 2x\">"
                              "<img src=\"slider0.jpg\" srcset=\"slider0@2x.jpg 2x\" width=\"60\" height=\"40\" "
                              "fetchpriority=\"high\" title=\"A picture\" alt=\"A picture\" /></picture>\r\n";
    EXPECT_NE(page.find("<div id=\"jsnavbtnslider_firstimage_1\" class=\"jsnavbtnslider_image\">\r\n"
                        "<a href=\"\" target=\"_self\">\r\n" +
                        first),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<picture><source type=\"image/webp\" srcset=\"slider1.webp\"><img src=\"slider1.gif\" "
                        "width=\"60\" height=\"40\" loading=\"lazy\" decoding=\"async\" title="),
              std::string::npos)
        << "a source too small for a 2x copy gets none";
    const std::string report = readBytes(site() + "Demo_PublishReport.txt");
    for (const std::string& name : pictures)
        EXPECT_NE(report.find("\r\n  " + name + "\r\n"), std::string::npos) << name;
    EXPECT_EQ(findings.advice.front(),
              "Item 2 (small.gif) gets no sharp copy for high-density screens: the picture is "
              "90 x 60 pixels; a sharp copy for high-density screens needs at least 120 x 80.");
}

TEST_F(SaveAndPublish, TheJpegQualityOptionSetsTheBytesAndAQualityOutsideItsRulesIsRefused) {
    const std::string photo = m_folders.root() / "pictures/photo.jpg";
    writeBytes(photo, encodeJpeg(veskaro::test::colourPattern(1280, 960), 95, "photo.jpg"));
    addItem(photo);
    publish("Demo.vsk");
    const std::string atDefault = readBytes(site() + "slider0.jpg");
    setOption("Pictures.JpegQuality", "40");
    publish("Demo.vsk");
    EXPECT_LT(readBytes(site() + "slider0.jpg").size(), atDefault.size());
    const auto before = publishedFiles(site());
    for (const char* quality : {"0", "101", "high"}) {
        setOption("Pictures.JpegQuality", quality);
        EXPECT_EQ(errorOf([&] { publish("Demo.vsk"); }),
                  std::string("The quality of JPEG pictures ") + quality +
                      " cannot be used: it must be a whole number from 1 to 100. Nothing was saved.");
    }
    EXPECT_TRUE(changedSince(before, site()).empty());
}

namespace {

// Publishes with and without the picture cache, and compares what lands in the folders.
class PublishWithPictureCache : public SaveAndPublishBase {
protected:
    void SetUp() override {
        SaveAndPublishBase::SetUp();
        m_cache = pictureCacheIn(m_places.pictureCacheFolder(), 1024);
        m_publisher.setPictureCache(m_cache);
    }

    // A source picture settled an hour ago, so that the cache records its digest.
    std::string bitmap(const std::string& name, std::uint8_t shade) {
        const std::string path = m_folders.root() / ("pictures/" + name);
        writeBytes(path, encodeBmp(RgbImage(90, 60, shade), name));
        fs::last_write_time(pathOf(path), fs::file_time_type::clock::now() - std::chrono::hours(1));
        return path;
    }

    // Publishes the project into a new folder of that name, with or without the cache, and returns its files.
    std::map<std::string, std::string> publishInto(const std::string& folderName, bool cached) {
        const std::string folder = m_folders.root() / (folderName + "/");
        fs::create_directories(pathOf(folder));
        m_publisher.setPictureCache(cached ? m_cache : nullptr);
        TkvlAppletAgent project = m_project;
        m_publisher.SaveAndPublish(project, folder, "Demo.vsk", m_tree, m_progress);
        m_publisher.setPictureCache(m_cache);
        return publishedFiles(folder);
    }

    std::shared_ptr<PictureCache> m_cache;
};

// The key a slider picture of a source is kept under, as preparation makes it.
PictureCacheKey sliderKeyOf(const std::string& source, const TkvlAppletAgent& project) {
    const PublishedPicture picture{
        "slider0" + preparedExtension(formatFromExtension(source)), formatFromExtension(source), 1, {}};
    return preparedPictureKey(blake3HexOfFile(source), source, picture, 1, *sliderSizeOf(project.GetAppletData()));
}

} // namespace

TEST_F(PublishWithPictureCache, WritesTheSameBytesAsAPublishWithoutIt) {
    addItem(picture("beach.jpg"));
    addItem(picture("dunes.gif"));
    addItem(bitmap("sky.bmp", 200));
    const std::map<std::string, std::string> plain = publishInto("plain", false);
    EXPECT_EQ(publishInto("cold", true), plain);
    EXPECT_EQ(m_cache->hits(), 0u);
    EXPECT_EQ(publishInto("warm", true), plain);
    EXPECT_EQ(m_cache->hits(), 3u);
}

// With the picture options each copy is kept on its own, and a kept own-size picture made alone is not
// taken for one made beside a 2x copy, which comes from another decode.
TEST_F(PublishWithPictureCache, KeepsEveryCopyThePictureOptionsAskForAndTellsTheDecodesApart) {
    const std::string photo = picture("beach.jpg", 1600, 1200);
    fs::last_write_time(pathOf(photo), fs::file_time_type::clock::now() - std::chrono::hours(1));
    addItem(photo);
    addItem(bitmap("sky.bmp", 200));
    publishInto("alone", true);
    for (const char* option : {"Pictures.HighDensity", "Pictures.WebP"})
        setOption(option, "1");
    const std::map<std::string, std::string> plain = publishInto("plain", false);
    ASSERT_TRUE(plain.contains("slider0@2x.webp"));
    const std::size_t hits = m_cache->hits();
    EXPECT_EQ(publishInto("cold", true), plain);
    EXPECT_EQ(m_cache->hits(), hits) << "nothing the first publish kept serves these";
    EXPECT_EQ(publishInto("warm", true), plain);
    EXPECT_EQ(m_cache->hits(), hits + 6) << "four copies of the photo, the bitmap's PNG and WebP";
}

TEST_F(PublishWithPictureCache, IgnoresPicturesAnOlderPreparationKept) {
    addItem(bitmap("sky.bmp", 200));
    const std::map<std::string, std::string> plain = publishInto("plain", false);
    PictureCacheKey older = sliderKeyOf(m_project.GetItem(0).IOriginalImagePath, m_project);
    older.preparationVersion = kPreparationVersion - 1;
    const EncodedSliderPicture stale{PictureFormat::Bmp, 640, 427, "an older preparation's bytes"};
    m_cache->store(older, stale);
    EXPECT_EQ(publishInto("after-upgrade", true), plain);

    // The same picture kept under this version's key is taken: the key above differs only in its version.
    PictureCacheKey current = older;
    current.preparationVersion = kPreparationVersion;
    m_cache->store(current, stale);
    EXPECT_EQ(publishInto("current", true).at("slider0.bmp"), stale.bytes);
}

// What a user may do to a project's sources and settings between two saves.
struct BetweenSaves {
    const char* name;
    void (*change)(PublishWithPictureCache& test, TkvlAppletAgent& project, const fs::path& root);
    bool hit; // the picture is the same as before, and taken from the cache
};

void PrintTo(const BetweenSaves& b, std::ostream* out) {
    *out << b.name;
}

class UserChanges : public PublishWithPictureCache, public testing::WithParamInterface<BetweenSaves> {};

void pointItemAt(TkvlAppletAgent& project, const std::string& path) {
    TItemData item = project.GetItem(0);
    item.IOriginalImagePath = path;
    project.SetItem(item, 0);
}

TEST_P(UserChanges, GiveWhatAPublishWithoutTheCacheGives) {
    addItem("pictures/sky.bmp");
    bitmap("sky.bmp", 200);
    m_project.setProjectFolder(m_folders.root() / "");
    publishInto("first", true);
    const std::size_t hitsBefore = m_cache->hits();

    GetParam().change(*this, m_project, m_folders.root().path());
    const std::map<std::string, std::string> plain = publishInto("plain", false);
    EXPECT_EQ(publishInto("second", true), plain);
    EXPECT_EQ(m_cache->hits() - hitsBefore, GetParam().hit ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    SaveAndPublish, UserChanges,
    testing::Values(BetweenSaves{"sourceEditedInPlace",
                                 [](PublishWithPictureCache&, TkvlAppletAgent&, const fs::path& root) {
                                     writeBytes(root / "pictures/sky.bmp", encodeBmp(RgbImage(90, 60, 30), "sky.bmp"));
                                 },
                                 false},
                    BetweenSaves{"sourceReplacedBySameSizeAndTime",
                                 [](PublishWithPictureCache&, TkvlAppletAgent&, const fs::path& root) {
                                     const fs::path old = root / "pictures/sky.bmp";
                                     const fs::path replacement = root / "pictures/new.bmp";
                                     writeBytes(replacement, encodeBmp(RgbImage(90, 60, 30), "sky.bmp"));
                                     ASSERT_EQ(fs::file_size(replacement), fs::file_size(old));
                                     fs::last_write_time(replacement, fs::last_write_time(old));
                                     fs::rename(replacement, old);
                                 },
                                 false},
                    BetweenSaves{"sliderResized",
                                 [](PublishWithPictureCache&, TkvlAppletAgent& project, const fs::path&) {
                                     TAppletData data = project.GetAppletData();
                                     data.sliderWidth = "500";
                                     project.SetAppletData(data);
                                 },
                                 false},
                    BetweenSaves{"formatRenamed",
                                 [](PublishWithPictureCache&, TkvlAppletAgent& project, const fs::path& root) {
                                     fs::copy_file(root / "pictures/sky.bmp", root / "pictures/sky.jpg");
                                     pointItemAt(project, "pictures/sky.jpg");
                                 },
                                 false},
                    BetweenSaves{"projectMoved",
                                 [](PublishWithPictureCache&, TkvlAppletAgent& project, const fs::path& root) {
                                     fs::create_directories(root / "moved");
                                     fs::rename(root / "pictures", root / "moved/pictures");
                                     project.setProjectFolder(textOf(root / "moved" / ""));
                                 },
                                 true},
                    BetweenSaves{"sourceRenamed",
                                 [](PublishWithPictureCache&, TkvlAppletAgent& project, const fs::path& root) {
                                     fs::rename(root / "pictures/sky.bmp", root / "pictures/clouds.bmp");
                                     pointItemAt(project, "pictures/clouds.bmp");
                                 },
                                 true},
                    BetweenSaves{"nothing", [](PublishWithPictureCache&, TkvlAppletAgent&, const fs::path&) {}, true}),
    [](const testing::TestParamInfo<BetweenSaves>& row) { return std::string(row.param.name); });

TEST_F(PublishWithPictureCache, RepublishingChangesOnlyTheFilesWhoseBytesChange) {
    addItem(bitmap("sky.bmp", 200));
    addItem(picture("beach.jpg"));
    publish("Demo.vsk");
    // Whole seconds, which every file system keeps exactly (NTFS counts in 100 ns).
    const auto longAgo =
        std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now() - std::chrono::hours(5));
    for (const std::string& name : namesIn(site()))
        fs::last_write_time(pathOf(site() + name), longAgo);
    const auto changedTimes = [&] {
        Names changed;
        for (const std::string& name : namesIn(site()))
            if (fs::last_write_time(pathOf(site() + name)) != longAgo)
                changed.insert(name);
        return changed;
    };

    publish("Demo.vsk");
    EXPECT_EQ(changedTimes(), Names{});

    TItemData item = m_project.GetItem(1);
    item.IToolTip = "The beach at dawn";
    m_project.SetItem(item, 1);
    publish("Demo.vsk");
    EXPECT_EQ(changedTimes(), (Names{"Demo.html", "Demo.vsk"}));
}

TEST_F(PublishWithPictureCache, ACacheThatCannotBeWrittenOnlySaysSo) {
    writeBytes(m_folders.root() / "blocked", "a file where the cache folder would be");
    m_cache = std::make_shared<PictureCache>(m_folders.root() / "blocked/Pictures/", 1 << 30);
    addItem(bitmap("sky.bmp", 200));
    addItem(picture("beach.jpg"));
    const std::map<std::string, std::string> plain = publishInto("plain", false);
    EXPECT_EQ(publishInto("blocked-once", true), plain);
    EXPECT_EQ(publishInto("blocked-twice", true), plain);
    EXPECT_TRUE(m_cache->takeNotice());
    EXPECT_FALSE(m_cache->takeNotice());
}

#ifndef _WIN32
// Root may write any folder, so the check runs as "nobody" then (see AnotherUser.h).
TEST_F(PublishWithPictureCache, AReadOnlyCacheFolderGivesTheSameFiles) {
    addItem(bitmap("sky.bmp", 200));
    const std::map<std::string, std::string> plain = publishInto("plain", false);
    fs::create_directories(pathOf(m_places.pictureCacheFolder()));
    openToEveryone(m_folders.root().path());
    fs::permissions(pathOf(m_places.pictureCacheFolder()),
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);
    const std::string outcome = veskaro::test::asAnotherUser([&] {
        const bool same = publishInto("read-only", true) == plain;
        const std::optional<std::string> notice = m_cache->takeNotice();
        return std::string(same ? "same" : "different") + (notice ? " notice" : " silent");
    });
    EXPECT_EQ(outcome, "same notice");
}
#endif
