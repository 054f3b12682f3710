#pragma once

#include <string>

namespace veskaro {

class SettingsStore;

/// Registers ".vsk" as a Veskaro document opened by programPath: the three class keys of the current
/// user, and on Linux also a MIME type and a desktop entry in the user's data folder. Never fails.
void RegisterFileAssociation(SettingsStore& store, const std::string& programPath);

} // namespace veskaro
