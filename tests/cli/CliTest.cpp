#include "TestFolders.h"
#include "WindowsShellFolders.h"

#include "PictureFixtures.h"
#include "imaging/BmpCodec.h"
#include "imaging/PictureLoader.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>

#include <cstdlib>
#include <thread>
#include <vector>

using veskaro::test::readBytes;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

#ifdef _WIN32
// The test names no path with a quote in it; backslashes before the closing quote are doubled, or it would
// count as part of the argument.
std::string quoted(const std::string& text) {
    std::string out = "\"" + text;
    for (std::size_t end = text.size(); end > 0 && text[end - 1] == '\\'; --end)
        out += '\\';
    return out + "\"";
}

// The console's text streams end Windows lines with CR LF; the expectations are written with LF.
std::string consoleText(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

// Runs a command line through cmd.exe and returns the program's exit status. cmd takes a line that starts
// with a quote apart unless the whole line is quoted once more. std::system gives -1 when it could not start
// cmd.exe at all, as Wine on a busy machine now and then does: the program never ran, so it is started again.
int runCommand(const std::string& command) {
    int status = -1;
    for (int attempt = 0; attempt < 3 && status == -1; ++attempt)
        status = std::system(("\"" + command + "\"").c_str());
    return status;
}
#else
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a command line through the shell and returns the program's exit status.
int runCommand(const std::string& command) {
    return WEXITSTATUS(std::system(command.c_str()));
}

std::string consoleText(std::string text) {
    return text;
}
#endif

using Names = std::set<std::string>;

class VeskaroCli : public testing::Test {
protected:
    // Runs veskaro-cli through the shell; before is shell text run first in the same shell.
    Outcome run(const std::string& arguments, const std::string& before = "") {
        const std::string command = before + quoted(VESKARO_CLI) + " " + arguments + " >" +
                                    quoted(m_folders.root() / "out") + " 2>" + quoted(m_folders.root() / "err");
        const int status = runCommand(command);
        return {status, consoleText(readBytes(m_folders.root() / "out")),
                consoleText(readBytes(m_folders.root() / "err"))};
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

    // Writes the sample project to path with the first occurrence of each text replaced, as an edited
    // project file could read.
    std::string editedSample(const std::string& path, const std::vector<std::pair<std::string, std::string>>& edits) {
        std::string text = readBytes(fs::path(VESKARO_SOURCE_DIR) / "data/samples/demo/demo.vsk");
        for (const auto& [from, to] : edits)
            text.replace(text.find(from), from.size(), to);
        fs::create_directories(fs::path(path).parent_path());
        writeBytes(path, text);
        return path;
    }

    veskaro::test::PerUserFolders m_folders;
#ifdef _WIN32
    // The program takes its folders from the shell: moved here for its runs, as XDG_DATA_HOME moves them
    // on Linux.
    veskaro::test::MovedShellFolder m_appData{L"AppData", m_folders.root().path().wstring() + L"\\data"};
    veskaro::test::MovedShellFolder m_documents{L"Personal", m_folders.root().path().wstring() + L"\\documents"};
    veskaro::test::MovedShellFolder m_cache{L"Local AppData", m_folders.root().path().wstring() + L"\\cache"};
#endif
};

} // namespace

TEST_F(VeskaroCli, AnswersHelpVersionAndUsageErrors) {
    const Outcome help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(
        help.out.find(
            "Usage: veskaro-cli publish PROJECT.vsk [--to FOLDER] [--jobs N] [--replace] [--no-cache] [--strict]"),
        std::string::npos);
    EXPECT_EQ(run("--version").out, "veskaro-cli 1.0\n");
    for (const auto& [arguments, message] :
         {std::pair{"", "no command given"}, std::pair{"show x.vsk", "unknown command show"},
          std::pair{"publish", "no project file given"}, std::pair{"check a.vsk --to", "--to needs a folder"},
          std::pair{"publish a.vsk --fast", "unknown option --fast"},
          std::pair{"publish a.vsk --jobs 0", "--jobs must be a whole number from 1 to 64, not '0'"},
          std::pair{"check a.vsk --jobs 2", "--jobs belongs to publish"},
          std::pair{"check a.vsk --replace", "--replace belongs to publish"},
          std::pair{"check a.vsk --no-cache", "--no-cache belongs to publish"},
          std::pair{"cache", "cache needs what to do: clear"}, std::pair{"cache empty", "unknown cache command empty"},
          std::pair{"cache clear --no-cache", "cache clear takes no options but --quiet"}}) {
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
    fs::create_directories(folder / "pictures");
    veskaro::TkvlAppletAgent project;
    project.SetDefaults();
    veskaro::TAppletData data = project.GetAppletData();
    data.sliderWidth = "8";
    data.sliderHeight = "6";
    project.SetAppletData(data);
    for (int k = 0; k < kPicturesPerProject; ++k) {
        const veskaro::test::Colour colour = pictureColour(number, k);
        veskaro::test::BmpSpec bitmap;
        bitmap.width = 8;
        bitmap.height = 6;
        for (int pixel = 0; pixel < 8 * 6; ++pixel)
            bitmap.pixelData += {char(colour[2]), char(colour[1]), char(colour[0])};
        const std::string name = "pictures/colour" + std::to_string(k) + ".bmp";
        writeBytes(folder / name, veskaro::test::makeBmp(bitmap));
        veskaro::TItemData item = veskaro::TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = name;
        item.ILevel = "0";
        project.InsertItem(k, item);
    }
    veskaro::SilentProgressView progress;
    project.SaveToFile((folder / "colours.vsk").string(), progress);
    return (folder / "colours.vsk").string();
}

// The pictures of a published project that are missing or not wholly their own colour.
std::vector<std::string> picturesOfTheWrongColour(const fs::path& folder, int number) {
    std::vector<std::string> wrong;
    for (int k = 0; k < kPicturesPerProject; ++k) {
        const std::string name = "slider" + std::to_string(k) + ".bmp";
        const veskaro::test::Colour colour = pictureColour(number, k);
        std::vector<std::uint8_t> expected;
        for (int pixel = 0; pixel < 8 * 6; ++pixel)
            expected.insert(expected.end(), colour.begin(), colour.end());
        try {
            if (veskaro::loadPicture((folder / name).string()).image.pixels != expected)
                wrong.push_back(name);
        } catch (const std::exception& error) {
            wrong.push_back(name + ": " + error.what());
        }
    }
    return wrong;
}

} // namespace

TEST_F(VeskaroCli, TwoPublishesAtOnceKeepEachProjectsOwnPictures) {
    const fs::path root = m_folders.root().path();
#ifdef _WIN32
    // Two threads, each waiting for its own run through cmd.exe, so that both runs work at once.
    std::vector<std::string> commands;
    for (int number : {0, 1}) {
        const fs::path folder = root / ("project" + std::to_string(number));
        commands.push_back(quoted(VESKARO_CLI) + " publish " + quoted(writeSolidColourProject(folder, number)) +
                           " --quiet 2>" + quoted((folder / "err").string()));
    }
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int statuses[2] = {-1, -1};
        {
            std::jthread first([&] { statuses[0] = runCommand(commands[0]); });
            std::jthread second([&] { statuses[1] = runCommand(commands[1]); });
        }
        for (int number : {0, 1}) {
            const fs::path folder = root / ("project" + std::to_string(number));
            EXPECT_EQ(statuses[number], 0) << readBytes(folder / "err");
            EXPECT_EQ(picturesOfTheWrongColour(folder, number), std::vector<std::string>{});
            for (int k = 0; k < kPicturesPerProject; ++k)
                fs::remove(folder / ("slider" + std::to_string(k) + ".bmp"));
        }
    }
#else
    std::string both;
    for (int number : {0, 1}) {
        // Each run writes its exit status and messages into files of its own; the shell waits for both.
        const fs::path folder = root / ("project" + std::to_string(number));
        both += "(" + quoted(VESKARO_CLI) + " publish " + quoted(writeSolidColourProject(folder, number)) +
                " --quiet 2>" + quoted(folder / "err") + "; echo $? >" + quoted(folder / "status") + ") & ";
    }
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(std::system((both + "wait").c_str()), 0);
        for (int number : {0, 1}) {
            const fs::path folder = root / ("project" + std::to_string(number));
            EXPECT_EQ(readBytes(folder / "status"), "0\n") << readBytes(folder / "err");
            EXPECT_EQ(picturesOfTheWrongColour(folder, number), std::vector<std::string>{});
            for (int k = 0; k < kPicturesPerProject; ++k)
                fs::remove(folder / ("slider" + std::to_string(k) + ".bmp"));
        }
    }
