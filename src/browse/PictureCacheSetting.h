#pragma once

#include <optional>

namespace veskaro {

class SettingsStore;

/// The value below the designer's settings key that bounds the picture cache, in megabytes (0: no cache).
inline constexpr const char* kPictureCacheValue = "Picture cache";

/// Returns the picture cache's bound that the settings hold, in megabytes; none when the value is missing,
/// is no number or is beyond the largest bound, so that the front end's default stands.
std::optional<int> readPictureCacheMegabytes(const SettingsStore& store);

} // namespace veskaro
