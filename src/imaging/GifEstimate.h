#pragma once

#include "imaging/ByteSource.h"

#include <algorithm>
#include <cstdint>

namespace veskaro {

/// Returns the bytes decoding a GIF takes with a canvas of canvasPixels, while it decodes an image that
/// takes imageBytes beside it (its indices, and the canvas part it asks to be restored): the canvas, and
/// beside it that image or the reduced copy of the canvas made afterwards.
inline std::uint64_t gifPeakBytes(std::uint64_t canvasPixels, std::uint64_t imageBytes) {
    return 3 * canvasPixels + std::max(3 * canvasPixels / 4, imageBytes);
}

/// Returns the bytes decoding a GIF takes at its peak, from the images the file declares rather than its
/// screen, which a hostile file may declare empty or tiny: the canvas the screen (or, where it has no
/// size, the first image) implies, and beside it the largest image's colour indices and the canvas part
/// it asks to be restored, or the reduced copy of the canvas. Reads the blocks without decoding pixels,
/// from the source's current position at the file's start; a file that cannot be decoded costs nothing,
/// as its decoder refuses it before taking memory.
std::uint64_t gifDecodeBytes(ByteSource& source);

} // namespace veskaro
