#pragma once

#include "imaging/LoadedPicture.h"
#include "imaging/PictureFormats.h"
#include "imaging/SliderGeometry.h"

#include <cstdint>
#include <functional>
#include <string>

namespace veskaro {

/// The version of the preparation's output. Kept prepared pictures name the version that made them, so
/// raise it with every change that alters the bytes of a prepared picture: resampling, drawing onto the
/// canvas, quantisation, encoding, or the libraries that encode.
inline constexpr int kPreparationVersion = 1;

/// One slider picture, encoded and not yet written anywhere.
struct EncodedSliderPicture {
    PictureFormat format;
    int scaledWidth; // the picture's size once its longer side fits the slider
    int scaledHeight;
    std::string bytes;
};

/// What preparing one slider picture produced.
struct PreparedPicture {
    PictureFormat format;
    std::string path; // the written file: the target base with the format's extension
    int scaledWidth;  // the picture's size once its longer side fits the slider
    int scaledHeight;
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
/// its reduced size.
std::uint64_t preparationMemory(const std::string& sourcePath, int sliderWidth, int sliderHeight);

/// Loads a source picture and fits it onto a white slider-sized canvas, encoded in the source's format as
/// prepareSliderPicture writes it. Throws VeskaroError when the source cannot be read.
EncodedSliderPicture encodeSliderPicture(const std::string& sourcePath, int sliderWidth, int sliderHeight,
                                         const std::function<void(std::uint64_t)>& memoryNeeded = {});

/// Writes an encoded picture to targetBase plus its format's extension and returns what was written.
/// Throws VeskaroError when the file cannot be written.
PreparedPicture writeSliderPicture(const EncodedSliderPicture& picture, const std::string& targetBase);

/// Loads a source picture, fits it onto a white slider-sized canvas and writes the canvas in the source's
/// format to targetBase plus its extension (".jpg", ".gif" or ".bmp"). Tells memoryNeeded, where given,
/// what the preparation will have taken (as preparationMemory counts it) each time decoding finds it needs
/// more, before taking it. Throws
/// VeskaroError when the source cannot be read or the file cannot be written.
PreparedPicture prepareSliderPicture(const std::string& sourcePath, const std::string& targetBase, int sliderWidth,
                                     int sliderHeight, const std::function<void(std::uint64_t)>& memoryNeeded = {});

} // namespace veskaro
