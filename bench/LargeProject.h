#pragma once

#include "DesignerWindow.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace veskaro::bench {

/// Writes a project of the given number of items into folder, every second item below the one before it
/// as sliders with sub-items have them, and returns its path.
inline std::string writeLargeProject(const test::TemporaryFolder& folder, int items) {
    std::vector<std::pair<std::string, int>> list;
    list.reserve(static_cast<std::size_t>(items));
    for (int i = 0; i < items; ++i)
        list.emplace_back("pictures/picture" + std::to_string(i) + ".jpg", i % 2);
    const std::string path = folder / ("large-" + std::to_string(items) + ".vsk");
    test::writeProject(path, list);
    return path;
}

/// Returns the item counts named on the command line, or else fallback.
inline std::vector<int> itemCounts(int argc, char** argv, std::vector<int> fallback) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    return counts.empty() ? std::move(fallback) : counts;
}

} // namespace veskaro::bench
