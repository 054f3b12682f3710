#pragma once

#include "imaging/RgbImage.h"
#include "imaging/SliderGeometry.h"

#include <optional>

namespace veskaro {

/// Returns the structural similarity (SSIM, Wang et al. 2004) of two pictures of one size within a
/// rectangle of both, 1 for equal pictures: the mean over 11 x 11 Gaussian windows (sigma 1.5) of their
/// BT.601 luma, taking every second window across and down, which for windows this wide gives the mean of
/// all of them within a few ten-thousandths for a quarter of the work. Nothing for a rectangle narrower or
/// lower than a window. Throws std::invalid_argument when the sizes differ or the rectangle leaves the
/// pictures.
std::optional<double> lumaSimilarity(const RgbImage& a, const RgbImage& b, const PixelRect& within);

} // namespace veskaro
