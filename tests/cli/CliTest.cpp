#include "TestFolders.h"

#include "PictureFixtures.h"
#include "imaging/PictureLoader.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>

using veskaro::test::readBytes;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

extern char** environ;

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// veskaro-cli started without waiting for it, its output going to files beside outputBase.
class CliProcess {
public:
    CliProcess(const std::vector<std::string>& arguments, std::string outputBase) : m_output(std::move(outputBase)) {
        std::vector<std::string> words{VESKARO_CLI};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (m_output + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, (m_output + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~CliProcess() { finish(); }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    /// Waits for the process and returns how it ended.
    Outcome finish() {
        if (m_pid > 0) {
            int status = 0;
            ::waitpid(m_pid, &status, 0);
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            m_pid = -1;
        }
        return {m_status, readBytes(m_output + ".out"), readBytes(m_output + ".err")};
    }

private:
    pid_t m_pid = -1;
    int m_status = -1;
    std::string m_output;
};

using Names = std::set<std::string>;

class VeskaroCli : public testing::Test {
protected:
    // Runs veskaro-cli through the shell; before is shell text run first in the same shell.
    Outcome run(const std::string& arguments, const std::string& before = "") {
        const std::string command = before + quoted(VESKARO_CLI) + " " + arguments + " >" +
                                    quoted(m_folders.root() / "out") + " 2>" + quoted(m_folders.root() / "err");
        const int status = std::system(command.c_str());
        return {WEXITSTATUS(status), readBytes(m_folders.root() / "out"), readBytes(m_folders.root() / "err")};
    }

    // Every file and folder below the program's data folder, relative to it.
    Names workFiles() {
        Names names;
        const fs::path data = m_folders.root().path() / "data/Tarnwell/Veskaro/1.0";
        std::error_code error;
        for (fs::recursive_directory_iterator entry(data, error), end; !error && entry != end; entry.increment(error))
            names.insert(fs::relative(entry->path(), data).string());
        return names;
    }

    // A copy of the bundled sample, pictures and all.
    std::string sample() {
        fs::copy(fs::path(VESKARO_SOURCE_DIR) / "data/samples/demo", m_folders.root().path() / "demo",
                 fs::copy_options::recursive);
        return m_folders.root() / "demo/demo.vsk";
    }

    veskaro::test::PerUserFolders m_folders;
};

} // namespace

TEST_F(VeskaroCli, AnswersHelpVersionAndUsageErrors) {
    const Outcome help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: veskaro-cli publish PROJECT.vsk [--to FOLDER] [--quiet]"), std::string::npos);
    EXPECT_EQ(run("--version").out, "veskaro-cli 1.0\n");
    for (const auto& [arguments, message] :
         {std::pair{"", "no command given"}, std::pair{"show x.vsk", "unknown command show"},
          std::pair{"publish", "no project file given"}, std::pair{"check a.vsk --to b", "--to belongs to publish"},
          std::pair{"publish a.vsk --fast", "unknown option --fast"}}) {
        const Outcome usage = run(arguments);
        EXPECT_EQ(usage.status, 2) << arguments;
        EXPECT_EQ(usage.err, std::string("veskaro-cli: ") + message + "\nTry 'veskaro-cli --help'.\n");
    }
}

TEST_F(VeskaroCli, LoadErrorsExitWithTwo) {
    const Outcome missing = run("check " + quoted(m_folders.root() / "none.vsk"));
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "veskaro-cli: File not found: " + (m_folders.root() / "none.vsk") + "\n");
    writeBytes(m_folders.root() / "other.vsk", "<Product_Name>\r\nOther\r\n");
    const Outcome foreign = run("publish " + quoted(m_folders.root() / "other.vsk"));
    EXPECT_EQ(foreign.status, 2);
    EXPECT_EQ(foreign.err, "veskaro-cli: This file wasn't saved by Veskaro 1.0, open failed!\n");
}

namespace {

constexpr int kPicturesPerProject = 150;

// A colour of its own for every picture of both projects: red counts the pictures, green tells the
// projects apart.
veskaro::test::Colour pictureColour(int project, int picture) {
    return {static_cast<std::uint8_t>(picture), static_cast<std::uint8_t>(60 + 120 * project),
            static_cast<std::uint8_t>(255 - picture)};
}

// Writes a project of many small solid-colour bitmaps into folder, sized like its slider so that each
// prepared picture is its colour alone, and returns the project file's path.
std::string writeSolidColourProject(const fs::path& folder, int number) {
    constexpr int kWidth = 8;
    constexpr int kHeight = 6;
    fs::create_directories(folder / "pictures");
    veskaro::TkvlAppletAgent project;
    project.SetDefaults();
    veskaro::TAppletData data = project.GetAppletData();
    data.sliderWidth = std::to_string(kWidth);
    data.sliderHeight = std::to_string(kHeight);
    project.SetAppletData(data);
    for (int k = 0; k < kPicturesPerProject; ++k) {
        const veskaro::test::Colour colour = pictureColour(number, k);
        veskaro::test::BmpSpec bitmap;
        bitmap.width = kWidth;
        bitmap.height = kHeight;
        for (int pixel = 0; pixel < kWidth * kHeight; ++pixel)
            bitmap.pixelData +=
                {static_cast<char>(colour[2]), static_cast<char>(colour[1]), static_cast<char>(colour[0])};
        const std::string name = "colour" + std::to_string(k) + ".bmp";
        writeBytes(folder / "pictures" / name, veskaro::test::makeBmp(bitmap));
        veskaro::TItemData item = veskaro::TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = "pictures/" + name;
        item.ILevel = "0";
        project.InsertItem(project.itemCount(), item);
    }
    veskaro::SilentProgressView progress;
    const std::string path = (folder / "colours.vsk").string();
    project.SaveToFile(path, progress);
    return path;
}

// The pictures of a published project whose pixels are not all their own colour, or that are missing.
std::vector<std::string> picturesOfTheWrongColour(const fs::path& folder, int number) {
    std::vector<std::string> wrong;
    for (int k = 0; k < kPicturesPerProject; ++k) {
        const std::string name = "slider" + std::to_string(k) + ".bmp";
        const veskaro::test::Colour expected = pictureColour(number, k);
        try {
            const veskaro::LoadedPicture picture = veskaro::loadPicture((folder / name).string());
            const std::vector<std::uint8_t>& pixels = picture.image.pixels;
            for (std::size_t i = 0; i < pixels.size(); i += 3)
                if (pixels[i] != expected[0] || pixels[i + 1] != expected[1] || pixels[i + 2] != expected[2]) {
                    wrong.push_back(name);
                    break;
                }
        } catch (const std::exception& error) {
            wrong.push_back(name + ": " + error.what());
        }
    }
    return wrong;
}

} // namespace

TEST_F(VeskaroCli, TwoPublishesAtOnceKeepEachProjectsOwnPictures) {
    const fs::path root = m_folders.root().path();
    const std::string projects[] = {writeSolidColourProject(root / "first", 0),
                                    writeSolidColourProject(root / "second", 1)};
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        CliProcess first({"publish", projects[0], "--quiet"}, (root / "first-run").string());
        CliProcess second({"publish", projects[1], "--quiet"}, (root / "second-run").string());
        const Outcome firstOutcome = first.finish();
        const Outcome secondOutcome = second.finish();
        EXPECT_EQ(firstOutcome.status, 0) << firstOutcome.err;
        EXPECT_EQ(secondOutcome.status, 0) << secondOutcome.err;
        EXPECT_EQ(picturesOfTheWrongColour(root / "first", 0), std::vector<std::string>{});
        EXPECT_EQ(picturesOfTheWrongColour(root / "second", 1), std::vector<std::string>{});
        for (const char* folder : {"first", "second"})
            for (int k = 0; k < kPicturesPerProject; ++k)
                fs::remove(root / folder / ("slider" + std::to_string(k) + ".bmp"));
    }
    EXPECT_EQ(workFiles(), Names{"Temp"}) << "each run removed its own folders";
}

