#include "PictureFixtures.h"
#include "PictureTesting.h"

#include "imaging/Similarity.h"
#include "imaging/WebpCodec.h"

#include <cstdlib>
#include <numeric>

#include <gtest/gtest.h>
#include <webp/decode.h>

using namespace veskaro;
using namespace veskaro::test;

namespace {

/// Decodes WebP bytes with libwebp's own decoder; an empty picture where they are not a WebP.
RgbImage decodeWebpBytes(const std::string& bytes) {
    int width = 0, height = 0;
    std::uint8_t* pixels =
        WebPDecodeRGB(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &width, &height);
    if (pixels == nullptr)
        return {};
    RgbImage image(width, height);
    std::copy(pixels, pixels + image.pixels.size(), image.pixels.begin());
    WebPFree(pixels);
    return image;
}

double meanOf(const RgbImage& image) {
    return std::accumulate(image.pixels.begin(), image.pixels.end(), 0.0) / static_cast<double>(image.pixels.size());
}

/// A picture of flat areas in a few colours, like a diagram saved as a GIF.
RgbImage flatGraphic(int width, int height) {
    RgbImage image(width, height, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = image.row(y) + 3 * x;
            pixel[0] = x < width / 2 ? 200 : 20;
            pixel[1] = y < height / 3 ? 40 : 160;
        }
    return image;
}

std::string webpError(const std::string& what) {
    return "WebP error: out.webp: " + what;
}

} // namespace

TEST(WebpCodec, LossyKeepsTheSizeAndStaysClose) {
    const RgbImage image = smoothPattern(61, 37);
    const RgbImage back = decodeWebpBytes(encodeWebp(image, 80, "out.webp"));
    EXPECT_EQ(back.width, 61);
    EXPECT_EQ(back.height, 37);
    EXPECT_NEAR(meanOf(back), meanOf(image), 1.0);
    EXPECT_LE(largestDifference(back, image), 24);
}

TEST(WebpCodec, LossyKeepsAConstantPictureConstant) {
    // Lossy WebP quantises chroma block by block: a saturated colour wavers by a few steps, while black and
    // the canvas's white margins stay within one.
    const std::vector<std::pair<Colour, int>> cases{{{0, 0, 0}, 1}, {{255, 255, 255}, 1}, {{90, 140, 200}, 6}};
    for (const auto& [colour, tolerance] : cases) {
        const RgbImage constant = pictureOf(std::vector(32, std::vector(48, colour)));
        const RgbImage back = decodeWebpBytes(encodeWebp(constant, 75, "out.webp"));
        ASSERT_EQ(back.pixels.size(), constant.pixels.size());
        EXPECT_LE(largestDifference(back, constant), tolerance);
        EXPECT_NEAR(meanOf(back), meanOf(constant), 1.0);
    }
}

TEST(WebpCodec, LowerQualityGivesFewerBytes) {
    const RgbImage image = colourPattern(64, 48);
    EXPECT_LT(encodeWebp(image, 50, "out.webp").size(), encodeWebp(image, 90, "out.webp").size());
}

TEST(WebpCodec, LosslessGivesBackEveryPixel) {
    const RgbImage image = colourPattern(33, 17);
    const RgbImage back = decodeWebpBytes(encodeWebpLossless(image, "out.webp"));
    EXPECT_EQ(back.width, 33);
    EXPECT_EQ(back.height, 17);
    EXPECT_EQ(back.pixels, image.pixels);
}

struct RefusedPicture {
    const char* label;
    RgbImage image;
    int quality;
    int method;
    std::string message;
};

void PrintTo(const RefusedPicture& refused, std::ostream* out) {
    *out << refused.label;
}

class RefusedWebp : public testing::TestWithParam<RefusedPicture> {};

TEST_P(RefusedWebp, IsRefusedWithAMessageNamingTheFile) {
    const RefusedPicture& c = GetParam();
    EXPECT_EQ(errorOf([&] { encodeWebp(c.image, c.quality, "out.webp", c.method); }), c.message);
    if (c.quality == 75 && c.method == kWebpMethod) {
        EXPECT_EQ(errorOf([&] { encodeWebpLossless(c.image, "out.webp"); }), c.message);
    }
}

