// Walks the shipped help and sample pages: every local link and picture they name must be there, the
// help contents must lead to every page a help button opens, and the published samples must be what
// publishing their projects gives today.

#include "TestFolders.h"

#include "browse/HelpPageTable.h"
#include "generate/Publisher.h"
#include "model/PlainItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

using veskaro::test::readBytes;
namespace fs = std::filesystem;

namespace {

const fs::path kDataFolder = VESKARO_DATA_DIR;

bool isPage(const fs::path& file) {
    return file.extension() == ".htm" || file.extension() == ".html";
}

std::vector<fs::path> pagesBelow(const fs::path& folder) {
    std::vector<fs::path> pages;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && isPage(entry.path()))
            pages.push_back(entry.path());
    return pages;
}

// The targets of the href and src attributes of a page, as written.
std::vector<std::string> linksOf(const fs::path& page) {
    static const std::regex attribute(R"re(\b(?:href|src)\s*=\s*(?:"([^"]*)"|'([^']*)'))re", std::regex::icase);
    const std::string text = readBytes(page);
    std::vector<std::string> links;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), attribute); it != std::sregex_iterator(); ++it)
        links.push_back((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
    return links;
}

bool hasScheme(const std::string& link) {
    static const std::regex scheme(R"(^[A-Za-z][A-Za-z0-9+.-]*:)");
    return std::regex_search(link, scheme);
}

std::string percentDecoded(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// The local file a relative link names; empty for a link to the page itself.
fs::path localTarget(const fs::path& page, const std::string& link) {
    const std::string path = link.substr(0, link.find_first_of("?#"));
    return path.empty() ? fs::path() : (page.parent_path() / percentDecoded(path)).lexically_normal();
}

// The pages reached from a first page through local links.
std::set<fs::path> reachableFrom(const fs::path& first) {
    std::set<fs::path> reached{first};
    std::vector<fs::path> open{first};
    while (!open.empty()) {
        const fs::path page = open.back();
        open.pop_back();
        for (const std::string& link : linksOf(page)) {
            const fs::path target = hasScheme(link) ? fs::path() : localTarget(page, link);
            if (!target.empty() && isPage(target) && fs::exists(target) && reached.insert(target).second)
                open.push_back(target);
        }
    }
    return reached;
}

std::vector<fs::path> sampleProjects() {
    std::vector<fs::path> projects;
    for (const auto& entry : fs::recursive_directory_iterator(kDataFolder / "samples"))
        if (entry.path().extension() == ".vsk")
            projects.push_back(entry.path());
    return projects;
}

// Publishes a sample project into a folder as veskaro-cli does: picture paths are read from the
// project's folder.
void publishInto(const veskaro::Places& places, const fs::path& project, const fs::path& site) {
    fs::create_directories(site);
    veskaro::TkvlAppletAgent agent;
    veskaro::PlainItemTree tree;
    veskaro::SilentProgressView progress;
    veskaro::Publisher publisher(places);
    agent.SetDefaults();
    agent.LoadFromFile(project.string(), tree, progress);
    publisher.SaveAndPublish(agent, (site / "").string(), project.filename().string(), tree, progress);
    publisher.ClearPreviewFolder();
}

} // namespace

TEST(DataPagesTest, EveryLocalLinkOfTheHelpAndSamplePagesLeadsToAFile) {
    for (const char* folder : {"help", "samples"}) {
        const std::vector<fs::path> pages = pagesBelow(kDataFolder / folder);
        ASSERT_FALSE(pages.empty()) << folder;
        for (const fs::path& page : pages)
            for (const std::string& link : linksOf(page)) {
                EXPECT_NE(link.rfind("file:", 0), 0u) << page << " links to a file of one computer: " << link;
                if (hasScheme(link))
                    continue;
                const fs::path target = localTarget(page, link);
                EXPECT_TRUE(target.empty() || fs::is_regular_file(target)) << page << " links to a missing " << link;
            }
    }
}

TEST(DataPagesTest, HelpPagesLinkOnlyToEachOtherAndTheSamples) {
    for (const fs::path& page : pagesBelow(kDataFolder / "help"))
        for (const std::string& link : linksOf(page))
            EXPECT_FALSE(hasScheme(link)) << page << " leaves the installed pages: " << link;
}

TEST(DataPagesTest, HelpContentsLeadToEveryPageOfTheHelpButtons) {
    const fs::path help = kDataFolder / "help";
    const std::set<fs::path> reached = reachableFrom(help / veskaro::kHelpContentsPage);
    for (const veskaro::HelpPage& page : veskaro::HelpPageTable)
        EXPECT_TRUE(reached.count(help / page.file)) << page.file;
    EXPECT_TRUE(reached.count(help / veskaro::kGettingStartedPage));
    EXPECT_TRUE(reached.count((kDataFolder / "samples" / "index.html").lexically_normal()));
}

TEST(DataPagesTest, PublishedSamplesAreWhatPublishingTheirProjectsGivesToday) {
    const veskaro::test::PerUserFolders folders;
    for (const fs::path& project : sampleProjects()) {
        const fs::path site = folders.root().path() / project.stem();
        publishInto(folders.places(), project, site);
        for (const std::string& name : veskaro::test::namesIn(site)) {
            const fs::path published = project.parent_path() / name;
            ASSERT_TRUE(fs::exists(published)) << published << " is missing: run scripts/publish-samples.sh";
            // Encoded pictures may differ in their bytes between library versions; texts may not.
            const bool picture = published.extension() == ".jpg" || published.extension() == ".gif";
            EXPECT_TRUE(picture || readBytes(site / name) == readBytes(published))
                << published << " is out of date: run scripts/publish-samples.sh";
        }
    }
}
