#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "generate/Publisher.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

#include <set>

using namespace veskaro;
using veskaro::test::readBytes;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

namespace {

class PreviewTest : public testing::Test {
protected:
    PreviewTest() {
        project.SetDefaults();
        writeBytes(shipped / "jslib.js", "// library\n");
        writeBytes(shipped / "slidervsk.js", "// slider\n");
    }

    // Adds an item whose picture image preparation has put into the Preview folder already.
    void addPreparedItem(const std::string& imageFile) {
        const std::string picture = sources / imageFile;
        writeBytes(picture, "picture");
        publisher.previewFolder().CopyToPreview(picture);
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IImageFile = imageFile;
        item.IOriginalImagePath = sources / "gone.jpg";
        project.InsertItem(project.itemCount(), item);
        tree.addChild(0, imageFile);
    }

    std::string preview() {
        const std::vector<std::string> lines = publisher.generatePageLines(project, tree, progress);
        return publisher.gatherPreview(project, lines, progress);
    }

    test::PerUserFolders folders;
    test::TemporaryFolder shipped;
    test::TemporaryFolder sources;
    const Places places = folders.places(shipped.path().string() + "/");
    Publisher publisher{places};
    TkvlAppletAgent project;
    PlainItemTree tree;
    test::RecordingProgressView progress;
};

} // namespace

TEST_F(PreviewTest, PageLinesAreThePageASaveWritesAndTheScratchFileIsGone) {
    addPreparedItem("slider0.jpg");
    const std::vector<std::string> lines = publisher.generatePageLines(project, tree, progress);
    EXPECT_EQ(lines, readTextLines(test::testData("page/default-one-item.html").string()));
    EXPECT_EQ(test::namesIn(places.GetTempFolder()), std::set<std::string>{});
    EXPECT_TRUE(fs::exists(places.GetStagingFolder() + "Slider1.css"));
}

TEST_F(PreviewTest, FailedGenerationLeavesNoScratchFile) {
    writeBytes(places.GetTempFolder() + kScratchPageName, "left over from a crash");
    TAppletData data = project.GetAppletData();
    data.transDurAuto = "soon";
    project.SetAppletData(data);
    EXPECT_THROW(publisher.generatePageLines(project, tree, progress), VeskaroError);
    EXPECT_FALSE(fs::exists(places.GetTempFolder() + kScratchPageName));
}

TEST_F(PreviewTest, OneItemPreviewGathersExactlyItsFilesInThePreviewFolder) {
    addPreparedItem("slider0.jpg");
    const std::string folder = preview();
    EXPECT_EQ(folder, places.GetPreviewFolder());
    EXPECT_EQ(test::namesIn(folder),
              (std::set<std::string>{"~preview.html", "jslib.js", "slidervsk.js", "Slider1.css", "slider0.jpg"}));
    EXPECT_EQ(publisher.previewFolder().previewFiles(),
              (TStringArray{"slider0.jpg", "jslib.js", "slidervsk.js", "Slider1.css", "~preview.html"}));
    EXPECT_EQ(readBytes(folder + "~preview.html"), readBytes(test::testData("page/default-one-item.html")));
    EXPECT_EQ(readBytes(folder + "jslib.js"), "// library\n");
    EXPECT_EQ(test::namesIn(places.GetTempFolder()), std::set<std::string>{}) << "no scratch file stays in Temp";
    EXPECT_FALSE(fs::exists(places.GetStagingFolder() + "Slider1.css")) << "the style sheet moved";
    EXPECT_TRUE(fs::exists(shipped / "jslib.js")) << "the shipped scripts stay";
}

TEST_F(PreviewTest, TwoPreviewsRecordEachNameTwiceAndClearingDeletesEachOnce) {
    addPreparedItem("slider0.jpg");
    preview();
    publisher.previewFolder().CopyToPreview(sources / "slider0.jpg"); // the second preparation of the picture
    preview();
    for (const char* name : {"~preview.html", "jslib.js", "slidervsk.js", "Slider1.css", "slider0.jpg"})
        EXPECT_EQ(std::count(publisher.previewFolder().previewFiles().begin(),
                             publisher.previewFolder().previewFiles().end(), name),
                  2)
            << name;
    publisher.ClearPreviewFolder();
    EXPECT_FALSE(fs::exists(places.GetAppDataFolder() + "Preview"));
}

TEST_F(PreviewTest, MissingScriptsAreSkippedWithoutAWord) {
    fs::remove(shipped / "jslib.js");
    const std::string folder = preview();
    EXPECT_FALSE(fs::exists(folder + "jslib.js"));
    EXPECT_TRUE(fs::exists(folder + "~preview.html"));
    EXPECT_EQ(progress.calls.back(), "idle");
}

// The browser would open an earlier page, or none: the preview stops with the reason instead.
TEST_F(PreviewTest, PageThatCannotReachThePreviewFolderStopsThePreview) {
    addPreparedItem("slider0.jpg");
    const std::string page = places.GetPreviewFolder() + kPreviewPageName;
    fs::create_directories(page + "/in the way");
    try {
        preview();
        ADD_FAILURE() << "the preview went on";
    } catch (const VeskaroError& error) {
        EXPECT_EQ(std::string(error.what()), veskaro::test::kFolderInTheWay + page);
    }
    EXPECT_EQ(test::namesIn(places.GetTempFolder()), std::set<std::string>{}) << "no scratch page stays in Temp";
}
