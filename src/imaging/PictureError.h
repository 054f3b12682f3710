#pragma once

#include <string>

namespace veskaro {

inline constexpr const char* kGifErrorPrefix = "GIF error";
inline constexpr const char* kBmpErrorPrefix = "BMP error";

/// Returns the start of a JPEG message, "JPEG error #<code>", the code being libjpeg's or one of ours.
std::string jpegErrorPrefix(int code);

/// Throws VeskaroError "<prefix>: <file>: <what>", the shape of every decoder and writer message,
/// for example "GIF error: C:\pictures\a.gif: the file ends before the picture is complete".
[[noreturn]] void throwPictureError(const std::string& prefix, const std::string& file, const std::string& what);

} // namespace veskaro
