#pragma once

#include "imaging/LoadedPicture.h"
#include "imaging/PictureFormats.h"
#include "imaging/SliderGeometry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace veskaro {

/// The version of the preparation's output. Kept prepared pictures name the version that made them, so
/// raise it with every change that alters the bytes of a prepared picture: resampling, drawing onto the
/// canvas, quantisation, encoding, or the libraries that encode.
inline constexpr int kPreparationVersion = 5;

/// One slider picture, encoded and not yet written anywhere.
struct EncodedSliderPicture {
    PictureFormat format;
    int scaledWidth; // the picture's size once its longer side fits the slider
    int scaledHeight;
    std::string bytes;
};

/// A source picture fitted onto a white slider-sized canvas, ready to be encoded.
struct SliderCanvas {
    PictureFormat format;
    SliderGeometry geometry;
    RgbImage canvas;
};

/// Decodes a picture through load, which is told how small the decoder may make it, and fits it onto a
/// white canvas of the slider's size. Throws VeskaroError when the picture cannot be read.
SliderCanvas composeSliderCanvas(const std::function<LoadedPicture(const LoadOptions&)>& load, int sliderWidth,
                                 int sliderHeight);

/// Returns the canvas encoded in its format: JPEG at the settings' quality, GIF with at most 256 colours,
/// 24-bit BMP; name stands for the file in messages.
std::string encodeSliderCanvas(const SliderCanvas& slider, const std::string& name,
                               const EncoderSettings& settings = {});

/// Returns the memory that preparing the source picture for a slider of that size takes at its peak,
/// estimated from the file's header (a GIF's from its images' descriptors) before anything is decoded: a
/// progressive JPEG holds all its coefficients, GIF and BMP pictures decode whole, a baseline JPEG only at
/// its reduced size. largestScale is that of the largest output (see PictureOutput).
std::uint64_t preparationMemory(const std::string& sourcePath, int sliderWidth, int sliderHeight, int largestScale = 1);

/// Returns the slider geometry with every number multiplied by scale: where a picture lands on a canvas
/// scale times the slider's size in each direction.
SliderGeometry scaledGeometry(const SliderGeometry& geometry, int scale);

/// One picture prepared from a source picture.
struct PictureOutput {
    std::string name; // the file's name, which messages name it by
    PictureFormat format;
    int scale = 1; // the canvas is this many times the slider's size in each direction
    EncoderSettings settings;

    bool operator==(const PictureOutput&) const = default;
};

/// Returns the largest scale of the outputs, 1 for none.
int largestScale(const std::vector<PictureOutput>& outputs);

/// The pictures prepared from one source: where the source lands at the slider's size, and each output's
/// bytes.
struct EncodedPictures {
    SliderGeometry fit;
    std::vector<std::string> bytes;
};

/// Loads a source picture once and encodes each output: the picture fitted onto a white canvas of the
/// slider's size (scaledGeometry of the slider's fit for a larger scale), in the output's format; the
/// largest canvas is drawn from the decoded picture, any smaller one from the largest. Tells
/// memoryNeeded what the preparation will have taken, as preparationMemory counts it, before decoding takes
/// more, and memoryKept what it still takes once the decoded picture is freed, before the encoders run.
/// Throws VeskaroError when the source cannot be read or a picture cannot be encoded.
EncodedPictures encodeSliderPictures(const std::string& sourcePath, const std::vector<PictureOutput>& outputs,
                                     int sliderWidth, int sliderHeight,
                                     const std::function<void(std::uint64_t)>& memoryNeeded = {},
                                     const std::function<void(std::uint64_t)>& memoryKept = {});

} // namespace veskaro
