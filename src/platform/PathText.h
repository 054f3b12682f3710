#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace veskaro {

// Paths travel through the program as UTF-8 text. A std::filesystem::path built from a narrow string
// takes it in the system's narrow code page, which on Windows is not UTF-8 and cannot hold most names
// ("Zoë", "東京"), so paths cross over only through these.

/// Returns the file system path that UTF-8 text names.
std::filesystem::path pathOf(std::string_view text);

/// Returns a file system path as UTF-8 text.
std::string textOf(const std::filesystem::path& path);

/// Opens a file named in UTF-8 as std::fopen does (the same modes; errno tells why it failed).
std::FILE* openFile(const std::string& path, const char* mode);

/// Removes a file named in UTF-8; tells whether it did.
bool removeFile(const std::string& path);

#ifdef _WIN32
/// Returns UTF-8 text as the UTF-16 of the Windows calls; invalid bytes become U+FFFD.
std::wstring wideText(std::string_view text);
/// Returns UTF-16 text of the Windows calls as UTF-8.
std::string utf8Text(std::wstring_view text);
#endif

} // namespace veskaro
