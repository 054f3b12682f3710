// Edits a large project in the real designer window (without a screen) and reports what the undo history
// costs: the time of a typed character, a switch, a Move Down, undo and redo of a move, undo of a switch
// (which leaves the tree's nodes alone), and the memory the history holds.
//
//   edit_history_bench [ITEMS...]        (default: 500 2000)
//
// Every figure is the mean over 50 repetitions; run it more than once to see the noise.

#include "LargeProject.h"
#include "PeakMemory.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace veskaro;

namespace {

// Runs an action the given number of times and returns the mean wall time of one run in milliseconds.
double meanMilliseconds(int times, const std::function<void(int)>& action) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < times; ++i)
        action(i);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / times;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::vector<int> sizes = bench::itemCounts(argc, argv, {500, 2000});

    test::PerUserFolders folders;
    constexpr int kTimes = 50;
    for (const int items : sizes) {
        test::DesignerWindow designer(folders);
        designer.window.OpenProjectFile(bench::writeLargeProject(folders.root(), items));
        const long before = test::peakMemoryKilobytes();
        designer.select(1);
        auto& description = designer.find<QLineEdit>(names::edt_IToolTip);
        const double typing = meanMilliseconds(kTimes, [&](int) { description.insert(QStringLiteral("x")); });
        designer.select(0);
        auto& leadingPath = designer.find<QCheckBox>(names::pImageLeadingPathEnabled);
        const double toggling = meanMilliseconds(kTimes, [&](int) { leadingPath.toggle(); });
        designer.select(1);
        const double moving = meanMilliseconds(kTimes, [&](int) { designer.window.MoveDown1Click(); });
        const double undoingMoves = meanMilliseconds(kTimes, [&](int) { designer.window.Undo1Click(); });
        const double redoingMoves = meanMilliseconds(kTimes, [&](int) { designer.window.Redo1Click(); });
        for (int i = 0; i < kTimes; ++i)
            designer.window.Undo1Click();
        const double undoingValues = meanMilliseconds(kTimes, [&](int) { designer.window.Undo1Click(); });
        std::printf("%6d items: typing %.2f ms/char, a switch %.2f ms, Move Down %.2f ms; undo of a move %.2f ms, "
                    "redo %.2f ms; undo of a switch %.2f ms; history +%ld MB\n",
                    items, typing, toggling, moving, undoingMoves, redoingMoves, undoingValues,
                    (test::peakMemoryKilobytes() - before) / 1024);
        std::fflush(stdout);
    }
    return 0;
}