namespace {

RgbImage withMissingPixels() {
    RgbImage image(4, 4);
    image.pixels.pop_back();
    return image;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Pictures, RefusedWebp,
    testing::Values(
        RefusedPicture{"empty", RgbImage{}, 75, kWebpMethod, webpError("cannot write an empty picture")},
        RefusedPicture{"no rows", RgbImage(10, 0), 75, kWebpMethod, webpError("cannot write an empty picture")},
        RefusedPicture{"pixels short of the size", withMissingPixels(), 75, kWebpMethod,
                       webpError("the picture's pixels do not match its size")},
        RefusedPicture{"too wide", RgbImage(16384, 1), 75, kWebpMethod,
                       webpError("the picture is 16384 x 1 pixels; a WebP file holds at most 16383 pixels a side")},
        RefusedPicture{"too high", RgbImage(1, 16384), 75, kWebpMethod,
                       webpError("the picture is 1 x 16384 pixels; a WebP file holds at most 16383 pixels a side")},
        RefusedPicture{"quality above 100", RgbImage(4, 4), 101, kWebpMethod,
                       webpError("the quality 101 is outside 0 to 100")},
        RefusedPicture{"negative quality", RgbImage(4, 4), -1, kWebpMethod,
                       webpError("the quality -1 is outside 0 to 100")},
        RefusedPicture{"method above 6", RgbImage(4, 4), 75, 7, webpError("the method 7 is outside 0 to 6")}));

struct ColourCount {
    RgbImage image;
    int limit;
    bool atMost;
};

void PrintTo(const ColourCount& c, std::ostream* out) {
    *out << c.image.width << "x" << c.image.height << " within " << c.limit;
}

class ColourCounting : public testing::TestWithParam<ColourCount> {};

TEST_P(ColourCounting, StopsAtTheLimit) {
    EXPECT_EQ(hasAtMostColours(GetParam().image, GetParam().limit), GetParam().atMost);
}

INSTANTIATE_TEST_SUITE_P(Pictures, ColourCounting,
                         testing::Values(ColourCount{RgbImage(5, 5, 7), 1, true},
                                         ColourCount{flatGraphic(40, 30), 4, true},
                                         ColourCount{flatGraphic(40, 30), 3, false},
                                         // Colours that come back after others are counted once.
                                         ColourCount{pictureOf({{{1, 2, 3}, {4, 5, 6}, {1, 2, 3}}}), 2, true},
                                         ColourCount{smoothPattern(64, 64), 256, false},
                                         ColourCount{RgbImage{}, 0, true}));

struct LosslessChoice {
    bool fewColours;
    std::size_t lossyBytes;
    std::size_t losslessBytes;
    bool lossless;
};

void PrintTo(const LosslessChoice& c, std::ostream* out) {
    *out << (c.fewColours ? "few" : "many") << " colours, lossy " << c.lossyBytes << " lossless " << c.losslessBytes;
}

class LosslessDecision : public testing::TestWithParam<LosslessChoice> {};

TEST_P(LosslessDecision, TakesLosslessOnlyForFewColoursAndFewerBytes) {
    const LosslessChoice& c = GetParam();
    EXPECT_EQ(webpLosslessIsBetter(c.fewColours, c.lossyBytes, c.losslessBytes), c.lossless);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LosslessDecision,
                         testing::Values(LosslessChoice{true, 1000, 400, true}, LosslessChoice{true, 1000, 1000, false},
                                         LosslessChoice{true, 400, 1000, false},
                                         LosslessChoice{false, 1000, 400, false}));

TEST(WebpCodec, DecodesWhatItEncodesAndRefusesWhatIsNoWebp) {
    const RgbImage image = colourPattern(33, 17);
    EXPECT_EQ(decodeWebp(encodeWebpLossless(image, "out.webp"), "out.webp").pixels, image.pixels);
    EXPECT_EQ(errorOf([] { decodeWebp("RIFF0000WEBPVP8 garbage", "out.webp"); }),
              webpError("the bytes are not a WebP picture"));
}

TEST(Similarity, MeasuresLumaStructureWithinTheRectangleOnly) {
    const RgbImage drawing = fineGrain(64, 48);
    RgbImage framed = drawing;
    std::fill_n(framed.row(0), framed.rowBytes(), std::uint8_t{0}); // outside the rectangle below
    EXPECT_DOUBLE_EQ(*lumaSimilarity(drawing, framed, {0, 1, 64, 48}), 1.0);
    EXPECT_LT(*lumaSimilarity(drawing, framed, wholeOf(drawing)), 1.0);
    // Flat pictures of luma 100 and 110: only the means' term of the measure is left.
    const double means = (2 * 100.0 * 110 + 6.5025) / (100.0 * 100 + 110.0 * 110 + 6.5025);
    EXPECT_NEAR(*lumaSimilarity(RgbImage(20, 20, 100), RgbImage(20, 20, 110), {0, 0, 20, 20}), means, 1e-5);
    RgbImage negative = drawing;
    for (std::uint8_t& value : negative.pixels)
        value = static_cast<std::uint8_t>(255 - value);
    EXPECT_LT(*lumaSimilarity(drawing, negative, wholeOf(drawing)), 0.0);
    EXPECT_FALSE(lumaSimilarity(drawing, drawing, {0, 0, 64, 10}).has_value());
    EXPECT_THROW(lumaSimilarity(drawing, RgbImage(64, 47), {0, 0, 10, 10}), std::invalid_argument);
    EXPECT_THROW(lumaSimilarity(drawing, drawing, {0, 0, 65, 48}), std::invalid_argument);
}

struct RaiseCase {
    const char* name;
    std::vector<QualityTrial> trials;
    int next;
};

void PrintTo(const RaiseCase& raise, std::ostream* out) {
    *out << raise.name;
}

class WebpQualityRaise : public testing::TestWithParam<RaiseCase> {};

TEST_P(WebpQualityRaise, StepsAsFarAsTheMeasuredFallSaysUpToTheHighest) {
    EXPECT_EQ(nextQuality(GetParam().trials, kWebpQualityRaise), GetParam().next);
}

// The figures below follow from the floor and the fall assumed after one trial.
static_assert(kLeastSimilarity == 0.953 && kWebpQualitySlope == 0.06);
INSTANTIATE_TEST_SUITE_P(Trials, WebpQualityRaise,
                         testing::Values(RaiseCase{"sixteen steps short", {{74, 0.8762}}, 91},
                                         RaiseCase{"just short", {{74, 0.951}}, 76},
                                         RaiseCase{"no further than the top", {{90, 0.90}}, kWebpHighestQuality},
                                         RaiseCase{"at the fall measured", {{74, 0.90}, {80, 0.93}}, 87},
                                         RaiseCase{"after a raise that did not help", {{74, 0.90}, {80, 0.90}}, 95}));

TEST(WebpCodec, RaisesTheQualityOfAPictureThatWouldLoseItsDetail) {
    const RgbImage grain = fineGrain(96, 64);
    const auto similarity = [&](const std::string& bytes) {
        return *lumaSimilarity(decodeWebp(bytes, "out.webp"), grain, wholeOf(grain));
    };
    EXPECT_LT(similarity(encodeWebp(grain, 50, "out.webp")), kLeastSimilarity);
    EXPECT_GE(similarity(encodeFaithfulWebp(grain, wholeOf(grain), 50, "out.webp")), kLeastSimilarity);
    // A photograph-like picture keeps the quality it starts from, and so does a picture too small to measure.
    const RgbImage smooth = smoothPattern(96, 64);
    EXPECT_EQ(encodeFaithfulWebp(smooth, wholeOf(smooth), 74, "out.webp"), encodeWebp(smooth, 74, "out.webp"));
    EXPECT_EQ(encodeFaithfulWebp(grain, {0, 0, 96, 8}, 50, "out.webp"), encodeWebp(grain, 50, "out.webp"));
}

TEST(WebpCodec, PublishesAFlatGifPictureLosslessAndExact) {
    const RgbImage image = flatGraphic(160, 120);
    const EncodedWebp chosen = encodeWebpFor(image, wholeOf(image), true, 80, "out.webp");
    EXPECT_TRUE(chosen.lossless);
    EXPECT_EQ(decodeWebpBytes(chosen.bytes).pixels, image.pixels);
}

TEST(WebpCodec, PublishesPhotographsAndOtherFormatsLossy) {
    const RgbImage smooth = smoothPattern(160, 120);
    const EncodedWebp photo = encodeWebpFor(smooth, wholeOf(smooth), true, 80, "out.webp");
    EXPECT_FALSE(photo.lossless);
    EXPECT_EQ(photo.bytes, encodeWebp(smooth, 80, "out.webp"));
    const RgbImage flat = flatGraphic(160, 120);
    EXPECT_FALSE(encodeWebpFor(flat, wholeOf(flat), false, 80, "out.webp").lossless);
}
