#pragma once

#include "browse/TWebBrowserNamePath.h"

#include <string>
#include <vector>

namespace veskaro {

/// Where installed browsers are looked for: the folders of the executable path and the folders of
/// desktop entries, each list in the order of precedence.
struct BrowserSearchPlaces {
    std::vector<std::string> programFolders;
    std::vector<std::string> applicationFolders;

    /// Returns this system's places: PATH, then the XDG data folders' "applications"; none on Windows,
    /// where the registry steps are the whole detection.
    static BrowserSearchPlaces ofThisSystem();
};

/// Appends each well-known browser that is installed, once, under its display name: found as a program
/// on the executable path or through its desktop entry. Paths already listed are not repeated.
void addInstalledBrowsers(const BrowserSearchPlaces& places, TWebBrowserNamePathArray& browsers);

} // namespace veskaro
