#pragma once

#include "imaging/RgbImage.h"
#include "imaging/SliderGeometry.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace veskaro::test {

using Colour = std::array<std::uint8_t, 3>;

/// Returns a picture whose every pixel differs from its neighbours, for round trips.
RgbImage colourPattern(int width, int height);

/// Returns a picture of smooth gradients, which lossy coding keeps close.
RgbImage smoothPattern(int width, int height);

/// Returns grey grain of a few levels from pixel to pixel: the finest detail there is, which lossy coding at
/// a middling quality smooths away.
RgbImage fineGrain(int width, int height);

/// Returns the rectangle of a whole picture.
PixelRect wholeOf(const RgbImage& image);

/// A Windows bitmap to be built byte by byte; the fields are written as they are, however wrong.
struct BmpSpec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: top-down
    std::uint16_t planes = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::vector<Colour> palette;      // written as blue, green, red (and a zero byte unless core)
    std::vector<std::uint32_t> masks; // after an info header, or inside a larger one
    std::int64_t coloursUsed = -1;    // -1: the palette's size
    std::int64_t pixelOffset = -1;    // -1: right after the palette
    std::string pixelData;            // rows as the file holds them
    std::uint32_t declaredPixelBytes = 0;
    std::int64_t declaredFileSize = -1; // -1: the true size
};

/// Returns the bytes of the bitmap these settings describe.
std::string makeBmp(const BmpSpec& spec);

/// Returns the rows of a picture of palette indices (1 to 8 bits each) as an uncompressed bitmap stores
/// them: bottom-up unless topDown, each padded to four bytes.
std::string packIndexRows(const std::vector<std::vector<int>>& rows, int bitsPerPixel, bool topDown = false);

/// One image of a GIF to be written with giflib.
struct GifImageSpec {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::vector<std::uint8_t> indices; // rows top-down, whatever the interlacing
    std::vector<Colour> localColours;  // empty: none
    bool hasControl = false;
    int delay = 0;
    int disposal = 0;
    int transparentIndex = -1;
};

struct GifSpec {
    int screenWidth = 0;
    int screenHeight = 0;
    std::vector<Colour> globalColours; // empty: none
    std::vector<GifImageSpec> images;
};

/// Returns the bytes of the GIF these settings describe, as giflib writes it.
std::string makeGif(const GifSpec& spec);

/// Returns a GIF of one image whose LZW data is given code by code, to build streams giflib never writes.
/// Codes are packed with the widths a decoder expects; a negative code stands for stopping the data.
std::string makeRawGif(int width, int height, const std::vector<Colour>& colours, int minimumCodeSize,
                       const std::vector<int>& codes, const std::string& afterCodes = {});

/// Returns a progressive JPEG of the picture: libjpeg's standard script of 10 scans for scans <= 10, or else
/// exactly the given number of scans (190 to 2647), each AC coefficient on its own and refined bit by bit.
std::string makeProgressiveJpeg(const RgbImage& image, int scans);

/// Returns a greyscale JPEG whose pixels are the first channel of the picture.
std::string makeGreyJpeg(const RgbImage& image);

/// Returns a four-channel JPEG of the given CMYK values with Adobe's marker, as Photoshop writes them.
std::string makeAdobeCmykJpeg(int width, int height, const std::vector<std::uint8_t>& cmyk);

/// Returns the start of a JPEG whose frame header (marker sof, sample precision, size) is followed by a
/// scan header and no data.
std::string makeJpegHeaderOnly(int sof, int precision, int width, int height);

} // namespace veskaro::test
