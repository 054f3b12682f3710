#include "PictureFixtures.h"
#include "PictureTesting.h"

#include "imaging/PngCodec.h"

#include <gtest/gtest.h>
#include <png.h>

using namespace veskaro;
using namespace veskaro::test;

namespace {

/// Decodes PNG bytes to 8-bit RGB with libpng's own reader; an empty picture where they are not a PNG.
RgbImage decodePngBytes(const std::string& bytes) {
    png_image reader{};
    reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&reader, bytes.data(), bytes.size()))
        return {};
    reader.format = PNG_FORMAT_RGB;
    RgbImage image(static_cast<int>(reader.width), static_cast<int>(reader.height));
    if (!png_image_finish_read(&reader, nullptr, image.pixels.data(), 0, nullptr)) {
        png_image_free(&reader);
        return {};
    }
    return image;
}

/// Returns the byte of the header chunk at offset (0: the first byte of the width).
int headerByte(const std::string& png, std::size_t offset) {
    return static_cast<unsigned char>(png.at(16 + offset));
}

std::string pngError(const std::string& what) {
    return "PNG error: out.png: " + what;
}

} // namespace

TEST(PngCodec, GivesBackEveryPixel) {
    for (const RgbImage& image : {colourPattern(33, 17), RgbImage(1, 1, 200), smoothPattern(640, 3)}) {
        const RgbImage back = decodePngBytes(encodePng(image, "out.png"));
        EXPECT_EQ(back.width, image.width);
        EXPECT_EQ(back.height, image.height);
        EXPECT_EQ(back.pixels, image.pixels);
    }
}

TEST(PngCodec, WritesEightBitRgbWithoutInterlace) {
    const std::string png = encodePng(colourPattern(300, 2), "out.png");
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(headerByte(png, 2) << 8 | headerByte(png, 3), 300);
    EXPECT_EQ(headerByte(png, 8), 8) << "bit depth";
    EXPECT_EQ(headerByte(png, 9), 2) << "colour type RGB";
    EXPECT_EQ(headerByte(png, 12), 0) << "not interlaced";
}

TEST(PngCodec, HigherLevelsCompressAtLeastAsWell) {
    const RgbImage image = smoothPattern(200, 150);
    EXPECT_LT(encodePng(image, "out.png", 9).size(), encodePng(image, "out.png", 0).size());
}

struct RefusedPng {
    const char* label;
    RgbImage image;
    int level;
    std::string message;
};

void PrintTo(const RefusedPng& refused, std::ostream* out) {
    *out << refused.label;
}

class PngRefusal : public testing::TestWithParam<RefusedPng> {};

TEST_P(PngRefusal, IsRefusedWithAMessageNamingTheFile) {
    EXPECT_EQ(errorOf([&] { encodePng(GetParam().image, "out.png", GetParam().level); }), GetParam().message);
}

namespace {

RgbImage withMissingPixels() {
    RgbImage image(4, 4);
    image.pixels.pop_back();
    return image;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Pictures, PngRefusal,
                         testing::Values(RefusedPng{"empty", RgbImage{}, 6, pngError("cannot write an empty picture")},
                                         RefusedPng{"no columns", RgbImage(0, 10), 6,
                                                    pngError("cannot write an empty picture")},
                                         RefusedPng{"pixels short of the size", withMissingPixels(), 6,
                                                    pngError("the picture's pixels do not match its size")},
                                         RefusedPng{"level above 9", RgbImage(4, 4), 10,
                                                    pngError("the compression level 10 is outside 0 to 9")},
                                         RefusedPng{"negative level", RgbImage(4, 4), -1,
                                                    pngError("the compression level -1 is outside 0 to 9")}));

// libpng itself refuses a row wider than its limit, through its error handler: the jump back must turn into
// our message, not a crash.
TEST(PngCodec, TurnsLibpngsOwnRefusalIntoAMessage) {
    const RgbImage wide(1'000'001, 1);
    EXPECT_EQ(errorOf([&] { encodePng(wide, "out.png"); }).rfind(pngError(""), 0), 0u);
}
