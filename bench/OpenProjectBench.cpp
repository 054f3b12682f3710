// Opens large projects in the real designer window (without a screen) and reports the time each open took.
//
//   open_project_bench [ITEMS...]        (default: 20000 100000)
//
// Each project is opened three times in one window, the second and third time over the project it
// shows; the lines give every run's wall and CPU time, so that the spread between runs shows the noise. Half the items
// hang below the item before them, as sliders with sub-items do, so that both ways a node finds its parent are
// measured.

#include "LargeProject.h"

#include <QApplication>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace veskaro;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::vector<int> sizes = bench::itemCounts(argc, argv, {20000, 100000});

    test::PerUserFolders folders;
    for (const int items : sizes) {
        const std::string path = bench::writeLargeProject(folders.root(), items);
        // The first open fills a new window; the next ones replace the project that window shows.
        test::DesignerWindow designer(folders);
        for (int run = 1; run <= 3; ++run) {
            const double cpuStart = cpuSeconds();
            const auto start = std::chrono::steady_clock::now();
            designer.window.OpenProjectFile(path);
            const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const double cpu = cpuSeconds() - cpuStart;
            std::printf("%7d items, run %d: %8.2f s wall %8.2f s CPU, %d nodes\n", items, run, wall, cpu,
                        designer.window.itemTree().nodeCount());
            std::fflush(stdout);
        }
    }
    return 0;
}
