#pragma once

#include <string>

namespace veskaro {

/// The picture formats the program writes, the first three of which it also reads as sources;
/// imaging/PictureFormats.h describes each.
enum class PictureFormat { Jpeg, Gif, Bmp, Png, Webp };

/// Returns the format that a picture file's extension names (one of a descriptor's extensions, in any letter
/// case); throws VeskaroError "Unknown picture file extension (.ext)" for any other extension.
PictureFormat formatFromExtension(const std::string& path);

/// Returns the extension, with its dot, of a prepared picture in this format: ".jpg", ".gif", ".bmp", ".png"
/// or ".webp".
std::string preparedExtension(PictureFormat format);

} // namespace veskaro
