#include "SmallDisk.h"
#include "TestFolders.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <map>

using veskaro::test::readBytes;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

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

class VeskaroCli : public testing::Test {
protected:
    Outcome run(const std::string& arguments) {
        const std::string command = quoted(VESKARO_CLI) + " " + arguments + " >" + quoted(m_folders.root() / "out") +
                                    " 2>" + quoted(m_folders.root() / "err");
        const int status = std::system(command.c_str());
        return {WEXITSTATUS(status), readBytes(m_folders.root() / "out"), readBytes(m_folders.root() / "err")};
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
}

TEST_F(VeskaroCli, FullDiskExitsWithOneAndLeavesThePublishedFilesAsTheyWere) {
    const std::string project = sample();
    const fs::path site = m_folders.root().path() / "site";
    const veskaro::test::SmallDisk disk(site, 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNotMounted();
    ASSERT_EQ(run("publish " + quoted(project) + " --quiet --to " + quoted(site)).status, 0);
    std::map<std::string, std::string> before;
    for (const std::string& name : veskaro::test::namesIn(site))
        before[name] = readBytes(site / name);

    // A slider of another size changes every file but the scripts.
    std::string text = readBytes(project);
    text.replace(text.find("Demo Slider#$@640#$@360#$@"), 26, "Demo Slider#$@600#$@400#$@");
    writeBytes(project, text);
    disk.fill(40 * 1024);
    const Outcome failed = run("publish " + quoted(project) + " --quiet --to " + quoted(site));
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err.rfind("veskaro-cli: publishing failed: Disk full: " + site.string() + "/", 0), 0u)
        << failed.err;
    disk.empty();
    std::map<std::string, std::string> after;
    for (const std::string& name : veskaro::test::namesIn(site))
        after[name] = readBytes(site / name);
    EXPECT_EQ(after, before) << "every earlier file byte for byte, and no temporary file beside them";
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