TEST_F(VeskaroCli, ProjectFilesBeyondTheSizeLimitAreRefusedWithAMessage) {
    const std::string sparse = m_folders.root() / "huge.vsk";
    writeBytes(sparse, "");
    fs::resize_file(sparse, 3'000'000'000);
    for (const char* command : {"check ", "publish "}) {
        const Outcome huge = run(command + quoted(sparse));
        EXPECT_EQ(huge.status, 2) << command;
        EXPECT_EQ(huge.err, "veskaro-cli: The project file " + sparse +
                                " is larger than 64 MiB, which no slider project comes near. Nothing was loaded.\n");
        const Outcome endless = run(command + std::string("/dev/zero"));
        EXPECT_EQ(endless.status, 2) << command;
        EXPECT_EQ(endless.err, "veskaro-cli: The project file /dev/zero is not a regular file. Nothing was loaded.\n");
    }
}

TEST_F(VeskaroCli, ADeletedWorkingFolderGivesAMessageNotAnAbort) {
    const std::string project = sample();
    const std::string gone = quoted(m_folders.root() / "gone");
    const std::string leaveAndDelete = "mkdir " + gone + " && cd " + gone + " && rmdir \"$PWD\" && ";
    const Outcome relativeTo = run("publish " + quoted(project) + " --to site", leaveAndDelete);
    EXPECT_EQ(relativeTo.status, 2);
    const std::string why = " cannot be resolved: the working folder cannot be found (No such file or directory)\n";
    EXPECT_EQ(relativeTo.err, "veskaro-cli: the relative path site" + why);
    const Outcome relativeProject = run("publish demo.vsk", leaveAndDelete);
    EXPECT_EQ(relativeProject.status, 2);
    EXPECT_EQ(relativeProject.err, "veskaro-cli: the relative path demo.vsk" + why);
    EXPECT_EQ(workFiles(), Names{});
}

TEST_F(VeskaroCli, AWindows1252ProjectIsReadAndPublishedAsUtf8) {
    const fs::path folder = m_folders.root().path() / "older";
    const std::string project = writeSolidColourProject(folder, 0);
    // The older program wrote the system's code page: "é" as 0xE9, "€" as 0x80, quotes as 0x93 and 0x94.
    std::string text = readBytes(project);
    const std::string firstPath = "pictures/colour0.bmp";
    text.replace(text.find(firstPath), firstPath.size(), "pictures/caf\xE9.bmp");
    const std::string target = "#$@_self#$@";
    text.replace(text.find(target), target.size(),
                 "#$@_self#$@Caf\xE9 \x80 5 \x93"
                 "fresh\x94");
    writeBytes(project, text);
    // The picture's name on disk is UTF-8, as file names are on this system.
    fs::rename(folder / "pictures/colour0.bmp", folder / "pictures/caf\xC3\xA9.bmp");

    const Outcome published = run("publish " + quoted(project) + " --quiet");
    ASSERT_EQ(published.status, 0) << published.err;
    const std::string saved = readBytes(project);
    EXPECT_NE(saved.find("#$@pictures/caf\xC3\xA9.bmp#$@"), std::string::npos);
    EXPECT_NE(saved.find("#$@Caf\xC3\xA9 \xE2\x82\xAC 5 \xE2\x80\x9C"
                         "fresh\xE2\x80\x9D#$@"),
              std::string::npos);
    EXPECT_NE(readBytes(folder / "colours.html").find("Caf\xC3\xA9 \xE2\x82\xAC 5"), std::string::npos);
    EXPECT_EQ(picturesOfTheWrongColour(folder, 0), std::vector<std::string>{}) << "the converted path was found";
}

TEST_F(VeskaroCli, PublishesTheSampleIntoAnotherFolderAndSaysWhatItWrote) {
    const std::string project = sample();
    const std::string site = m_folders.root() / "new site with blanks/";
    const Outcome published = run("publish " + quoted(project) + " --to " + quoted(site));
    ASSERT_EQ(published.status, 0) << published.err;
    EXPECT_EQ(published.out, site + "demo.html\n" + site + "jslib.js\n" + site + "slidervsk.js\n" + site +
                                 "DemoSlider.css\n" + site + "slider0.jpg\n" + site + "slider1.jpg\n" + site +
                                 "slider2.gif\n" + site + "demo.vsk\n" + site + "demo_PublishReport.txt\n");
    EXPECT_NE(published.err.find("image 3/3: meadow.gif\n"), std::string::npos) << published.err;
    EXPECT_EQ(readBytes(site + "demo.vsk"), readBytes(project)) << "relative picture paths stay relative";
    EXPECT_FALSE(fs::exists(m_folders.root() / "data/Tarnwell/Veskaro/1.0/Preview")) << "the Preview folder is cleared";

    const Outcome quiet = run("publish " + quoted(project) + " --quiet");
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
    EXPECT_TRUE(fs::exists(m_folders.root() / "demo/demo.html"));

    veskaro::test::writeBytes(m_folders.root() / "blocker", "a file");
    const Outcome blocked =
        run("publish " + quoted(project) + " --quiet --to " + quoted(m_folders.root() / "blocker/site"));
    EXPECT_EQ(blocked.status, 2);
    EXPECT_EQ(blocked.err, "veskaro-cli: the folder " + (m_folders.root() / "blocker/site/") + " cannot be made\n");
}

TEST_F(VeskaroCli, FailedPublishExitsWithOneAndKeepsTheProjectFile) {
    const std::string project = sample();
    writeBytes(m_folders.root() / "demo/pictures/harbour.jpg", "\xff\xd8\xff\xe0 not really");
    const std::string before = readBytes(project);
    // The bundled sample carries its published page; a failed publish leaves it as it was.
    const std::string pageBefore = readBytes(m_folders.root() / "demo/demo.html");
    const Outcome failed = run("publish " + quoted(project) + " --quiet");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err.rfind("veskaro-cli: publishing failed: JPEG error #", 0), 0u) << failed.err;
    EXPECT_EQ(readBytes(project), before);
    EXPECT_EQ(readBytes(m_folders.root() / "demo/demo.html"), pageBefore);
    // The first picture was prepared before the second failed; neither it nor the run's folders stay.
    EXPECT_EQ(workFiles(), Names{"Temp"});
}

TEST_F(VeskaroCli, CheckExitsWithOneOnFindings) {
    const std::string project = sample();
    const Outcome clean = run("check " + quoted(project));
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "Nothing found: the project is ready to publish.\n");

    fs::remove(m_folders.root() / "demo/pictures/dunes.jpg");
    const Outcome findings = run("check " + quoted(project));
    EXPECT_EQ(findings.status, 1);
    EXPECT_EQ(findings.out,
              "Item 1 (dunes.jpg): the source picture pictures/dunes.jpg does not exist.\n1 finding(s).\n");
    EXPECT_TRUE(fs::is_empty(m_folders.root().path() / "data")) << "check writes nothing";
}
