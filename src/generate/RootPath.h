#pragma once

#include "model/AppletTypes.h"

#include <string>
#include <string_view>

namespace veskaro {

/// Replaces every occurrence of from in text by to, ignoring the letter case of ASCII letters, scanning
/// left to right and never looking into replaced text again. An empty from replaces nothing.
std::string replaceIgnoringCase(std::string_view text, std::string_view from, std::string_view to);

/// Returns a link with its root switched as the Path page asks: to the local root when testing on the
/// local computer ("1"), otherwise to the remote root. Nothing changes unless both roots, trimmed, are
/// set; the roots themselves are used as held.
std::string switchRootPath(const std::string& link, const TAppletData& data);

} // namespace veskaro
