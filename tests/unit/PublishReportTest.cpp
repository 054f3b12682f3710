#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "generate/Publisher.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::readBytes;

namespace {

TItemData withPicture(const std::string& file) {
    TItemData item = TkvlAppletAgent::DefaultItem();
    item.IImageFile = file;
    return item;
}

} // namespace

TEST(PublishReport, ListsLinkedFilesAndEachPictureOnce) {
    veskaro::test::TemporaryFolder folder;
    const veskaro::test::PerUserFolders folders;
    const Places places = folders.places();
    Publisher publisher(places);
    TkvlAppletAgent project;
    project.SetDefaults();
    // A name that is no bare file name came from an edited project file and is never offered for upload.
    for (const char* file :
         {"slider0.jpg", "", "slider1.gif", "../../../../secret.txt", "slider1.gif", "Slider1.gif", "C:evil.jpg"})
        project.InsertItem(project.itemCount(), withPicture(file));
    veskaro::test::RecordingProgressView progress;
    publisher.WritePublishReport(project, folder.path().string() + "/", "Demo_PublishReport.txt", progress);

    EXPECT_EQ(readBytes(folder / "Demo_PublishReport.txt"),
              readBytes(veskaro::test::testData("report/two-pictures.txt")));
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"maximum 101", "hint Making Publish Report ... ...", "busy", "step 1", "step 1",
                                        "step 1", "step 50", "step 50", "position 0", "hint ", "idle"}));
}