#endif
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
#ifndef _WIN32 // no /dev/zero (and under Wine the name would reach the build machine's endless one)
        const Outcome endless = run(command + std::string("/dev/zero"));
        EXPECT_EQ(endless.status, 2) << command;
        EXPECT_EQ(endless.err, "veskaro-cli: The project file /dev/zero is not a regular file. Nothing was loaded.\n");
#endif
    }
}

TEST_F(VeskaroCli, ADeletedWorkingFolderGivesAMessageNotAnAbort) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows does not let the working folder of a process be removed";
#endif
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

#ifndef _WIN32
    // The list of written files is the command's output: lost on a full device, the command fails.
    const std::string full =
        quoted(VESKARO_CLI) + " publish " + quoted(project) + " >/dev/full 2>" + quoted(m_folders.root() / "err");
    EXPECT_EQ(runCommand(full), 1);
    const std::string err = readBytes(m_folders.root() / "err");
    const std::string why = "veskaro-cli: standard output cannot be written: No space left on device\n";
    EXPECT_EQ(err.substr(err.size() - std::min(err.size(), why.size())), why) << err;
#endif
}

TEST_F(VeskaroCli, PublishKeepsPreparedPicturesUnlessToldNotToAndCacheClearEmptiesTheCache) {
    const std::string project = sample();
    const fs::path cache = m_folders.root().path() / "cache/Tarnwell/Veskaro/1.0/Pictures";
    const auto cacheFiles = [&] {
        return fs::exists(cache) ? veskaro::test::filesIn(cache) : decltype(veskaro::test::filesIn(cache)){};
    };
    ASSERT_EQ(
        run("publish " + quoted(project) + " --quiet --no-cache --to " + quoted(m_folders.root() / "plain")).status, 0);
    EXPECT_TRUE(cacheFiles().empty()) << "--no-cache keeps nothing";

    ASSERT_EQ(run("publish " + quoted(project) + " --quiet --to " + quoted(m_folders.root() / "cold")).status, 0);
    const auto kept = cacheFiles();
    std::size_t pictures = 0;
    for (const auto& [name, bytes] : kept)
        pictures += name.ends_with(".picture") ? 1 : 0;
    EXPECT_EQ(pictures, 3u) << "one entry for each of the sample's three pictures";
    const Outcome warm = run("publish " + quoted(project) + " --quiet --to " + quoted(m_folders.root() / "warm"));
    ASSERT_EQ(warm.status, 0);
    EXPECT_EQ(warm.err, "");
    EXPECT_EQ(veskaro::test::filesIn(m_folders.root().path() / "warm"),
              veskaro::test::filesIn(m_folders.root().path() / "plain"));
    EXPECT_EQ(veskaro::test::filesIn(m_folders.root().path() / "cold"),
              veskaro::test::filesIn(m_folders.root().path() / "plain"));

    // The warm publish may have recorded the sources' digests too, once they were two seconds old.
    const std::size_t files = cacheFiles().size();
    const Outcome cleared = run("cache clear");
    EXPECT_EQ(cleared.status, 0) << cleared.err;
    EXPECT_EQ(cleared.out, "Removed " + std::to_string(files) + " file(s) from the picture cache " +
                               (m_folders.root() / "cache/Tarnwell/Veskaro/1.0/Pictures/") + "\n");
    EXPECT_TRUE(cacheFiles().empty());
}

