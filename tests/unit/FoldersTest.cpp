#include "TestFolders.h"

#include "platform/Places.h"
#include "platform/VeskaroError.h"
#include "platform/WorkRun.h"

#include <gtest/gtest.h>

#include <thread>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace veskaro;
using veskaro::test::namesIn;
using veskaro::test::native;
using veskaro::test::PerUserFolders;
using veskaro::test::readBytes;
using veskaro::test::ScopedEnvironment;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

namespace {

std::string errorOf(const Places& places, std::string (Places::*folder)() const) {
    try {
        (places.*folder)();
    } catch (const VeskaroError& error) {
        return error.what();
    }
    return "no error";
}

constexpr const char* kDataFailure =
    "Failed to create data folder at application data path! Please contact vendor for help! Thank you!";
constexpr const char* kTempFailure =
    "Failed to create temp folder at application data path! Please contact vendor for help! Thank you!";
constexpr const char* kPreviewFailure =
    "Failed to create preview folder at application data path! Please contact vendor for help! Thank you!";
constexpr const char* kStagingFailure =
    "Failed to create staging folder at application data path! Please contact vendor for help! Thank you!";

// The words the user knows, then the folder that could not be made and the system's reason for it.
void expectFolderFailure(const std::string& error, const char* message, const std::string& folder) {
    const std::string start = std::string(message) + " (" + folder + ": ";
    EXPECT_EQ(error.substr(0, start.size()), start);
    EXPECT_GT(error.size(), start.size() + 1) << error;
    EXPECT_EQ(error.back(), ')') << error;
}

} // namespace

TEST(Folders, EnsureTrailingBackslashAddsTheDelimiterOnce) {
    std::string path = native("/tmp/a");
    EnsureTrailingBackslash(path);
    EXPECT_EQ(path, native("/tmp/a/"));
    EnsureTrailingBackslash(path);
    EXPECT_EQ(path, native("/tmp/a/"));
    std::string empty;
    EnsureTrailingBackslash(empty);
    EXPECT_EQ(empty, native("/"));
}

TEST(Folders, WorkFoldersLieBelowTheProgramLevelsOfTheDataFolder) {
    PerUserFolders folders;
    const Places places = folders.placesOfThisSystem();
    const std::string data = folders.root() / "data";
    const std::string run = places.runName();
    EXPECT_TRUE(WorkRun::isRunName(run)) << run;
    EXPECT_EQ(places.GetAppDataFolder(), native(data + "/Tarnwell/Veskaro/1.0/"));
    EXPECT_EQ(places.GetPreviewFolder(), native(data + "/Tarnwell/Veskaro/1.0/Preview/" + run + "/"));
    EXPECT_EQ(places.GetTempFolder(), native(data + "/Tarnwell/Veskaro/1.0/Temp/" + run + "/"));
    EXPECT_EQ(places.GetStagingFolder(), native(data + "/Tarnwell/Veskaro/1.0/Staging/" + run + "/"));
    EXPECT_EQ(places.GetSharedTempFolder(), native(data + "/Tarnwell/Veskaro/1.0/Temp/"));
    EXPECT_TRUE(fs::is_directory(data + "/Tarnwell/Veskaro/1.0/Preview/" + run));
    EXPECT_TRUE(fs::is_directory(data + "/Tarnwell/Veskaro/1.0/Staging/" + run));
    EXPECT_EQ(places.GetDocumentsFolder(), native((folders.root() / "documents") + "/Tarnwell/Veskaro/1.0/"));
    EXPECT_TRUE(fs::is_directory(folders.root() / "documents/Tarnwell/Veskaro/1.0"));
    EXPECT_EQ(places.GetPicturesFolder(), folders.root() / "pictures");

#ifndef _WIN32
    ScopedEnvironment elsewhere("XDG_DATA_HOME", folders.root() / "elsewhere");
    EXPECT_EQ(places.GetTempFolder(), native(data + "/Tarnwell/Veskaro/1.0/Temp/" + run + "/"))
        << "the places are resolved once";
#endif
}

