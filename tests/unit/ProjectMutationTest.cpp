#include "FuzzSeeds.h"
#include "PictureFixtures.h"
#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "generate/PublishCheck.h"
#include "generate/Publisher.h"
#include "imaging/JpegCodec.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

#include <random>

using namespace veskaro;
namespace fs = std::filesystem;

// Project files edited by hand, cut short or damaged on their way: every mutant of a sound project is
// loaded, checked, and every tenth published. Each either works or stops with a message; nothing else
// (no other exception, and under the sanitizers no crash or undefined behaviour) may come out.
TEST(ProjectMutation, DamagedProjectFilesLoadCheckAndPublishOrSayWhy) {
    const test::PerUserFolders users;
    const Places places = users.places();
    test::TemporaryFolder folder;
    test::writeBytes(folder / "a.jpg", encodeJpeg(test::smoothPattern(96, 64), 90, "a.jpg"));
    test::writeBytes(folder / "b.jpg", encodeJpeg(test::smoothPattern(40, 90), 90, "b.jpg"));
    TkvlAppletAgent sound;
    sound.SetDefaults();
    for (const char* picture : {"a.jpg", "b.jpg", "a.jpg"}) {
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = picture;
        item.ILink = "https://www.example.com/";
        item.IToolTip = picture;
        item.ILevel = "0";
        sound.InsertItem(sound.itemCount(), item);
    }
    SilentProgressView silent;
    sound.SaveToFile(folder / "sound.vsk", silent);
    const std::string seed = test::readBytes(folder / "sound.vsk");

    std::mt19937 random(20261209);
    int loaded = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("mutant " + std::to_string(round));
        test::writeBytes(folder / "mutant.vsk", fuzz::mutate(seed, random));
        TkvlAppletAgent project;
        PlainItemTree tree;
        try {
            if (project.LoadFromFile(folder / "mutant.vsk", tree, silent) != LoadOutcome::Loaded)
                continue;
            ++loaded;
            checkForPublishing(project, places, folder.path().string() + "/", "mutant.vsk");
            if (round % 10 == 0) {
                Publisher publisher(places);
                publisher.SaveAndPublish(project, (folder / "site") + "/", "mutant.vsk", tree, silent);
            }
        } catch (const VeskaroError&) {
            // A clear refusal is a right answer to a damaged file.
        }
    }
    EXPECT_GT(loaded, 50) << "most mutants still read as projects, so checking and publishing are reached";
}
