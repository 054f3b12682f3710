// Loads project files near the 64 MiB limit, hostile ones among them, and reports the peak memory and the
// time each load took, each in a process of its own so that one load's peak does not hide the next one's.
//
//   project_file_memory_bench
//
// The peak includes the few MiB the program itself takes before it loads anything (the "nothing" line).

#include "PeakMemory.h"
#include "TestFolders.h"

#include "model/PlainItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/VeskaroError.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace veskaro;

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

struct Case {
    const char* name;
    std::function<void(std::ofstream&)> write;
};

void repeat(std::ofstream& out, const std::string& text, std::size_t bytes) {
    std::string block;
    while (block.size() < kMiB)
        block += text;
    for (std::size_t written = 0; written + block.size() <= bytes; written += block.size())
        out << block;
}

void writeProject(std::ofstream& out, int items, const std::string& description) {
    out << "<Warning_Info>\r\n</Warning_Info>\r\n<Product_Name>\r\nVeskaro\r\n</Product_Name>\r\n"
           "<Product_Version>\r\n1.0\r\n</Product_Version>\r\n<Applet_Parameters>\r\n"
           "Slider1#$@640#$@480#$@-26#$@000000#$@FFFFFF#$@000000#$@C0C0C0#$@FFFF00#$@000000#$@FFFF00#$@000000#$@"
           "#$@1000#$@500#$@2000#$@1#$@#$@#$@#$@1#$@\r\n</Applet_Parameters>\r\n<Item_Parameters>\r\n";
    for (int i = 0; i < items; ++i)
        out << "slider" << i << ".jpg#$@pictures/picture" << i << ".jpg#$@page.html#$@_self#$@" << description
            << "#$@640#$@480#$@0#$@#$@\r\n";
    out << "</Item_Parameters>\r\n";
}

// Loads the file in a child process and prints what it took.
void measure(const Case& row, const std::string& path) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        const auto start = std::chrono::steady_clock::now();
        std::string outcome = "loaded";
        if (!path.empty()) {
            TkvlAppletAgent project;
            PlainItemTree tree;
            SilentProgressView progress;
            try {
                project.LoadFromFile(path, tree, progress);
            } catch (const VeskaroError& error) {
                outcome = "refused";
            }
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::error_code error;
        const double size = path.empty() ? 0.0 : static_cast<double>(std::filesystem::file_size(path, error)) / kMiB;
        const double peak = static_cast<double>(test::peakMemoryKilobytes()) / 1024.0;
        std::printf("%-34s %7.1f MiB file  %8.1f MiB peak  %6.2f s  %s\n", row.name, size, peak, seconds,
                    outcome.c_str());
        std::fflush(stdout);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

} // namespace

int main() {
    const std::size_t limit = 64 * kMiB;
    const std::vector<Case> cases{
        {"nothing", {}},
        {"64 MiB of line feeds", [&](std::ofstream& out) { repeat(out, "\n", limit); }},
        {"64 MiB of CR LF", [&](std::ofstream& out) { repeat(out, "\r\n", limit); }},
        {"64 MiB of \"x\" lines", [&](std::ofstream& out) { repeat(out, "x\n", limit); }},
        {"100000 items of 560 bytes", [](std::ofstream& out) { writeProject(out, 100000, std::string(480, 'd')); }},
        {"100000 items, Windows-1252",
         [](std::ofstream& out) { writeProject(out, 100000, std::string(478, 'd') + "\xE9\x80"); }},
    };
    test::TemporaryFolder folder;
    for (const Case& row : cases) {
        std::string path;
        if (row.write) {
            path = folder / "bench.vsk";
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            row.write(out);
        }
        measure(row, path);
    }
    return 0;
}
