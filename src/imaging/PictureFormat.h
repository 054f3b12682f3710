#pragma once

#include <string>

namespace veskaro {

/// The three picture formats the program reads and writes.
enum class PictureFormat { Jpeg, Gif, Bmp };

/// Returns the format that a picture file's extension names ("jpg", "jpeg", "gif", "bmp" in any letter
/// case); throws VeskaroError "Unknown picture file extension (.ext)" for any other extension.
PictureFormat formatFromExtension(const std::string& path);

/// Returns the extension, with its dot, of a prepared picture in this format: ".jpg", ".gif" or ".bmp".
const char* preparedExtension(PictureFormat format);

} // namespace veskaro