TEST(Folders, CreatesMissingLevelsInOrderAndAgainAfterDeletion) {
    PerUserFolders folders;
    const Places places = folders.placesOfThisSystem();
    const std::string data = folders.root() / "data";
    places.GetAppDataFolder();
    fs::remove_all(data + "/Tarnwell");
    const std::string temp = places.GetTempFolder();
    EXPECT_EQ(temp, native(data + "/Tarnwell/Veskaro/1.0/Temp/" + places.runName() + "/"));
    EXPECT_TRUE(fs::is_directory(temp));
    EXPECT_FALSE(fs::exists(data + "/Tarnwell/Veskaro/1.0/Preview")) << "only what was asked for is made";

    fs::remove_all(data + "/Tarnwell/Veskaro/1.0/Preview");
    EXPECT_TRUE(fs::is_directory(places.GetPreviewFolder())) << "nothing is cached between calls";
}

TEST(Folders, MissingBasesGiveTheirMessages) {
    PerUserFolders folders;
    veskaro::test::writeBytes(folders.root() / "blocker", "a file, not a folder");
    {
#ifdef _WIN32
        const Places places({"", "", folders.root() / "blocker/data", "", ""});
#else
        ScopedEnvironment data("XDG_DATA_HOME", folders.root() / "blocker/data");
        const Places places = Places::ofThisSystem();
#endif
        const std::string retrieve =
            "Failed to retrieve application data path! Please contact vendor for help! Thank you!";
        EXPECT_EQ(errorOf(places, &Places::GetAppDataFolder), retrieve);
        EXPECT_EQ(errorOf(places, &Places::GetPreviewFolder), retrieve);
        EXPECT_EQ(errorOf(places, &Places::GetTempFolder), retrieve);
    }
    {
#ifdef _WIN32
        const Places places({"", "", "", folders.root() / "no such folder", ""});
#else
        ScopedEnvironment documents("XDG_DOCUMENTS_DIR", folders.root() / "no such folder");
        const Places places = Places::ofThisSystem();
#endif
        EXPECT_EQ(errorOf(places, &Places::GetDocumentsFolder),
                  "Failed to retrieve my documents path! Please contact vendor for help! Thank you!");
    }
    const Places places = folders.placesOfThisSystem();
    veskaro::test::writeBytes(folders.root() / "documents/Tarnwell", "a file where a level belongs");
    expectFolderFailure(errorOf(places, &Places::GetDocumentsFolder), kDataFailure,
                        folders.root() / "documents/Tarnwell");

    places.GetAppDataFolder();
    const std::string level = folders.root() / "data/Tarnwell/Veskaro/1.0";
    veskaro::test::writeBytes(level + "/Temp", "a file");
    // Every run folder needs the shared Temp folder first: the failure names the folder that failed.
    for (auto folder :
         {&Places::GetTempFolder, &Places::GetSharedTempFolder, &Places::GetPreviewFolder, &Places::GetStagingFolder})
        expectFolderFailure(errorOf(places, folder), kTempFailure, native(level + "/Temp"));
    fs::remove(level + "/Temp");
    veskaro::test::writeBytes(level + "/Preview", "a file");
    expectFolderFailure(errorOf(places, &Places::GetPreviewFolder), kPreviewFailure, native(level + "/Preview"));
    fs::create_directories(level + "/Staging");
    veskaro::test::writeBytes(level + "/Staging/" + places.runName(), "a file where the run's folder belongs");
    expectFolderFailure(errorOf(places, &Places::GetStagingFolder), kStagingFailure,
                        native(level + "/Staging/" + places.runName()));
}

// Two first starts at once walk the same fresh levels: a level the other run made between this run's test
// and its creation is no failure.
TEST(Folders, RunsStartingAtOnceOnAFreshDataFolderBothGetTheirFolders) {
    PerUserFolders folders;
    for (int round = 0; round < 20; ++round) {
        fs::remove_all(folders.root() / "data/Tarnwell");
        std::vector<std::string> errors(4);
        std::vector<std::thread> runs;
        for (std::string& error : errors)
            runs.emplace_back([&error] { error = errorOf(Places::ofThisSystem(), &Places::GetPreviewFolder); });
        for (std::thread& run : runs)
            run.join();
        for (const std::string& error : errors)
            ASSERT_EQ(error, "no error") << "round " << round;
    }
}

