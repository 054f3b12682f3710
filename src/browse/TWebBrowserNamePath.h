#pragma once

#include <string>
#include <vector>

namespace veskaro {

/// One browser found on this machine: the name the browser list shows and the program to start.
struct TWebBrowserNamePath {
    std::string Name;
    std::string Path;

    bool operator==(const TWebBrowserNamePath&) const = default;
};

/// The detected browsers in detection order; a position in the browser list is an index here.
using TWebBrowserNamePathArray = std::vector<TWebBrowserNamePath>;

} // namespace veskaro
