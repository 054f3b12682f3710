#pragma once

#include <string>

namespace veskaro {

/// The picture formats the program reads and writes; imaging/PictureFormats.h describes each.
enum class PictureFormat { Jpeg, Gif, Bmp };

/// Returns the format that a picture file's extension names (one of a descriptor's extensions, in any letter
/// case); throws VeskaroError "Unknown picture file extension (.ext)" for any other extension.
PictureFormat formatFromExtension(const std::string& path);

/// Returns the extension, with its dot, of a prepared picture in this format: ".jpg", ".gif" or ".bmp".
std::string preparedExtension(PictureFormat format);

} // namespace veskaro
