#pragma once

#include "imaging/PictureFormat.h"
#include "imaging/RgbImage.h"

#include <cstdint>
#include <functional>

namespace veskaro {

/// A size in pixels.
struct PictureSize {
    int width = 0;
    int height = 0;
};

/// How a picture is to be decoded.
struct LoadOptions {
    // JPEG only: given the file's own size, the smallest size the decoded picture may have; the decoder
    // takes the largest DCT reduction (1/2, 1/4 or 1/8) that still reaches it. Unset: the full size.
    std::function<PictureSize(int width, int height)> minimumSize;
    // GIF and JPEG: told, before the decoder takes more memory, the most its decoding will have taken once it
    // has; a caller that keeps a memory budget may wait here until that fits. Unset: nobody asks.
    std::function<void(std::uint64_t bytes)> memoryNeeded;

    /// Returns options that allow a reduction down to a fixed size.
    static LoadOptions atLeast(int width, int height) {
        LoadOptions options;
        options.minimumSize = [=](int, int) { return PictureSize{width, height}; };
        return options;
    }
};

/// A decoded picture with the facts about its file that image preparation needs.
struct LoadedPicture {
    PictureFormat format = PictureFormat::Jpeg; // named by the file's extension: the prepared picture's format
    int sourceWidth = 0;                        // the file's own size, before any DCT reduction
    int sourceHeight = 0;
    RgbImage image; // the decoded pixels, possibly DCT-reduced for JPEG
};

} // namespace veskaro