#ifndef _WIN32
TEST_F(VeskaroCli, TheCachesBoundComesFromTheEnvironmentAndAnUnwritableCacheOnlySaysSo) {
    const std::string project = sample();
    const fs::path cache = m_folders.root().path() / "cache/Tarnwell/Veskaro/1.0/Pictures";
    ASSERT_EQ(run("publish " + quoted(project) + " --quiet", "VESKARO_CACHE_MB=0 ").status, 0);
    EXPECT_FALSE(fs::exists(cache)) << "0 turns the cache off";
    const Outcome malformed = run("publish " + quoted(project) + " --quiet", "VESKARO_CACHE_MB=lots ");
    EXPECT_EQ(malformed.status, 2);
    EXPECT_EQ(malformed.err, "veskaro-cli: VESKARO_CACHE_MB must be a whole number of megabytes from 0 to 1048576, "
                             "not 'lots'\nTry 'veskaro-cli --help'.\n");

    // A file where the cache's folder would be: the publish goes on, and says once that it is slower.
    fs::create_directories(cache.parent_path());
    writeBytes(cache, "in the way");
    const Outcome blocked = run("publish " + quoted(project) + " --quiet");
    EXPECT_EQ(blocked.status, 0);
    EXPECT_EQ(blocked.err, "veskaro-cli: The picture cache " + veskaro::textOf(cache) +
                               "/ cannot be made (File exists): every "
                               "picture is prepared anew, which takes longer.\n");
}
#endif

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
    // Folders made for the publish go with it; one that was there stays.
    fs::create_directories(m_folders.root() / "there");
    for (const char* to : {"new/site", "there"}) {
        EXPECT_EQ(run("publish " + quoted(project) + " --quiet --to " + quoted(m_folders.root() / to)).status, 1);
        EXPECT_EQ(fs::exists(m_folders.root() / to), std::string(to) == "there") << to;
    }
    EXPECT_FALSE(fs::exists(m_folders.root() / "new"));
}

