#include "ChildProcess.h"
#include "TestFolders.h"

#include "platform/FolderUpdate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

using namespace veskaro;
using veskaro::test::filesIn;
using veskaro::test::namesIn;
using veskaro::test::readBytes;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;

namespace fs = std::filesystem;

namespace {

// A published folder unpacked from an archive: links in it lead out of it, one of them to no file.
class FolderUpdateLinks : public testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "symbolic links need a privilege on Windows, and Wine makes none";
#endif
        fs::create_directories(m_root.path() / "site");
        fs::create_directories(m_root.path() / "outside");
        fs::create_directories(m_root.path() / "new");
        writeBytes(m_root / "outside/victim.txt", "the victim");
        writeBytes(m_root / "outside/secret.txt", "the secret");
        // A file the user may not write, as /etc/passwd: replacing a link to it is no write to it.
        fs::permissions(m_root.path() / "outside/secret.txt", fs::perms::owner_read | fs::perms::group_read);
        fs::create_symlink("../outside/victim.txt", m_root.path() / "site/site.html");
        fs::create_symlink("../outside/created.txt", m_root.path() / "site/site.vsk");
        fs::create_symlink(m_root.path() / "outside/secret.txt", m_root.path() / "site/slider0.jpg");
        for (const char* name : {"site.html", "site.vsk", "slider0.jpg"})
            writeBytes(m_root.path() / "new" / name, std::string("new ") + name);
    }

    void publish(FolderUpdate::Links projectLinks) {
        FolderUpdate update(site());
        update.add(m_root / "new/slider0.jpg", "slider0.jpg");
        update.add(m_root / "new/site.html", "site.html");
        update.add(m_root / "new/site.vsk", "site.vsk", projectLinks);
        EXPECT_EQ(outside(), untouched()) << "nothing is written outside before the renames";
        update.commit();
    }

    std::string site() const {
        return (m_root.path() / "site/").string();
    }
    std::map<std::string, std::string> outside() const {
        return filesIn(m_root.path() / "outside");
    }
    static std::map<std::string, std::string> untouched() {
        return {{"victim.txt", "the victim"}, {"secret.txt", "the secret"}};
    }

    void expectPlainFiles() const {
        EXPECT_EQ(namesIn(site()), (std::set<std::string>{"site.html", "site.vsk", "slider0.jpg"}));
        for (const char* name : {"site.html", "site.vsk", "slider0.jpg"}) {
            EXPECT_FALSE(fs::is_symlink(site() + name)) << name;
            EXPECT_EQ(readBytes(site() + name), std::string("new ") + name);
        }
    }

    TemporaryFolder m_root;
};

} // namespace

TEST_F(FolderUpdateLinks, ReplacesLinksInsteadOfWritingWhereTheyLead) {
    publish(FolderUpdate::Links::Replace);
    EXPECT_EQ(outside(), untouched());
    expectPlainFiles();
}

TEST_F(FolderUpdateLinks, WritesNoFileWhereADanglingLinkLeadsEvenWhenAskedToWriteThrough) {
    publish(FolderUpdate::Links::WriteThrough);
    EXPECT_EQ(outside(), untouched());
    expectPlainFiles();
}

TEST_F(FolderUpdateLinks, WritesTheProjectFileThroughItsLinkWhenAsked) {
    fs::create_directories(m_root.path() / "projects");
    writeBytes(m_root / "projects/site.vsk", "old project");
    writeBytes(m_root / "projects/site.vsk.0123456789abcdef.tmp", "left by a killed run");
    writeBytes(m_root / "projects/other.vsk.0123456789abcdef.tmp", "another file's, kept");
    fs::remove(site() + "site.vsk");
    fs::create_symlink("../projects/site.vsk", site() + "site.vsk");
    publish(FolderUpdate::Links::WriteThrough);
    EXPECT_EQ(outside(), untouched());
    EXPECT_TRUE(fs::is_symlink(site() + "site.vsk"));
    EXPECT_EQ(filesIn(m_root.path() / "projects"),
              (std::map<std::string, std::string>{{"site.vsk", "new site.vsk"},
                                                  {"other.vsk.0123456789abcdef.tmp", "another file's, kept"}}));
}

TEST_F(FolderUpdateLinks, LeavesNoTemporaryFileOutsideWhenNotCommitted) {
    {
        FolderUpdate update(site());
        update.add(m_root / "new/site.html", "site.html");
        update.add(m_root / "new/site.vsk", "site.vsk", FolderUpdate::Links::WriteThrough);
        EXPECT_EQ(namesIn(site()).size(), 5u) << "the temporary files wait in the folder";
    }
    EXPECT_EQ(outside(), untouched());
    EXPECT_EQ(namesIn(site()), (std::set<std::string>{"site.html", "site.vsk", "slider0.jpg"}));
    EXPECT_TRUE(fs::is_symlink(site() + "site.html"));
}