TEST(Folders, DataHomeIsCreatedWhenAbsentAndDocumentsFollowTheUserDirsFile) {
#ifdef _WIN32
    GTEST_SKIP() << "XDG folders only: Windows takes them from the shell (WindowsFolders tests)";
#endif
    PerUserFolders folders;
    ScopedEnvironment data("XDG_DATA_HOME", folders.root() / "fresh/share");
    EXPECT_EQ(Places::ofThisSystem().GetAppDataFolder(), (folders.root() / "fresh/share") + "/Tarnwell/Veskaro/1.0/");

    veskaro::test::setEnvironment("XDG_DOCUMENTS_DIR", nullptr);
    veskaro::test::setEnvironment("XDG_PICTURES_DIR", nullptr);
    // The file is shell text: a later line wins, and lines naming no absolute folder count for nothing.
    fs::create_directories(folders.root() / "home/My \"Dokumente\" $5");
    veskaro::test::writeBytes(folders.root() / "config/user-dirs.dirs",
                              "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"/srv/old\"\n"
                              "  XDG_DOCUMENTS_DIR = \"$HOME/My \\\"Dokumente\\\" \\$5/\" # renamed\n"
                              "XDG_PICTURES_DIR=\"Pictures\"\nXDG_PICTURES_DIR=\"$HOMEWORK/Pictures\"\n");
    const Places places = Places::ofThisSystem();
    EXPECT_EQ(places.GetDocumentsFolder(), (folders.root() / "home/My \"Dokumente\" $5") + "/Tarnwell/Veskaro/1.0/");
    EXPECT_EQ(places.GetPicturesFolder(), folders.root() / "home") << "an unnamed user folder is the home folder";
}

namespace {

using Names = std::set<std::string>;

// The work folders of every run below the data folder of folders, as "Preview/run-..." and so on.
Names runFolders(const PerUserFolders& folders) {
    Names found;
    for (const char* work : {"Preview", "Temp", "Staging"})
        for (const std::string& name : namesIn(folders.root().path() / "data/Tarnwell/Veskaro/1.0" / work))
            if (WorkRun::isRunName(name))
                found.insert(std::string(work) + "/" + name);
    return found;
}

Names foldersOfRun(const std::string& run) {
    return {"Preview/" + run, "Staging/" + run, "Temp/" + run};
}

Names operator|(Names a, const Names& b) {
    a.insert(b.begin(), b.end());
    return a;
}

// Puts a file into each folder of a run that claims them in another process and ends there without
// tidying up, as a killed program ends; returns the run's name.
std::string runThatDied(const PerUserFolders& folders) {
#ifdef _WIN32
    const std::string output = folders.root() / "run-that-died.txt";
    const std::string command =
        "\"\"" VESKARO_RUN_THAT_DIES "\" \"" + (folders.root() / "data") + "\" >\"" + output + "\"\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return readBytes(output);
#else
    const Places places = folders.places();
    if (const pid_t child = ::fork(); child == 0) {
        for (const std::string& folder : {places.GetPreviewFolder(), places.GetTempFolder(), places.GetStagingFolder()})
            writeBytes(folder + "slider0.jpg", "prepared");
        ::_exit(0);
    } else {
        ::waitpid(child, nullptr, 0);
    }
    return places.runName();
#endif
}

} // namespace

