#pragma once

#include "imaging/PictureFormat.h"

#include <string>

namespace veskaro {

/// What preparing one slider picture produced.
struct PreparedPicture {
    PictureFormat format;
    std::string path; // the written file: the target base with the format's extension
    int scaledWidth;  // the picture's size once its longer side fits the slider
    int scaledHeight;
};

/// Loads a source picture, fits it onto a white slider-sized canvas and writes the canvas in the source's
/// format to targetBase plus its extension (".jpg", ".gif" or ".bmp"). Throws VeskaroError when the
/// source cannot be read or the file cannot be written.
PreparedPicture prepareSliderPicture(const std::string& sourcePath, const std::string& targetBase, int sliderWidth,
                                     int sliderHeight);

} // namespace veskaro
