#pragma once

#include "imaging/RgbImage.h"

#include <string>

namespace veskaro {

/// Returns why the picture cannot be written (no size, or pixels that do not match it), or empty text.
std::string writableImageProblem(const RgbImage& image);

} // namespace veskaro