namespace {

// Two runs of the program updating one folder: the other run, started by its FolderUpdateHolder, takes the
// folder's turn and adds page.html; this one then asks for the turn on a thread of its own.
class FolderUpdateTurns : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_root.path() / "site"); }

    void startOtherRun(const char* ending) {
        m_other.emplace(VESKARO_FOLDER_UPDATE_HOLDER,
                        std::vector<std::string>{site(), m_root / "holding", m_root / "release", ending});
        ASSERT_TRUE(m_other->started());
        for (int wait = 0; wait < 3000 && !fs::exists(m_root.path() / "holding"); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(fs::exists(m_root.path() / "holding")) << "the other run never took its turn";
    }

    // Updates page.html with "second" once the turn comes; the thread's end is waited for in the test.
    void updateHere() {
        writeBytes(m_root / "second.html", "second");
        m_here = std::jthread([this] {
            FolderUpdate update(site());
            m_gotTurn = true;
            m_leftoversSeen = temporaryFiles();
            update.add(m_root / "second.html", "page.html");
            update.commit();
        });
    }

    void releaseOtherRun() { writeBytes(m_root / "release", ""); }

    std::set<std::string> temporaryFiles() const {
        std::set<std::string> found;
        for (const std::string& name : namesIn(site()))
            if (name != "page.html")
                found.insert(name);
        return found;
    }

    std::string site() const { return (m_root.path() / "site/").string(); }

    TemporaryFolder m_root;
    std::atomic<bool> m_gotTurn = false;
    std::set<std::string> m_leftoversSeen;
    // Ended before this run's thread is joined, so that a failed test does not wait for its turn.
    std::jthread m_here;
    std::optional<veskaro::test::ChildProcess> m_other;
};

} // namespace

// Without turns, this run's tidying up would take away the file the other run is about to rename.
TEST_F(FolderUpdateTurns, TwoRunsUpdatingOneFolderTakeTurns) {
    startOtherRun("commit");
    ASSERT_EQ(temporaryFiles().size(), 1u) << "the other run's page waits beside its place";
    updateHere();
    // However long this run is let go, it must not start while the other holds the turn.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(m_gotTurn) << "the update started while another run held the folder's turn";
    EXPECT_EQ(temporaryFiles().size(), 1u);
    releaseOtherRun();
    EXPECT_EQ(m_other->wait(), 0) << "the other run's commit failed";
    m_here.join();
    EXPECT_TRUE(m_gotTurn);
    EXPECT_EQ(m_leftoversSeen, std::set<std::string>{}) << "the other run had renamed its file";
    EXPECT_EQ(filesIn(site()), (std::map<std::string, std::string>{{"page.html", "second"}}));
}

// The system ends a dead run's hold on the folder, and the next update removes what it left.
TEST_F(FolderUpdateTurns, ARunThatDiesHoldingTheTurnPassesItOn) {
    startOtherRun("die");
    updateHere();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(m_gotTurn);
    releaseOtherRun();
    EXPECT_EQ(m_other->wait(), 0);
    m_here.join();
    EXPECT_TRUE(m_gotTurn) << "the dead run's turn never ended";
    EXPECT_EQ(m_leftoversSeen, std::set<std::string>{}) << "the dead run's temporary file was removed first";
    EXPECT_EQ(filesIn(site()), (std::map<std::string, std::string>{{"page.html", "second"}}));
}

TEST_F(FolderUpdateLinks, ReplacesALinkEvenWhereItLeadsToTheSameBytes) {
    writeBytes(m_root / "new/same.txt", "the victim");
    fs::create_symlink("../outside/victim.txt", m_root.path() / "site/same.txt");
    FolderUpdate update(site());
    update.add(m_root / "new/same.txt", "same.txt");
    update.commit();
    EXPECT_FALSE(fs::is_symlink(site() + "same.txt"));
    EXPECT_EQ(readBytes(site() + "same.txt"), "the victim");
    EXPECT_EQ(outside(), untouched());
}

// A file in place and the file that is to replace it. Outside the anonymous namespace: GoogleTest's factory
// holds the parameter, and MinGW's GCC refuses a field of an unnamed namespace's type there.
struct SameBytesCase {
    const char* name;
    std::string before;
    std::string after;
    bool leftAlone;
};

void PrintTo(const SameBytesCase& c, std::ostream* out) {
    *out << c.name;
}

class FolderUpdateOfSameBytes : public testing::TestWithParam<SameBytesCase> {
protected:
    TemporaryFolder m_root;
};

TEST_P(FolderUpdateOfSameBytes, LeavesAFileAloneOnlyWhenItsBytesStay) {
    const SameBytesCase& row = GetParam();
    fs::create_directories(m_root.path() / "site");
    fs::create_directories(m_root.path() / "new");
    const fs::path file = m_root.path() / "site/file";
    writeBytes(file, row.before);
    writeBytes(m_root.path() / "new/file", row.after);
    // Whole seconds, which every file system keeps exactly (NTFS counts in 100 ns).
    const auto longAgo =
        std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now() - std::chrono::hours(3));
    fs::last_write_time(file, longAgo);
    {
        FolderUpdate update(m_root / "site/");
        update.add(m_root / "new/file", "file");
        update.commit();
    }
    EXPECT_EQ(readBytes(file), row.after);
    EXPECT_EQ(fs::last_write_time(file) == longAgo, row.leftAlone);
    EXPECT_EQ(namesIn(m_root.path() / "site"), std::set<std::string>{"file"});
}

INSTANTIATE_TEST_SUITE_P(
    FolderUpdate, FolderUpdateOfSameBytes,
    testing::Values(SameBytesCase{"sameBytes", "the page", "the page", true}, SameBytesCase{"bothEmpty", "", "", true},
                    SameBytesCase{"sameSizeOtherBytes", "the page", "the PAGE", false},
                    SameBytesCase{"longer", "the page", "the page!", false},
                    SameBytesCase{"shorter", "the page", "the pag", false},
                    SameBytesCase{"lastByteOnly", std::string(200000, 'a'), std::string(199999, 'a') + "b", false}),
    [](const testing::TestParamInfo<SameBytesCase>& row) { return std::string(row.param.name); });
