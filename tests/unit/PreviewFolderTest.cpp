#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "model/Folders.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::PerUserFolders;
using veskaro::test::readBytes;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

namespace {

class PreviewFolder : public testing::Test {
protected:
    std::string source(const std::string& name, const std::string& bytes) {
        fs::create_directories(m_folders.root().path() / "sources");
        const std::string path = m_folders.root() / ("sources/" + name);
        writeBytes(path, bytes);
        return path;
    }

    PerUserFolders m_folders;
    TkvlAppletAgent m_project;
};

} // namespace

TEST_F(PreviewFolder, CopiesRecordsAndClearsEachFileOnce) {
    const std::string picture = source("slider0.jpg", "picture");
    m_project.CopyToPreview(picture);
    m_project.CopyToPreview(picture);
    const std::string preview = GetPreviewFolder();
    EXPECT_EQ(readBytes(preview + "slider0.jpg"), "picture");
    EXPECT_EQ(m_project.previewFiles(), (TStringArray{"slider0.jpg", "slider0.jpg"}));

    m_project.CopyToPreview(preview + "slider0.jpg");
    EXPECT_EQ(readBytes(preview + "slider0.jpg"), "picture") << "a file already there stays as it is";
    EXPECT_EQ(m_project.previewFiles().size(), 3u);

    m_project.ClearPreviewFolder();
    EXPECT_TRUE(m_project.previewFiles().empty());
    EXPECT_FALSE(fs::exists(preview)) << "the emptied folder goes too";
    EXPECT_TRUE(fs::exists(picture));
}

TEST_F(PreviewFolder, ClearingKeepsFilesItDidNotRecord) {
    writeBytes(GetPreviewFolder() + "other.txt", "not ours");
    m_project.CopyToPreview(source("slider1.gif", "gif"));
    m_project.ClearPreviewFolder();
    EXPECT_EQ(readBytes(GetPreviewFolder() + "other.txt"), "not ours");
    EXPECT_FALSE(fs::exists(GetPreviewFolder() + "slider1.gif"));

    TkvlAppletAgent fresh;
    fs::remove(GetPreviewFolder() + "other.txt");
    fresh.ClearPreviewFolder();
    EXPECT_FALSE(fs::exists(GetAppDataFolder() + "Preview"));
}

TEST_F(PreviewFolder, MissingSourcesAreRecordedWithoutComplaint) {
    EXPECT_NO_THROW(m_project.CopyToPreview(m_folders.root() / "nowhere/slider5.bmp"));
    EXPECT_EQ(m_project.previewFiles(), TStringArray{"slider5.bmp"});
    EXPECT_NO_THROW(m_project.ClearPreviewFolder());
}

TEST_F(PreviewFolder, LinkedFilesMoveOnlyWhenGenerated) {
    source("jslib.js", "lib");
    source("slidervsk.js", "slider");
    fs::create_directories(m_folders.root().path() / "staging");
    writeBytes(m_folders.root() / "staging/slidervsk.css", "css");
    const std::string shipped = m_folders.root() / "sources/";
    const std::string staging = m_folders.root() / "staging/";
    m_project.CopyLinkedFilesToPreview(shipped, staging);

    const std::string preview = GetPreviewFolder();
    EXPECT_EQ(readBytes(preview + "jslib.js"), "lib");
    EXPECT_EQ(readBytes(preview + "slidervsk.js"), "slider");
    EXPECT_EQ(readBytes(preview + "slidervsk.css"), "css");
    EXPECT_TRUE(fs::exists(shipped + "jslib.js"));
    EXPECT_TRUE(fs::exists(shipped + "slidervsk.js"));
    EXPECT_FALSE(fs::exists(staging + "slidervsk.css"));
    EXPECT_EQ(m_project.previewFiles(), (TStringArray{"jslib.js", "slidervsk.js", "slidervsk.css"}));
}

TEST_F(PreviewFolder, ResourceStepReportsAndCopiesNothing) {
    veskaro::test::RecordingProgressView progress;
    m_project.CopyResourceFilesToPreview(m_folders.root() / "sources/", progress);
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"maximum 100", "hint Copying Resource Files ... ...", "busy",
                                                        "step 50", "step 50", "position 0", "hint ", "idle"}));
    EXPECT_TRUE(m_project.previewFiles().empty());
}
