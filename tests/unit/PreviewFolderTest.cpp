#include "PictureTesting.h"
#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "generate/PreviewFolder.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::namesIn;
using veskaro::test::PerUserFolders;
using veskaro::test::readBytes;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

namespace {

class PreviewFolderTest : public testing::Test {
protected:
    std::string source(const std::string& name, const std::string& bytes) {
        fs::create_directories(m_folders.root().path() / "sources");
        const std::string path = m_folders.root() / ("sources/" + name);
        writeBytes(path, bytes);
        return path;
    }

    PerUserFolders m_folders;
    const Places m_places = m_folders.places();
    PreviewFolder m_preview{m_places};
};

} // namespace

TEST_F(PreviewFolderTest, CopiesRecordsAndClearsEachFileOnce) {
    const std::string picture = source("slider0.jpg", "picture");
    m_preview.CopyToPreview(picture);
    m_preview.CopyToPreview(picture);
    const std::string preview = m_places.GetPreviewFolder();
    EXPECT_EQ(readBytes(preview + "slider0.jpg"), "picture");
    EXPECT_EQ(m_preview.previewFiles(), (TStringArray{"slider0.jpg", "slider0.jpg"}));

    m_preview.CopyToPreview(preview + "slider0.jpg");
    EXPECT_EQ(readBytes(preview + "slider0.jpg"), "picture") << "a file already there stays as it is";
    EXPECT_EQ(m_preview.previewFiles().size(), 3u);

    m_preview.ClearPreviewFolder();
    EXPECT_TRUE(m_preview.previewFiles().empty());
    EXPECT_FALSE(fs::exists(preview)) << "the emptied folder goes too";
    EXPECT_TRUE(fs::exists(picture));
}

TEST_F(PreviewFolderTest, ClearingKeepsFilesItDidNotRecord) {
    writeBytes(m_places.GetPreviewFolder() + "other.txt", "not ours");
    m_preview.CopyToPreview(source("slider1.gif", "gif"));
    m_preview.ClearPreviewFolder();
    EXPECT_EQ(readBytes(m_places.GetPreviewFolder() + "other.txt"), "not ours");
    EXPECT_FALSE(fs::exists(m_places.GetPreviewFolder() + "slider1.gif"));

    PreviewFolder fresh(m_places);
    fs::remove(m_places.GetPreviewFolder() + "other.txt");
    fresh.ClearPreviewFolder();
    EXPECT_FALSE(fs::exists(m_places.GetAppDataFolder() + "Preview"));
}

TEST_F(PreviewFolderTest, MissingSourcesAreRecordedWithoutComplaint) {
    EXPECT_NO_THROW(m_preview.CopyToPreview(m_folders.root() / "nowhere/slider5.bmp"));
    EXPECT_EQ(m_preview.previewFiles(), TStringArray{"slider5.bmp"});
    EXPECT_NO_THROW(m_preview.ClearPreviewFolder());
}

TEST_F(PreviewFolderTest, LinkedFilesMoveOnlyWhenGenerated) {
    source("jslib.js", "lib");
    source("slidervsk.js", "slider");
    fs::create_directories(m_folders.root().path() / "staging");
    writeBytes(m_folders.root() / "staging/slidervsk.css", "css");
    const std::string shipped = m_folders.root() / "sources/";
    const std::string staging = m_folders.root() / "staging/";
    m_preview.CopyLinkedFilesToPreview(TkvlAppletAgent().linkedFiles(), shipped, staging);

    const std::string preview = m_places.GetPreviewFolder();
    EXPECT_EQ(readBytes(preview + "jslib.js"), "lib");
    EXPECT_EQ(readBytes(preview + "slidervsk.js"), "slider");
    EXPECT_EQ(readBytes(preview + "slidervsk.css"), "css");
    EXPECT_TRUE(fs::exists(shipped + "jslib.js"));
    EXPECT_TRUE(fs::exists(shipped + "slidervsk.js"));
    EXPECT_FALSE(fs::exists(staging + "slidervsk.css"));
    EXPECT_EQ(m_preview.previewFiles(), (TStringArray{"jslib.js", "slidervsk.js", "slidervsk.css"}));
}

// What this run made is moved, not copied: a save of many pictures would otherwise make each file twice.
TEST_F(PreviewFolderTest, FilesThisRunMadeAreMovedOverEarlierOnes) {
    const std::string made = source("slider0.jpg", "this run's picture");
    writeBytes(m_places.GetPreviewFolder() + "slider0.jpg", "an earlier picture");
    m_preview.placeInPreview(made);
    EXPECT_EQ(readBytes(m_places.GetPreviewFolder() + "slider0.jpg"), "this run's picture");
    EXPECT_FALSE(fs::exists(made));
    EXPECT_EQ(m_preview.previewFiles(), TStringArray{"slider0.jpg"});
}

// What this run made (prepared pictures, the style sheet, the preview page) must arrive: a preview or
// publish without it would show or publish a stale or missing file.
TEST_F(PreviewFolderTest, FilesThisRunMadeMustArrive) {
    const std::string missing = m_folders.root() / "nowhere/slider5.bmp";
    EXPECT_EQ(veskaro::test::errorOf([&] { m_preview.placeInPreview(missing); }), "File not found: " + missing);
    EXPECT_EQ(m_preview.previewFiles(), TStringArray{"slider5.bmp"}) << "recorded, so that clearing removes it";

    source("jslib.js", "lib");
    source("slidervsk.js", "slider");
    fs::create_directories(m_folders.root().path() / "staging");
    writeBytes(m_folders.root() / "staging/slidervsk.css", "css");
    const std::string preview = m_places.GetPreviewFolder();
    fs::create_directories(preview + "slidervsk.css/in the way");
    EXPECT_EQ(veskaro::test::errorOf([&] {
                  m_preview.CopyLinkedFilesToPreview(TkvlAppletAgent().linkedFiles(), m_folders.root() / "sources/",
                                                     m_folders.root() / "staging/");
              }),
              veskaro::test::kFolderInTheWay + preview + "slidervsk.css");
    EXPECT_EQ(readBytes(m_folders.root() / "staging/slidervsk.css"), "css") << "the only copy stays staged";
    EXPECT_EQ(readBytes(preview + "jslib.js"), "lib");
    EXPECT_EQ(namesIn(preview), (std::set<std::string>{"jslib.js", "slidervsk.js", "slidervsk.css"}))
        << "no temporary file is left";
}

TEST_F(PreviewFolderTest, ResourceStepReportsAndCopiesNothing) {
    veskaro::test::RecordingProgressView progress;
    m_preview.CopyResourceFilesToPreview(m_folders.root() / "sources/", progress);
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"maximum 100", "hint Copying Resource Files ... ...", "busy",
                                                        "step 50", "step 50", "position 0", "hint ", "idle"}));
    EXPECT_TRUE(m_preview.previewFiles().empty());
}