// A second project published into the folder of another would show its pictures on the other's page.
TEST_F(VeskaroCli, PublishRefusesToReplaceAnotherProjectsPicturesUnlessTold) {
    const std::string project = sample();
    const std::string other = m_folders.root() / "demo/other.vsk";
    fs::copy_file(project, other);
    const std::string site = quoted(m_folders.root() / "site");
    ASSERT_EQ(run("publish " + quoted(project) + " --quiet --to " + site).status, 0);
    const auto before = veskaro::test::filesIn(m_folders.root().path() / "site");
    const std::string replaced = "Publishing would replace the pictures of another project published in this folder, "
                                 "whose page is demo.html: slider0.jpg, slider1.jpg, slider2.gif. Please publish into "
                                 "another folder, or replace them on purpose.";
    const Outcome refused = run("publish " + quoted(other) + " --quiet --to " + site);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "veskaro-cli: publishing failed: " + replaced +
                               " Nothing was saved; --replace publishes all the same.\n");
    EXPECT_EQ(veskaro::test::filesIn(m_folders.root().path() / "site"), before);
    const Outcome checked = run("check " + quoted(other) + " --quiet --to " + site);
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, "problem: " + replaced + "\n");
    EXPECT_EQ(run("check " + quoted(project) + " --quiet --to " + site).out, "") << "its own pictures it replaces";
    const Outcome told = run("publish " + quoted(other) + " --quiet --replace --to " + site);
    EXPECT_EQ(told.status, 0) << told.err;
    EXPECT_TRUE(fs::exists(m_folders.root() / "site/other.html"));
}

// A source picture that publishing into the --to folder would overwrite stops both commands alike.
TEST_F(VeskaroCli, CheckLooksAtTheFolderPublishWouldWrite) {
    const std::string project =
        editedSample(m_folders.root() / "demo/demo.vsk", {{"pictures/dunes.jpg", "../site/slider0.jpg"}});
    fs::copy(fs::path(VESKARO_SOURCE_DIR) / "data/samples/demo/pictures", m_folders.root().path() / "demo/pictures",
             fs::copy_options::recursive);
    fs::create_directories(m_folders.root().path() / "site");
    fs::copy_file(m_folders.root().path() / "demo/pictures/dunes.jpg", m_folders.root().path() / "site/slider0.jpg");
    const std::string clash = "Item 1 (slider0.jpg): publishing would overwrite its source picture ../site/slider0.jpg "
                              "with the published file slider0.jpg. Please rename or move the picture, or publish "
                              "into another folder.";
    EXPECT_EQ(run("check " + quoted(project) + " --quiet").out, "");
    const Outcome checked = run("check " + quoted(project) + " --quiet --to " + quoted(m_folders.root() / "site"));
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, "problem: " + clash + "\n");
    const Outcome published = run("publish " + quoted(project) + " --quiet --to " + quoted(m_folders.root() / "site"));
    EXPECT_EQ(published.status, 1);
    EXPECT_EQ(published.err, "veskaro-cli: publishing failed: " + clash + " Nothing was saved.\n");
}

