#pragma once

#include <string>

namespace veskaro {

/// Returns a local path as a file address that this system's browsers and help view understand: the
/// Windows form below on Windows, the standard form elsewhere.
std::string PathToFileUrl(const std::string& path);

/// Returns the Windows form of a file address: every "\" becomes "/", every ":" becomes "|", and
/// "file:///" goes in front; nothing is escaped, so D:\web\a b.htm gives file:///D|/web/a b.htm.
std::string windowsPathToFileUrl(const std::string& path);

/// Returns the standard form of the file address of an absolute path: "file://" and the path with every
/// byte that may not stand in an address path percent-encoded, so /web/a b#1.htm gives
/// file:///web/a%20b%231.htm.
std::string posixPathToFileUrl(const std::string& absolutePath);

} // namespace veskaro
