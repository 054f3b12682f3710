#pragma once

#include <string_view>

namespace veskaro {

/// What keeps a file name from naming a file on every system a published folder may be copied to, Windows
/// being the strictest.
enum class PortableNameProblem {
    None,
    ForbiddenCharacter, // < > : " / \ | ? * or a control character
    ReservedName,       // CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with any extension
};

/// Tells what, if anything, keeps a bare file name (no folder) with an extension from naming a file on
/// Windows as well as on Linux and macOS. A dot or blank at the end, which Windows would drop, is not
/// looked for: every name publishing writes ends in its extension.
PortableNameProblem portableNameProblem(std::string_view fileName);

} // namespace veskaro
