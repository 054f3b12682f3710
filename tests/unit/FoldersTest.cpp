#include "TestFolders.h"

#include "platform/Places.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

using namespace veskaro;
using veskaro::test::PerUserFolders;
using veskaro::test::ScopedEnvironment;
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

} // namespace

TEST(Folders, EnsureTrailingBackslashAddsTheDelimiterOnce) {
    std::string path = "/tmp/a";
    EnsureTrailingBackslash(path);
    EXPECT_EQ(path, "/tmp/a/");
    EnsureTrailingBackslash(path);
    EXPECT_EQ(path, "/tmp/a/");
    std::string empty;
    EnsureTrailingBackslash(empty);
    EXPECT_EQ(empty, "/");
}

TEST(Folders, WorkFoldersLieBelowTheProgramLevelsOfTheDataFolder) {
    PerUserFolders folders;
    const Places places = Places::ofThisSystem();
    const std::string data = folders.root() / "data";
    EXPECT_EQ(places.GetAppDataFolder(), data + "/Tarnwell/Veskaro/1.0/");
    EXPECT_EQ(places.GetPreviewFolder(), data + "/Tarnwell/Veskaro/1.0/Preview/");
    EXPECT_EQ(places.GetTempFolder(), data + "/Tarnwell/Veskaro/1.0/Temp/");
    EXPECT_EQ(places.GetStagingFolder(), data + "/Tarnwell/Veskaro/1.0/Staging/");
    EXPECT_TRUE(fs::is_directory(data + "/Tarnwell/Veskaro/1.0/Preview"));
    EXPECT_TRUE(fs::is_directory(data + "/Tarnwell/Veskaro/1.0/Staging"));
    EXPECT_EQ(places.GetDocumentsFolder(), (folders.root() / "documents") + "/Tarnwell/Veskaro/1.0/");
    EXPECT_TRUE(fs::is_directory(folders.root() / "documents/Tarnwell/Veskaro/1.0"));
    EXPECT_EQ(places.GetPicturesFolder(), folders.root() / "pictures");

    ScopedEnvironment elsewhere("XDG_DATA_HOME", folders.root() / "elsewhere");
    EXPECT_EQ(places.GetTempFolder(), data + "/Tarnwell/Veskaro/1.0/Temp/") << "the places are resolved once";
}

TEST(Folders, CreatesMissingLevelsInOrderAndAgainAfterDeletion) {
    PerUserFolders folders;
    const Places places = Places::ofThisSystem();
    const std::string data = folders.root() / "data";
    places.GetAppDataFolder();
    fs::remove_all(data + "/Tarnwell");
    const std::string temp = places.GetTempFolder();
    EXPECT_EQ(temp, data + "/Tarnwell/Veskaro/1.0/Temp/");
    EXPECT_TRUE(fs::is_directory(temp));
    EXPECT_FALSE(fs::exists(data + "/Tarnwell/Veskaro/1.0/Preview")) << "only what was asked for is made";

    fs::remove_all(data + "/Tarnwell/Veskaro/1.0/Preview");
    EXPECT_TRUE(fs::is_directory(places.GetPreviewFolder())) << "nothing is cached between calls";
}

TEST(Folders, MissingBasesGiveTheirMessages) {
    PerUserFolders folders;
    veskaro::test::writeBytes(folders.root() / "blocker", "a file, not a folder");
    {
        ScopedEnvironment data("XDG_DATA_HOME", folders.root() / "blocker/data");
        const Places places = Places::ofThisSystem();
        const std::string retrieve =
            "Failed to retrieve application data path! Please contact vendor for help! Thank you!";
        EXPECT_EQ(errorOf(places, &Places::GetAppDataFolder), retrieve);
        EXPECT_EQ(errorOf(places, &Places::GetPreviewFolder), retrieve);
        EXPECT_EQ(errorOf(places, &Places::GetTempFolder), retrieve);
    }
    {
        ScopedEnvironment documents("XDG_DOCUMENTS_DIR", folders.root() / "no such folder");
        const Places places = Places::ofThisSystem();
        EXPECT_EQ(errorOf(places, &Places::GetDocumentsFolder),
                  "Failed to retrieve my documents path! Please contact vendor for help! Thank you!");
    }
    const Places places = Places::ofThisSystem();
    veskaro::test::writeBytes(folders.root() / "documents/Tarnwell", "a file where a level belongs");
    EXPECT_EQ(errorOf(places, &Places::GetDocumentsFolder),
              "Failed to create data folder at application data path! Please contact vendor for help! Thank you!");

    places.GetAppDataFolder();
    veskaro::test::writeBytes(folders.root() / "data/Tarnwell/Veskaro/1.0/Temp", "a file");
    EXPECT_EQ(errorOf(places, &Places::GetTempFolder),
              "Failed to create temp folder at application data path! Please contact vendor for help! Thank you!");
    veskaro::test::writeBytes(folders.root() / "data/Tarnwell/Veskaro/1.0/Preview", "a file");
    EXPECT_EQ(errorOf(places, &Places::GetPreviewFolder),
              "Failed to create preview folder at application data path! Please contact vendor for help! Thank you!");
    veskaro::test::writeBytes(folders.root() / "data/Tarnwell/Veskaro/1.0/Staging", "a file");
    EXPECT_EQ(errorOf(places, &Places::GetStagingFolder),
              "Failed to create staging folder at application data path! Please contact vendor for help! Thank you!");
}

TEST(Folders, DataHomeIsCreatedWhenAbsentAndDocumentsFollowTheUserDirsFile) {
    PerUserFolders folders;
    ScopedEnvironment data("XDG_DATA_HOME", folders.root() / "fresh/share");
    EXPECT_EQ(Places::ofThisSystem().GetAppDataFolder(), (folders.root() / "fresh/share") + "/Tarnwell/Veskaro/1.0/");

    ::unsetenv("XDG_DOCUMENTS_DIR");
    ::unsetenv("XDG_PICTURES_DIR");
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
