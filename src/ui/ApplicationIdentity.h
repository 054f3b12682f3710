#pragma once

namespace veskaro {

/// Gives the application the names the desktop knows it by: the name "Veskaro", which message boxes show
/// as their title, and the desktop entry "veskaro". No display name is set apart from the name: the
/// desktop would add it to the title of every window, so that "Help" would read "Help — Veskaro".
void setApplicationIdentity();

} // namespace veskaro
