#include "MemoryRemoteFolder.h"
#include "TestFolders.h"

#include "upload/Upload.h"

#include <gtest/gtest.h>

#include <regex>

using namespace veskaro;
using veskaro::test::MemoryRemoteFolder;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;

namespace {

// The log with every temporary name written as "~".
std::vector<std::string> shapeOf(const std::vector<std::string>& log) {
    static const std::regex temporary("veskaro-upload-[0-9a-f]{16}\\.part");
    std::vector<std::string> shape;
    for (const std::string& line : log)
        shape.push_back(std::regex_replace(line, temporary, "~"));
    return shape;
}

class StoppingProgress : public SilentUploadProgress {
public:
    explicit StoppingProgress(std::string stopIn) : m_stopIn(std::move(stopIn)) {}
    void sending(const std::string& name, std::uint64_t, std::uint64_t) override { m_current = name; }
    bool stopRequested() override { return m_current == m_stopIn; }

private:
    std::string m_stopIn;
    std::string m_current;
};

class Upload : public testing::Test {
protected:
    Upload() {
        writeBytes(m_local / "slider0.jpg", "picture zero");
        writeBytes(m_local / "slider1.gif", "picture one");
        writeBytes(m_local / "Demo.html", "<page>");
    }

    std::vector<FileToUpload> publish(bool withSecondPicture = true) const {
        std::vector<FileToUpload> files = {{"slider0.jpg", m_local / "slider0.jpg", false}};
        if (withSecondPicture)
            files.push_back({"slider1.gif", m_local / "slider1.gif", false});
        files.push_back({"Demo.html", m_local / "Demo.html", true});
        return files;
    }

    UploadOutcome upload(const UploadWishes& wishes = {}, bool withSecondPicture = true) {
        m_remote.log.clear();
        return runUpload(m_remote, publish(withSecondPicture), wishes, m_progress);
    }

    TemporaryFolder m_local;
    MemoryRemoteFolder m_remote;
    SilentUploadProgress m_progress;
};

} // namespace

TEST_F(Upload, FirstSendsPicturesThenThePageThenTheManifestEachRenamedIn) {
    const UploadOutcome outcome = upload();
    EXPECT_EQ(shapeOf(m_remote.log),
              (std::vector<std::string>{"make", "put ~", "rename ~ slider0.jpg", "put ~", "rename ~ slider1.gif",
                                        "put ~", "rename ~ Demo.html", "put ~", "rename ~ Demo.veskaro-manifest"}));
    EXPECT_EQ(outcome.plan.count(PlanAction::Upload), 3u);
    EXPECT_TRUE(outcome.manifestWritten);
    EXPECT_EQ(m_remote.files.at("Demo.html"), "<page>");
    EXPECT_EQ(m_remote.files.size(), 4u);
    EXPECT_EQ(outcome.bytesSent, 12u + 11u + 6u + m_remote.files.at("Demo.veskaro-manifest").size());
}

TEST_F(Upload, WithNothingChangedSendsNothing) {
    upload();
    const UploadOutcome again = upload();
    EXPECT_EQ(m_remote.log, std::vector<std::string>{"make"});
    EXPECT_EQ(again.plan.count(PlanAction::Unchanged), 3u);
    EXPECT_FALSE(again.manifestWritten);
    EXPECT_EQ(again.bytesSent, 0u);
}

TEST_F(Upload, AfterAPageEditSendsOnlyThePageAndTheManifest) {
    upload();
    writeBytes(m_local / "Demo.html", "<page with a new description>");
    upload();
    EXPECT_EQ(shapeOf(m_remote.log), (std::vector<std::string>{"make", "put ~", "rename ~ Demo.html", "put ~",
                                                               "rename ~ Demo.veskaro-manifest"}));
    EXPECT_EQ(m_remote.files.at("Demo.html"), "<page with a new description>");
}

TEST_F(Upload, KeepsAStaleFileUnlessAskedAndThenRemovesItAfterThePage) {
    upload();
    m_remote.files["index.html"] = "the user's own";
    const UploadOutcome kept = upload({}, false);
    EXPECT_EQ(kept.plan.count(PlanAction::KeepStale), 1u);
    EXPECT_TRUE(m_remote.files.count("slider1.gif"));
    EXPECT_FALSE(kept.manifestWritten) << "the manifest still lists the kept file";
    const UploadOutcome removed = upload({{false, true}, false}, false);
    EXPECT_EQ(removed.plan.count(PlanAction::Remove), 1u);
    EXPECT_EQ(shapeOf(m_remote.log),
              (std::vector<std::string>{"make", "remove slider1.gif", "put ~", "rename ~ Demo.veskaro-manifest"}));
    EXPECT_FALSE(m_remote.files.count("slider1.gif"));
    EXPECT_EQ(m_remote.files.at("index.html"), "the user's own");
}

