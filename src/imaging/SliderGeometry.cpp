#include "imaging/SliderGeometry.h"

#include <cmath>

namespace veskaro {

namespace {

// The default rounding mode rounds halves to the even neighbour: 160.5 gives 160, as 159.5 does.
int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

int centredOffset(int slider, int scaled) {
    return scaled < slider ? roundHalfEven((slider - scaled) / 2.0) : 0;
}

} // namespace

SliderGeometry computeSliderGeometry(int sourceWidth, int sourceHeight, int sliderWidth, int sliderHeight) {
    // The factor is held in single precision; the divisions by it are not.
    const float factor = sourceWidth < sourceHeight
                             ? static_cast<float>(sourceHeight) / static_cast<float>(sliderHeight)
                             : static_cast<float>(sourceWidth) / static_cast<float>(sliderWidth);
    SliderGeometry geometry;
    geometry.scaledWidth = roundHalfEven(sourceWidth / static_cast<double>(factor));
    geometry.scaledHeight = roundHalfEven(sourceHeight / static_cast<double>(factor));
    const int offsetX = centredOffset(sliderWidth, geometry.scaledWidth);
    const int offsetY = centredOffset(sliderHeight, geometry.scaledHeight);
    geometry.target = {offsetX, offsetY, sliderWidth - offsetX, sliderHeight - offsetY};
    return geometry;
}

} // namespace veskaro
