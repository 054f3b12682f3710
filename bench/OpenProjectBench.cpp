// Opens large projects in the real designer window (without a screen) and reports the time each open took.
//
//   open_project_bench [ITEMS...]        (default: 20000 100000)
//
// Each project is opened three times in one window, the second and third time over the project it
// shows; the lines give every run's wall and CPU time, so that the spread between runs shows the noise. Half the items
// hang below the item before them, as sliders with sub-items do, so that both ways a node finds its parent are
// measured.

#include "DesignerWindow.h"

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

std::string writeLargeProject(const test::TemporaryFolder& folder, int items) {
    std::vector<std::pair<std::string, int>> list;
    list.reserve(static_cast<std::size_t>(items));
    for (int i = 0; i < items; ++i)
        list.emplace_back("pictures/picture" + std::to_string(i) + ".jpg", i % 2);
    const std::string path = folder / ("large-" + std::to_string(items) + ".vsk");
    test::writeProject(path, list);
    return path;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {20000, 100000};

    test::PerUserFolders folders;
    for (const int items : sizes) {
        const std::string path = writeLargeProject(folders.root(), items);
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