TEST(Folders, EachRunWorksInFoldersOfItsOwnThatGoWhenItEnds) {
    PerUserFolders folders;
    const fs::path shared = folders.root().path() / "data/Tarnwell/Veskaro/1.0";
    auto first = std::make_unique<Places>(folders.places());
    auto second = std::make_unique<Places>(folders.places());
    const std::string firstRun = first->runName();
    const std::string secondRun = second->runName();
    EXPECT_NE(firstRun, secondRun);
    writeBytes(first->GetPreviewFolder() + "slider0.jpg", "first");
    writeBytes(second->GetPreviewFolder() + "slider0.jpg", "second");
    EXPECT_EQ(readBytes(first->GetPreviewFolder() + "slider0.jpg"), "first");
    first->GetTempFolder();
    first->GetStagingFolder();
    second->GetTempFolder();
    EXPECT_EQ(first->GetSharedTempFolder(), second->GetSharedTempFolder());
    writeBytes(first->GetSharedTempFolder() + "recentfile.dat", "&1 /p/a.vsk\r\n");

    auto copy = std::make_unique<Places>(*first);
    EXPECT_EQ(copy->GetPreviewFolder(), first->GetPreviewFolder()) << "a copy works in the same run";
    first.reset();
    EXPECT_EQ(runFolders(folders), (foldersOfRun(firstRun) | Names{"Preview/" + secondRun, "Temp/" + secondRun}))
        << "the run lasts while a copy of its places does";

    copy.reset();
    EXPECT_EQ(runFolders(folders), (Names{"Preview/" + secondRun, "Temp/" + secondRun}));
    EXPECT_EQ(namesIn(shared / "Temp"), (Names{"recentfile.dat", secondRun, secondRun + ".lock"}));
    EXPECT_FALSE(fs::exists(shared / "Staging")) << "an emptied shared folder goes too";

    second.reset();
    EXPECT_EQ(namesIn(shared), (Names{"Temp"}));
    EXPECT_EQ(namesIn(shared / "Temp"), Names{"recentfile.dat"}) << "the recent-files list is shared and stays";
}

TEST(Folders, AStartRemovesWhatEndedRunsLeftAndKeepsWhatLiveRunsHold) {
    PerUserFolders folders;
    const fs::path shared = folders.root().path() / "data/Tarnwell/Veskaro/1.0";
    const std::string died = runThatDied(folders);
    const Places live = folders.places();
    for (const std::string& folder : {live.GetPreviewFolder(), live.GetTempFolder(), live.GetStagingFolder()})
        writeBytes(folder + "slider0.jpg", "prepared");
    ASSERT_EQ(runFolders(folders), foldersOfRun(live.runName()) | foldersOfRun(died));
    // A folder whose lock file is gone, and files that are no run's.
    fs::create_directories(shared / "Staging/run-1-0123456789abcdef");
    fs::create_directories(shared / "Preview/run-notours");
    writeBytes(shared / "Preview/holiday.jpg", "not a run's");
    writeBytes(shared / "Temp/recentfile.dat", "&1 /p/a.vsk\r\n");

    folders.placesOfThisSystem();
    EXPECT_EQ(runFolders(folders), foldersOfRun(live.runName()));
    EXPECT_EQ(readBytes(live.GetPreviewFolder() + "slider0.jpg"), "prepared");
    EXPECT_EQ(namesIn(shared / "Preview"), (Names{"holiday.jpg", "run-notours", live.runName()}));
    EXPECT_EQ(namesIn(shared / "Temp"), (Names{"recentfile.dat", live.runName(), live.runName() + ".lock"}));
}

TEST(Folders, ARunTakesItsLockAgainWhenItWasRemoved) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows does not let the lock file of a live run be removed";
#endif
    PerUserFolders folders;
    const Places places = folders.places();
    const fs::path lock = folders.root().path() / "data/Tarnwell/Veskaro/1.0/Temp" / (places.runName() + ".lock");
    places.GetPreviewFolder();
    ASSERT_TRUE(fs::exists(lock));
    fs::remove_all(folders.root().path() / "data/Tarnwell");
    writeBytes(places.GetPreviewFolder() + "slider0.jpg", "prepared");
    EXPECT_TRUE(fs::exists(lock));
    Places::ofThisSystem();
    EXPECT_EQ(readBytes(places.GetPreviewFolder() + "slider0.jpg"), "prepared") << "the run still works";
}
