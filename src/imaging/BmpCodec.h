#pragma once

#include "imaging/ByteSource.h"
#include "imaging/LoadedPicture.h"

#include <string>

namespace veskaro {

/// Decodes a Windows bitmap: core, info, V4 and V5 headers (and OS/2 2.x ones); 1, 2, 4, 8, 16, 24 and
/// 32 bits a pixel; RLE4, RLE8 and bit fields; rows either way up. Pixels that run-length data leaves
/// undefined are white, like the canvas they end up on. Throws VeskaroError "BMP error: <name>: ...".
LoadedPicture decodeBmp(ByteSource& source, const std::string& name);

/// Returns the bytes of a 24-bit, bottom-up Windows bitmap of the picture; name is used in messages.
std::string encodeBmp(const RgbImage& image, const std::string& name);

/// Writes the picture as a 24-bit Windows bitmap; an earlier file at path stays until the new one is complete.
void writeBmp(const std::string& path, const RgbImage& image);

} // namespace veskaro
