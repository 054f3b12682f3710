// Checks large projects as `veskaro-cli check` does, into a folder published before (a file for every
// item's picture), and prints the time the load and the check took, for flat projects and for projects
// whose items all hang below the first item.
//
//   check_time_bench [ITEMS...]     (by default 12500 25000 50000 100000 200000)
//
// Linear time shows as times that double with the items.

#include "TestFolders.h"

#include "generate/PublishCheck.h"
#include "model/PlainItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/Places.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace veskaro;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Every item but the first at level 1 when nested, below the first; all name one source file that is no
// picture, so that each is looked up among the published files, and the folder holds a published picture
// for each.
std::string writeProject(const test::TemporaryFolder& folder, int items, bool nested) {
    const std::string path = folder / "large.vsk";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "<Warning_Info>\r\n</Warning_Info>\r\n<Product_Name>\r\nVeskaro\r\n</Product_Name>\r\n"
           "<Product_Version>\r\n1.0\r\n</Product_Version>\r\n<Applet_Parameters>\r\n"
           "Slider1#$@640#$@480#$@-26#$@000000#$@FFFFFF#$@000000#$@C0C0C0#$@FFFF00#$@000000#$@FFFF00#$@000000#$@"
           "#$@1000#$@500#$@2000#$@1#$@#$@#$@#$@1#$@\r\n</Applet_Parameters>\r\n<Item_Parameters>\r\n";
    for (int i = 0; i < items; ++i) {
        out << "slider" << i << ".jpg#$@source.jpg#$@page.html#$@_self#$@Picture " << i << "#$@640#$@480#$@"
            << (nested && i > 0 ? 1 : 0) << "#$@#$@\r\n";
        std::ofstream(folder / ("slider" + std::to_string(i) + ".jpg"), std::ios::binary) << "published " << i;
    }
    out << "</Item_Parameters>\r\n";
    std::ofstream(folder / "source.jpg", std::ios::binary) << "no picture";
    return path;
}

void measure(int items, bool nested) {
    const test::TemporaryFolder folder;
    const std::string path = writeProject(folder, items, nested);
    const Places places = Places::ofThisSystem();
    const Clock::time_point start = Clock::now();
    TkvlAppletAgent project;
    PlainItemTree tree;
    SilentProgressView progress;
    project.SetDefaults();
    project.LoadFromFile(path, tree, progress);
    const double loaded = secondsSince(start);
    std::string delimited = folder / "";
    EnsureTrailingBackslash(delimited);
    const PublishingFindings findings = checkForPublishing(project, places, delimited, "large.vsk");
    std::printf("%7d items %-6s  load %7.3f s  check %7.3f s  total %7.3f s  (%zu findings)\n", items,
                nested ? "nested" : "flat", loaded, secondsSince(start) - loaded, secondsSince(start),
                findings.all().size());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    // The run's work folders lie in a data folder of the bench's own.
    const test::TemporaryFolder data;
    ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {12500, 25000, 50000, 100000, 200000};
    for (const bool nested : {false, true})
        for (const int items : counts)
            measure(items, nested);
    return 0;
}
