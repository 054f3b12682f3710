#pragma once

#include "imaging/PictureFormat.h"
#include "imaging/RgbImage.h"

namespace veskaro {

/// How a picture is to be decoded.
struct LoadOptions {
    // JPEG only: decode at the largest DCT reduction (1/2, 1/4 or 1/8) whose output is still at least
    // minWidth x minHeight; a zero leaves that side free, and both zero decode the full size.
    int minWidth = 0;
    int minHeight = 0;
};

/// A decoded picture with the facts about its file that image preparation needs.
struct LoadedPicture {
    PictureFormat format = PictureFormat::Jpeg; // named by the file's extension: the prepared picture's format
    int sourceWidth = 0;                        // the file's own size, before any DCT reduction
    int sourceHeight = 0;
    RgbImage image; // the decoded pixels, possibly DCT-reduced for JPEG
};

} // namespace veskaro