TEST_F(Upload, MovesTheOldFileAsideWhereTheServerCannotRenameOverIt) {
    upload();
    m_remote.claimsRenameOver = false;
    writeBytes(m_local / "Demo.html", "<new page>");
    upload();
    EXPECT_EQ(
        shapeOf(m_remote.log),
        (std::vector<std::string>{"make", "put ~", "rename Demo.html ~", "rename ~ Demo.html", "remove ~", "put ~",
                                  "rename Demo.veskaro-manifest ~", "rename ~ Demo.veskaro-manifest", "remove ~"}));
    EXPECT_EQ(m_remote.files.at("Demo.html"), "<new page>");
    EXPECT_EQ(m_remote.files.size(), 4u);
}

TEST_F(Upload, FallsBackToTheMoveAsideWhenARenameOverIsRefusedAfterAll) {
    upload();
    m_remote.refusesRenameOver = true;
    writeBytes(m_local / "Demo.html", "<new page>");
    upload();
    EXPECT_EQ(m_remote.files.at("Demo.html"), "<new page>");
    EXPECT_EQ(m_remote.files.size(), 4u);
    EXPECT_EQ(shapeOf(m_remote.log).back(), "remove ~");
}

TEST_F(Upload, StoppedMidFileLeavesTheEarlierFilesAndTheNextUploadCompletes) {
    upload();
    writeBytes(m_local / "slider0.jpg", "picture zero, edited");
    writeBytes(m_local / "Demo.html", "<new page>");
    StoppingProgress stopping("slider0.jpg");
    try {
        runUpload(m_remote, publish(), {}, stopping);
        FAIL() << "the stop was not heeded";
    } catch (const VeskaroError& error) {
        EXPECT_STREQ(error.what(), kUploadStoppedMessage);
    }
    EXPECT_EQ(m_remote.files.at("slider0.jpg"), "picture zero");
    EXPECT_EQ(m_remote.files.at("Demo.html"), "<page>");
    EXPECT_EQ(m_remote.files.size(), 4u) << "the partial temporary is removed";
    upload();
    EXPECT_EQ(m_remote.files.at("slider0.jpg"), "picture zero, edited");
    EXPECT_EQ(m_remote.files.at("Demo.html"), "<new page>");
}

TEST_F(Upload, AFailedTransferKeepsThePageAsItWasAndTheNextUploadRemovesLeftovers) {
    upload();
    writeBytes(m_local / "slider1.gif", "picture one, edited");
    writeBytes(m_local / "Demo.html", "<new page>");
    m_remote.failingPut = 1;
    m_remote.files["veskaro-upload-00000000000000aa.part"] = "left by a killed upload";
    try {
        upload();
        FAIL() << "the failure was not reported";
    } catch (const VeskaroError& error) {
        EXPECT_STREQ(error.what(), "552 Quota exceeded");
    }
    EXPECT_EQ(m_remote.files.at("Demo.html"), "<page>");
    EXPECT_FALSE(m_remote.files.count("veskaro-upload-00000000000000aa.part"));
    upload();
    EXPECT_EQ(m_remote.files.at("slider1.gif"), "picture one, edited");
}

TEST_F(Upload, DryRunPlansAndChangesNothing) {
    upload();
    writeBytes(m_local / "Demo.html", "<new page>");
    const std::map<std::string, std::string> before = m_remote.files;
    const UploadOutcome outcome = upload({{}, true});
    EXPECT_TRUE(m_remote.log.empty());
    EXPECT_EQ(m_remote.files, before);
    EXPECT_EQ(outcome.plan.count(PlanAction::Upload), 1u);
    EXPECT_EQ(outcome.bytesSent, 0u);
}

TEST_F(Upload, FullSendsEveryFileAgain) {
    upload();
    const UploadOutcome outcome = upload({{true, false}, false});
    EXPECT_EQ(outcome.plan.count(PlanAction::Upload), 3u);
    EXPECT_FALSE(outcome.manifestWritten) << "the same bytes make the same manifest";
}
