#pragma once

namespace veskaro {

/// A rectangle of pixels; the right and bottom edges are exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

/// Where a source picture lands on the slider's white canvas.
struct SliderGeometry {
    int scaledWidth = 0; // the picture's size once its longer side fits the slider
    int scaledHeight = 0;
    PixelRect target; // the canvas rectangle the whole picture is stretched into
};

/// Fits a source picture to the slider: a portrait picture by its height, any other by its width; the
/// other side keeps the proportion, is centred, and is squeezed to the slider where it would exceed it.
SliderGeometry computeSliderGeometry(int sourceWidth, int sourceHeight, int sliderWidth, int sliderHeight);

} // namespace veskaro
