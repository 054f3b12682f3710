#pragma once

#include "imaging/ByteSource.h"

#include <string>

namespace veskaro {

/// Walks the blocks of a GIF that follow its first image, without decoding any pixels, and returns what
/// is wrong with them, or empty text: a file cut short, a block of unknown type, a damaged graphic
/// control, an image without colours, wholly outside the screen or with an invalid code size. The
/// source must stand just after the first image's data.
std::string gifTailProblem(ByteSource& source, int screenWidth, int screenHeight, bool hasGlobalColours);

} // namespace veskaro