// Problems (publishing would fail, or a slide would lack its picture) fail the check; advice is printed with
// its level and fails it only with --strict, so that a slideshow without links passes a site's build.
TEST_F(VeskaroCli, CheckFailsOnProblemsAndOnAdviceOnlyWhenStrict) {
    const std::string project = sample();
    const Outcome clean = run("check " + quoted(project));
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "Nothing found: the project is ready to publish.\n");

    editedSample(project, {{"#$@https://www.example.com/harbour.html#$@", "#$@#$@"}});
    const std::string noLink = "advice: Item 2 (harbour.jpg) has no link, so its picture leads nowhere when clicked.\n";
    const Outcome advice = run("check " + quoted(project));
    EXPECT_EQ(advice.status, 0) << advice.out;
    EXPECT_EQ(advice.out, noLink + "0 problem(s), 1 advice.\n");
    EXPECT_EQ(run("check " + quoted(project) + " --strict").status, 1);

    fs::remove(m_folders.root() / "demo/pictures/dunes.jpg");
    const Outcome problem = run("check " + quoted(project) + " --quiet");
    EXPECT_EQ(problem.status, 1);
    EXPECT_EQ(problem.out, "problem: Item 1 (dunes.jpg): the source picture pictures/dunes.jpg does not exist, so its "
                           "slide keeps the earlier picture slider0.jpg.\n" +
                               noLink);
    EXPECT_TRUE(fs::is_empty(m_folders.root().path() / "data")) << "check writes nothing";
}

// A publish that leaves slides without their new picture says so, item by item, and still succeeds.
TEST_F(VeskaroCli, PublishNamesEachSourcePictureItCannotRead) {
    const std::string project = sample();
    fs::remove(m_folders.root() / "demo/pictures/dunes.jpg");
    fs::create_directory(m_folders.root() / "demo/pictures/harbour.jpg.new");
    fs::rename(m_folders.root() / "demo/pictures/harbour.jpg", m_folders.root() / "demo/harbour.jpg");
    fs::rename(m_folders.root() / "demo/pictures/harbour.jpg.new", m_folders.root() / "demo/pictures/harbour.jpg");
    const std::string site = m_folders.root() / "fresh/";
    const Outcome published = run("publish " + quoted(project) + " --quiet --to " + quoted(site));
    EXPECT_EQ(published.status, 0) << published.err;
    EXPECT_EQ(published.err,
              "veskaro-cli: Item 1 (dunes.jpg): the source picture pictures/dunes.jpg does not exist, so its slide "
              "shows no picture.\n"
              "veskaro-cli: Item 2 (harbour.jpg): the source picture pictures/harbour.jpg is a folder, not a picture "
              "file, so its slide shows no picture.\n"
              "veskaro-cli: 2 source pictures could not be read.\n");
    EXPECT_EQ(run("publish " + quoted(project) + " --quiet --strict --to " + quoted(site)).status, 1);
}

TEST_F(VeskaroCli, PublishWritesNumbersAsParsedAndReservedEmpty) {
    const std::string project = sample();
    editedSample(project, {{"#$@640#$@", "#$@+0320#$@"}, {"#$@#$@1000#$@", "#$@kept?#$@010#$@"}});
    const Outcome published = run("publish " + quoted(project) + " --quiet");
    ASSERT_EQ(published.status, 0) << published.err;
    const std::string page = readBytes(m_folders.root() / "demo/demo.html");
    EXPECT_NE(page.find("<script>var BbAl=3,bvAl=10,bxAl=500,bwAl=3000;</script>"), std::string::npos) << page;
    EXPECT_NE(page.find("style=\"display:block;width:320px;height:360px;\""), std::string::npos) << page;
    EXPECT_NE(readBytes(m_folders.root() / "demo/DemoSlider.css").find("WIDTH:320px;"), std::string::npos);
    EXPECT_NE(readBytes(project).find("#$@000000#$@#$@010#$@"), std::string::npos)
        << "reserved, then the timing as held";
}

