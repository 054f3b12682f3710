#pragma once

#include "browse/InstalledBrowsers.h"

namespace veskaro {

class SettingsStore;
class Shell;

/// What the browser dialog works with: the settings that keep the choice, the shell that launches and
/// the places where installed browsers are looked for. The program passes the system's; tests pass
/// a settings file in a temporary folder, a recording shell and folders of their own.
struct BrowserServices {
    SettingsStore& settings;
    Shell& shell;
    BrowserSearchPlaces places;
};

} // namespace veskaro
