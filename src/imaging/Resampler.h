#pragma once

#include "imaging/RgbImage.h"
#include "imaging/SliderGeometry.h"

namespace veskaro {

/// Draws the whole source picture into a rectangle of the canvas, stretched to fill it: Lanczos-3 along
/// an axis that shrinks, Catmull-Rom along one that grows. Pixels outside the rectangle are untouched.
void drawStretched(const RgbImage& source, RgbImage& canvas, const PixelRect& target);

/// Shrinks a picture by a whole factor, each pixel the mean of a factor x factor block (blocks at the
/// right and bottom edges may be smaller).
RgbImage shrinkByBox(const RgbImage& source, int factor);

} // namespace veskaro
