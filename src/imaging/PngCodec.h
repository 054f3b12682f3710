#pragma once

#include "imaging/EncoderSettings.h"
#include "imaging/RgbImage.h"

#include <string>

namespace veskaro {

inline constexpr const char* kPngErrorPrefix = "PNG error";

/// Returns the bytes of an 8-bit RGB PNG of the picture, not interlaced, each row filtered by the one above
/// it, at zlib's compression level 0 to 9; name is used in messages. Throws VeskaroError "PNG error:
/// <name>: ..." when the picture cannot be encoded.
std::string encodePng(const RgbImage& image, const std::string& name, int level = kPngCompressionLevel);

} // namespace veskaro
