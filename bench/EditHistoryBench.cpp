// Edits a large project in the real designer window (without a screen) and reports what the undo history
// costs: the time of a typed character, a switch, a Move Down, undo and redo of a move, undo of a switch
// (which leaves the tree's nodes alone), and the memory the history holds.
//
//   edit_history_bench [ITEMS...]        (default: 500 2000)
//
// Every figure is the mean over 50 repetitions, undo and redo over as many of them as the history kept; run
// it more than once to see the noise.

#include "LargeProject.h"
#include "PeakMemory.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
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

// Triggers an undo or redo entry at most the given number of times, as long as it is enabled (a large
// project's history keeps fewer steps); returns the mean wall time of one in milliseconds and how many ran.
std::pair<double, int> stepThrough(QAction& entry, int times) {
    int steps = 0;
    const auto start = std::chrono::steady_clock::now();
    for (; steps < times && entry.isEnabled(); ++steps)
        entry.trigger();
    const double total = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return {steps > 0 ? total / steps : 0.0, steps};
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
        // Through the entries, which the window keeps up to date after each command.
        auto& undo = designer.find<QAction>(names::Undo1);
        auto& redo = designer.find<QAction>(names::Redo1);
        const auto [undoingMoves, undoneMoves] = stepThrough(undo, kTimes);
        const auto [redoingMoves, redoneMoves] = stepThrough(redo, kTimes);
        for (int i = 0; i < redoneMoves; ++i)
            undo.trigger();
        const auto [undoingValues, undoneValues] = stepThrough(undo, kTimes);
        std::printf("%6d items: typing %.2f ms/char, a switch %.2f ms, Move Down %.2f ms; undo of a move %.2f ms, "
                    "redo %.2f ms (%d kept); undo of a switch %.2f ms (%d kept); history +%ld MB\n",
                    items, typing, toggling, moving, undoingMoves, redoingMoves, undoneMoves, undoingValues,
                    undoneValues, (test::peakMemoryKilobytes() - before) / 1024);
        std::fflush(stdout);
    }
    return 0;
}
