#pragma once

#include "imaging/EncoderSettings.h"
#include "imaging/IndexedImage.h"
#include "imaging/RgbImage.h"
#include "imaging/SliderGeometry.h"

namespace veskaro {

/// Reduces a slider canvas to at most 256 colours for a GIF: Wu's quantiser chooses 255 colours for the
/// picture inside content, serpentine Floyd-Steinberg diffusion passing on diffusedSixteenths of each error
/// maps it, and an exact white entry serves the canvas around it, which stays pure white.
IndexedImage quantizeForGif(const RgbImage& canvas, const PixelRect& content, int diffusedSixteenths = kGifDiffusion);

} // namespace veskaro
