#pragma once

#include <string>

namespace veskaro {

/// The per-user folders the program asks the system for, numbered as the Windows shell numbers them.
enum class SpecialFolder : int {
    Personal = 5,      // documents
    AppData = 26,      // roaming application data
    LocalAppData = 28, // application data that stays on this machine: caches
    MyPictures = 39,   // pictures
};

/// Returns the path of a per-user folder without a trailing delimiter, or empty text when the system
/// cannot name it. On Linux the XDG base and user directories stand in for the shell's folders.
std::string GetSpecialFolder(SpecialFolder folder);

} // namespace veskaro
