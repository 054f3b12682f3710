#pragma once

#include "imaging/PictureFormat.h"

#include <cstddef>
#include <cstdint>

namespace veskaro::fuzz {

enum class Outcome { Decoded, Refused };

/// Decodes bytes with the reader of one format and, when they decode, writes the picture back in that
/// format and reads it again. A refusal is a fine answer; a crash, a sanitizer report or a picture that
/// breaks its own invariants (which aborts) is a finding.
Outcome decodeAndReencode(PictureFormat format, const std::uint8_t* data, std::size_t size);

/// Runs bytes through the whole preparation of a slider picture: decode, fit onto a small slider whose
/// size follows the input's length, encode, read back. Checks the canvas's size and white margins.
Outcome prepareForSlider(PictureFormat format, const std::uint8_t* data, std::size_t size);

} // namespace veskaro::fuzz
