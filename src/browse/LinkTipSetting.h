#pragma once

namespace veskaro {

class SettingsStore;

/// The per-user key that keeps the designer's own settings.
inline constexpr const char* kSettingsKey = "\\Software\\KVL\\Veskaro\\1.0\\Settings";
/// The value that tells whether the tip about local links comes before each link pick.
inline constexpr const char* kShowLinkTipValue = "ShowLinkTipDialog";

/// Tells whether the link tip is to be shown: the stored number when there is one (non-zero: shown),
/// shown when the key or the value is missing, not shown when the value cannot be read as a number.
bool readShowLinkTip(const SettingsStore& store);

/// Stores whether the link tip is to be shown, creating the key. A failure to store "not shown" is
/// ignored, since the tip merely comes again; a failure to store "shown" throws VeskaroError.
void writeShowLinkTip(SettingsStore& store, bool show);

} // namespace veskaro
