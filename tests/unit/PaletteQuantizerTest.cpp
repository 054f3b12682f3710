#include "imaging/PaletteQuantizer.h"
#include "imaging/Similarity.h"
#include "imaging/WuQuantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace veskaro;

namespace {

RgbImage gradientOnWhite(int width, int height, const PixelRect& content) {
    RgbImage canvas(width, height, 255);
    for (int y = content.top; y < content.bottom; ++y)
        for (int x = content.left; x < content.right; ++x) {
            std::uint8_t* p = canvas.row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(255 * (x - content.left) / std::max(1, content.width() - 1));
            p[1] = static_cast<std::uint8_t>(255 * (y - content.top) / std::max(1, content.height() - 1));
            p[2] = static_cast<std::uint8_t>(128 + 120 * std::sin(x * 0.07 + y * 0.05));
        }
    return canvas;
}

std::array<std::uint8_t, 3> colourAt(const IndexedImage& image, int x, int y) {
    return image.palette[image.indices[static_cast<std::size_t>(y * image.width + x)]];
}

} // namespace

TEST(PaletteQuantizer, KeepsTheCanvasExactlyWhiteAndThePaletteSmall) {
    const PixelRect content{0, 30, 120, 90};
    const IndexedImage out = quantizeForGif(gradientOnWhite(120, 120, content), content);
    ASSERT_EQ(out.width, 120);
    ASSERT_EQ(out.height, 120);
    EXPECT_LE(out.palette.size(), 256u);
    EXPECT_GT(out.palette.size(), 200u) << "a rich picture should use most of the palette";
    for (int y : {0, 29, 90, 119})
        for (int x : {0, 60, 119})
            EXPECT_EQ(colourAt(out, x, y), (std::array<std::uint8_t, 3>{255, 255, 255}));
}

TEST(PaletteQuantizer, FlatColourIsReproducedExactly) {
    RgbImage canvas(50, 40, 255);
    const PixelRect content{10, 0, 40, 40};
    for (int y = 0; y < 40; ++y)
        for (int x = 10; x < 40; ++x) {
            canvas.row(y)[3 * x] = 37;
            canvas.row(y)[3 * x + 1] = 150;
            canvas.row(y)[3 * x + 2] = 201;
        }
    const IndexedImage out = quantizeForGif(canvas, content);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(colourAt(out, x, y), (x >= 10 && x < 40 ? std::array<std::uint8_t, 3>{37, 150, 201}
                                                              : std::array<std::uint8_t, 3>{255, 255, 255}));
}

namespace {

struct Comparison {
    double psnr;
    std::array<double, 3> meanShift;
};

Comparison compare(const RgbImage& canvas, const IndexedImage& out) {
    double squared = 0;
    std::array<double, 3> shift{};
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int before = canvas.row(y)[3 * x + c];
                const int after = colourAt(out, x, y)[static_cast<std::size_t>(c)];
                squared += (before - after) * (before - after);
                shift[static_cast<std::size_t>(c)] += after - before;
            }
    const double count = static_cast<double>(canvas.width) * canvas.height;
    for (double& s : shift)
        s /= count;
    return {10 * std::log10(255.0 * 255.0 / (squared / (count * 3))), shift};
}

} // namespace

TEST(PaletteQuantizer, DitheredPictureStaysCloseAndKeepsItsMean) {
    const PixelRect content{0, 0, 160, 120};
    const RgbImage canvas = gradientOnWhite(160, 120, content);
    const Comparison result = compare(canvas, quantizeForGif(canvas, content));
    // Three independent gradients are as hard as pictures get for 256 colours.
    EXPECT_GT(result.psnr, 27.0);
    for (double shift : result.meanShift)
        EXPECT_LT(std::abs(shift), 1.0);
}

TEST(PaletteQuantizer, LighterDiffusionLeavesLessGrain) {
    const PixelRect content{0, 0, 160, 120};
    const RgbImage canvas = gradientOnWhite(160, 120, content);
    const auto similarity = [&](int sixteenths) {
        const IndexedImage out = quantizeForGif(canvas, content, sixteenths);
        RgbImage back(out.width, out.height);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x)
                std::copy_n(colourAt(out, x, y).data(), 3, back.row(y) + 3 * x);
        return *lumaSimilarity(back, canvas, content);
    };
    EXPECT_GT(similarity(kGifDiffusion2x), similarity(kGifDiffusion));
}

TEST(PaletteQuantizer, GreyRampKeepsFineSteps) {
    RgbImage ramp(256, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 256; ++x)
            for (int c = 0; c < 3; ++c)
                ramp.row(y)[3 * x + c] = static_cast<std::uint8_t>(x);
    EXPECT_GT(compare(ramp, quantizeForGif(ramp, {0, 0, 256, 32})).psnr, 42.0);
}

// The moments of the largest slider allowed, 9999 x 9999, counted as quantizeForGif counts a picture made of
// flat runs: its channel sums overflow 64-bit integers once squared. Brightest colours give the largest sums.
TEST(PaletteQuantizer, LargestSliderKeepsItsColours) {
    constexpr std::int64_t side = 9999;
    using Colour = WuQuantizer::Colour;
    const std::vector<Colour> colours{{255, 255, 250}, {250, 255, 255}, {255, 250, 255}};
    WuQuantizer wu;
    for (const Colour& colour : colours)
        wu.add(colour.data(), side * side / 3);
    std::vector<Colour> palette = wu.palette(255);
    std::sort(palette.begin(), palette.end());
    EXPECT_EQ(palette, (std::vector<Colour>{{250, 255, 255}, {255, 250, 255}, {255, 255, 250}}));
}
