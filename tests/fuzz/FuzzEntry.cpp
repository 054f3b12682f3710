#include "FuzzEntry.h"

#include "imaging/BmpCodec.h"
#include "imaging/DecodeLimits.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/MemorySource.h"
#include "imaging/PictureLoader.h"
#include "imaging/SliderPicture.h"
#include "platform/VeskaroError.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace veskaro::fuzz {

namespace {

// Writing back costs time in proportion to the pixels; large pictures are only decoded.
constexpr std::size_t kMaxPixelsToWrite = 1 << 20;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

void checkPicture(const LoadedPicture& picture) {
    const RgbImage& image = picture.image;
    require(image.width > 0 && image.height > 0, "a decoded picture has a size");
    require(image.width <= kMaxPictureSide && image.height <= kMaxPictureSide, "the side limit holds");
    require(image.pixels.size() == image.rowBytes() * static_cast<std::size_t>(image.height), "pixels match the size");
    require(picture.sourceWidth >= image.width && picture.sourceHeight >= image.height, "no output beyond the source");
}

LoadedPicture decode(PictureFormat format, const std::string& bytes, bool reduced) {
    MemorySource source(bytes.data(), bytes.size());
    switch (format) {
    case PictureFormat::Jpeg:
        return decodeJpeg(source, "fuzz.jpg", reduced ? LoadOptions::atLeast(1, 1) : LoadOptions{});
    case PictureFormat::Gif:
        return decodeGif(source, "fuzz.gif");
    case PictureFormat::Bmp:
        break;
    case PictureFormat::Png:
    case PictureFormat::Webp:
        throw std::logic_error("only the formats read as sources are fuzzed");
    }
    return decodeBmp(source, "fuzz.bmp");
}

/// Maps the picture onto the 3-3-2 colour cube, which is all a GIF needs here.
IndexedImage toColourCube(const RgbImage& image) {
    IndexedImage indexed{image.width, image.height, {}, {}};
    for (int i = 0; i < 256; ++i)
        indexed.palette.push_back({static_cast<std::uint8_t>((i >> 5) * 36),
                                   static_cast<std::uint8_t>((i >> 2 & 7) * 36),
                                   static_cast<std::uint8_t>((i & 3) * 85)});
    for (std::size_t i = 0; i < image.pixels.size(); i += 3)
        indexed.indices.push_back(static_cast<std::uint8_t>((image.pixels[i] & 0xE0) | (image.pixels[i + 1] >> 5) << 2 |
                                                            image.pixels[i + 2] >> 6));
    return indexed;
}

std::string encode(PictureFormat format, const RgbImage& image) {
    switch (format) {
    case PictureFormat::Jpeg:
        return encodeJpeg(image, 90, "fuzz.jpg");
    case PictureFormat::Gif:
        return encodeGif(toColourCube(image), "fuzz.gif");
    case PictureFormat::Bmp:
        break;
    case PictureFormat::Png:
    case PictureFormat::Webp:
        throw std::logic_error("only the formats read as sources are fuzzed");
    }
    return encodeBmp(image, "fuzz.bmp");
}

} // namespace

Outcome decodeAndReencode(PictureFormat format, const std::uint8_t* data, std::size_t size) {
    LoadedPicture picture;
    try {
        // The size's lowest bit picks a DCT-reduced JPEG decode, so both paths are explored.
        picture = decode(format, std::string(reinterpret_cast<const char*>(data), size), size % 2 == 1);
    } catch (const VeskaroError&) {
        return Outcome::Refused;
    }
    checkPicture(picture);
    if (picture.image.pixels.size() / 3 <= kMaxPixelsToWrite) {
        const LoadedPicture back = decode(format, encode(format, picture.image), false);
        require(back.image.width == picture.image.width && back.image.height == picture.image.height,
                "a written picture reads back at its size");
    }
    return Outcome::Decoded;
}

Outcome prepareForSlider(PictureFormat format, const std::uint8_t* data, std::size_t size) {
    // Small sliders keep each run fast. The sides follow the input's length, so the seed files stay whole
    // pictures while every shape of squeeze and margin comes up.
    const int width = 1 + static_cast<int>(size % 61);
    const int height = 1 + static_cast<int>(size / 61 % 47);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    SliderCanvas slider;
    try {
        slider = composeSliderCanvas(
            [&](const LoadOptions& options) {
                MemorySource source(bytes.data(), bytes.size());
                return decodePicture(source, "fuzz", format, options);
            },
            width, height);
    } catch (const VeskaroError&) {
        return Outcome::Refused;
    }
    require(slider.canvas.width == width && slider.canvas.height == height, "the canvas has the slider's size");
    const PixelRect& target = slider.geometry.target;
    require(target.left >= 0 && target.top >= 0 && target.right <= width && target.bottom <= height,
            "the picture lies on the canvas");
    if (target.top > 0)
        require(slider.canvas.row(0)[0] == 255, "the margin stays white");
    const LoadedPicture back = decode(format, encodeSliderCanvas(slider, "fuzz"), false);
    require(back.image.width == width && back.image.height == height, "the prepared picture reads back");
    return Outcome::Decoded;
}

} // namespace veskaro::fuzz