TEST_F(VeskaroCli, CtrlCWhilePicturesArePreparedLeavesTheFolderAsItWas) {
    const fs::path folder = m_folders.root().path() / "slow";
    fs::create_directories(folder);
    writeBytes(folder / "large.bmp", veskaro::encodeBmp(veskaro::test::smoothPattern(1600, 1200), "large.bmp"));
    veskaro::TkvlAppletAgent project;
    project.SetDefaults();
    for (int k = 0; k < 60; ++k) {
        veskaro::TItemData item = veskaro::TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = "large.bmp";
        item.ILevel = "0";
        project.InsertItem(k, item);
    }
    veskaro::SilentProgressView silent;
    project.SaveToFile((folder / "slow.vsk").string(), silent);
    const Names before = veskaro::test::namesIn(folder);
    const fs::path err = m_folders.root().path() / "err";

#ifdef _WIN32
    // Ctrl+C pressed at the console the program runs in, once it waits for the first picture: the other
    // 59 take seconds longer.
    const int status = runCommand(quoted(VESKARO_CONSOLE_CTRL_C) + " \"image 1/60\" " + quoted(err.string()) + " " +
                                  quoted((m_folders.root().path() / "out").string()) + " " + quoted(VESKARO_CLI) +
                                  " publish " + quoted((folder / "slow.vsk").string()) + " --jobs 2");
    if (status == 77)
        GTEST_SKIP() << "this system's console cannot send Ctrl+C";
    EXPECT_EQ(static_cast<unsigned>(status), 0xC000013Au) << "the exit status of a program Ctrl+C ended";
#else
    const pid_t pid = fork();
    if (pid == 0) {
        const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(errFile, 2);
        execl(VESKARO_CLI, VESKARO_CLI, "publish", (folder / "slow.vsk").c_str(), "--jobs", "2", nullptr);
        _exit(127);
    }
    // Interrupted as soon as it waits for the first picture: the other 59 take seconds longer.
    for (int wait = 0; wait < 3000 && readBytes(err).find("image 1/60") == std::string::npos; ++wait)
        usleep(10000);
    kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
#endif
    EXPECT_NE(consoleText(readBytes(err)).find("veskaro-cli: Publishing was cancelled.\n"), std::string::npos)
        << readBytes(err);
    EXPECT_EQ(veskaro::test::namesIn(folder), before);
    EXPECT_EQ(workFiles(), Names{"Temp"});
}

#ifndef _WIN32 // symbolic links, which Windows keeps for administrators
// A folder unpacked from an archive may hold links out of it, one of them leading to no file: publishing
// into it replaces each link with the new file and writes nothing where the links lead.
TEST_F(VeskaroCli, PublishReplacesLinksInTheFolderInsteadOfWritingThroughThem) {
    const std::string project = sample();
    const fs::path root = m_folders.root().path();
    fs::create_directories(root / "site");
    fs::create_directories(root / "outside");
    writeBytes(root / "outside/victim.txt", "the victim");
    writeBytes(root / "outside/secret.txt", "the secret");
    fs::create_symlink("../outside/victim.txt", root / "site/demo.html");
    fs::create_symlink("../outside/created.txt", root / "site/demo.vsk");
    fs::create_symlink(root / "outside/secret.txt", root / "site/slider0.jpg");
    const Outcome published = run("publish " + quoted(project) + " --quiet --to " + quoted(root / "site"));
    ASSERT_EQ(published.status, 0) << published.err;
    EXPECT_EQ(veskaro::test::filesIn(root / "outside"),
              (std::map<std::string, std::string>{{"secret.txt", "the secret"}, {"victim.txt", "the victim"}}));
    for (const char* name : {"demo.html", "demo.vsk", "slider0.jpg"}) {
        EXPECT_FALSE(fs::is_symlink(root / "site" / name)) << name;
        EXPECT_TRUE(fs::is_regular_file(root / "site" / name)) << name;
    }
    EXPECT_EQ(readBytes(root / "site/demo.vsk"), readBytes(project));
}

// The project file the user opened through a link is saved where the link leads, and the link stays.
TEST_F(VeskaroCli, PublishSavesAProjectOpenedThroughALinkWhereTheLinkLeads) {
    const std::string project = sample();
    const fs::path root = m_folders.root().path();
    fs::create_directories(root / "projects");
    fs::rename(project, root / "projects/demo.vsk");
    fs::create_symlink("../projects/demo.vsk", project);
    editedSample((root / "projects/demo.vsk").string(), {{"#$@#$@1000#$@", "#$@kept?#$@1000#$@"}});
    writeBytes(root / "projects/demo.vsk.0123456789abcdef.tmp", "left by a killed run");
    const Outcome published = run("publish " + quoted(project) + " --quiet");
    ASSERT_EQ(published.status, 0) << published.err;
    EXPECT_TRUE(fs::is_symlink(project));
    EXPECT_EQ(veskaro::test::namesIn(root / "projects"), Names{"demo.vsk"});
    EXPECT_EQ(readBytes(root / "projects/demo.vsk"),
              readBytes(fs::path(VESKARO_SOURCE_DIR) / "data/samples/demo/demo.vsk"))
        << "reserved is written empty";
}
#endif
