#include "PictureFixtures.h"
#include "PictureTesting.h"
#include "TestFolders.h"

#include "imaging/GifCodec.h"
#include "imaging/GifEstimate.h"
#include "imaging/MemorySource.h"
#include "imaging/SliderPicture.h"

#include <gtest/gtest.h>

using namespace veskaro;
using namespace veskaro::test;

namespace {

const Colour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0}, kWhite{255, 255, 255},
    kPink{250, 128, 200};
const std::vector<Colour> kColours{kRed, kGreen, kBlue, kBlack};

GifImageSpec image(int left, int top, int width, int height, std::vector<std::uint8_t> indices) {
    GifImageSpec spec;
    spec.left = left;
    spec.top = top;
    spec.width = width;
    spec.height = height;
    spec.indices = std::move(indices);
    return spec;
}

GifImageSpec shownFor(GifImageSpec spec, int delay, int disposal = 0) {
    spec.hasControl = true;
    spec.delay = delay;
    spec.disposal = disposal;
    return spec;
}

RgbImage decodeGifBytes(const std::string& bytes) {
    return decodeBytes(bytes, "test.gif").image;
}

// Raw LZW codes with a minimum code size of 2: clear is 4 and the end code 5.
constexpr int kClear = 4, kEnd = 5;

} // namespace

TEST(GifCodec, WritesAndReadsBackPalettesOfEverySize) {
    for (const std::size_t colours : {1u, 2u, 3u, 200u, 256u}) {
        IndexedImage indexed{23, 17, {}, {}};
        for (std::size_t i = 0; i < colours; ++i)
            indexed.palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7});
        for (int i = 0; i < 23 * 17; ++i)
            indexed.indices.push_back(static_cast<std::uint8_t>((i * 7 + i / 23) % colours));
        const LoadedPicture back = decodeBytes(encodeGif(indexed, "out.gif"), "back.gif");
        ASSERT_EQ(back.image.width, 23);
        ASSERT_EQ(back.image.height, 17);
        for (std::size_t i = 0; i < indexed.indices.size(); ++i) {
            const Colour& colour = indexed.palette[indexed.indices[i]];
            ASSERT_TRUE(std::equal(colour.begin(), colour.end(), &back.image.pixels[3 * i]))
                << colours << " colours, pixel " << i;
        }
    }
}

TEST(GifCodec, DecodesWhatGiflibEncodesWithFullCodeTables) {
    // 256 colours of noise fill the 4096-code table many times over: giflib clears it as it goes.
    IndexedImage indexed{300, 200, {}, {}};
    for (int i = 0; i < 256; ++i)
        indexed.palette.push_back(
            {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i * 7)});
    std::uint32_t noise = 12345;
    for (int i = 0; i < 300 * 200; ++i) {
        noise = noise * 1103515245 + 12345;
        indexed.indices.push_back(static_cast<std::uint8_t>(i % 5 == 0                ? noise >> 16
                                                            : indexed.indices.empty() ? 0
                                                                                      : indexed.indices.back()));
    }
    const RgbImage back = decodeGifBytes(encodeGif(indexed, "noise.gif"));
    for (std::size_t i = 0; i < indexed.indices.size(); ++i)
        ASSERT_EQ(back.pixels[3 * i], indexed.indices[i]) << "pixel " << i;
}

TEST(GifCodec, WriterRefusesWhatAGifCannotHold) {
    TemporaryFolder folder;
    const std::string path = folder / "out.gif";
    IndexedImage indexed{2, 1, {kRed, kGreen}, {0, 1}};
    IndexedImage noPalette = indexed;
    noPalette.palette.clear();
    EXPECT_EQ(errorOf([&] { writeGif(path, noPalette); }),
              "GIF error: " + path + ": the palette has 0 colours; 1 to 256 are possible");
    IndexedImage bigPalette = indexed;
    bigPalette.palette.resize(257);
    EXPECT_EQ(errorOf([&] { writeGif(path, bigPalette); }),
              "GIF error: " + path + ": the palette has 257 colours; 1 to 256 are possible");
    IndexedImage badIndex = indexed;
    badIndex.indices[1] = 2;
    EXPECT_EQ(errorOf([&] { writeGif(path, badIndex); }),
              "GIF error: " + path + ": a pixel uses colour 2 but the palette has only 2 colours");
    IndexedImage cut = indexed;
    cut.indices.pop_back();
    EXPECT_EQ(errorOf([&] { writeGif(path, cut); }),
              "GIF error: " + path + ": the picture's pixels do not match its size");
    IndexedImage wide{70000, 1, {kRed}, std::vector<std::uint8_t>(70000)};
    EXPECT_EQ(errorOf([&] { writeGif(path, wide); }),
              "GIF error: " + path + ": cannot write a picture of 70000 x 1 pixels");
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    writeGif(path, indexed);
    EXPECT_EQ(decodeBytes(readBytes(path), "out.gif").image.pixels, pictureOf({{kRed, kGreen}}).pixels);
}

TEST(GifCodec, HonoursInterlacing) {
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < 11; ++y)
        rows.insert(rows.end(), {static_cast<std::uint8_t>(y % 4), static_cast<std::uint8_t>((y + 1) % 4)});
    GifSpec plain{2, 11, kColours, {image(0, 0, 2, 11, rows)}};
    GifSpec interlaced = plain;
    interlaced.images[0].interlaced = true;
    EXPECT_NE(makeGif(plain), makeGif(interlaced));
    EXPECT_EQ(decodeGifBytes(makeGif(interlaced)).pixels, decodeGifBytes(makeGif(plain)).pixels);
}

TEST(GifCodec, ShowsTheWhiteCanvasThroughTransparentPixelsAndAroundASmallerImage) {
    GifImageSpec small = image(1, 1, 2, 1, {2, 1});
    small.hasControl = true;
    small.transparentIndex = 1;
    const RgbImage picture = decodeGifBytes(makeGif({4, 3, kColours, {small}}));
    EXPECT_EQ(
        picture.pixels,
        pictureOf({{kWhite, kWhite, kWhite, kWhite}, {kWhite, kBlue, kWhite, kWhite}, {kWhite, kWhite, kWhite, kWhite}})
            .pixels);
}

TEST(GifCodec, PrefersTheImagesOwnColourTable) {
    GifImageSpec local = image(0, 0, 2, 1, {0, 1});
    local.localColours = {kPink, kBlack};
    EXPECT_EQ(decodeGifBytes(makeGif({2, 1, kColours, {local}})).pixels, pictureOf({{kPink, kBlack}}).pixels);
    EXPECT_EQ(decodeGifBytes(makeGif({2, 1, {}, {local}})).pixels, pictureOf({{kPink, kBlack}}).pixels);
}

TEST(GifCodec, ShowsTheFirstFrameOfAnAnimation) {
    const GifSpec timed{
        2, 1, kColours, {shownFor(image(0, 0, 2, 1, {0, 1}), 10), shownFor(image(0, 0, 2, 1, {2, 3}), 10)}};
    EXPECT_EQ(decodeGifBytes(makeGif(timed)).pixels, pictureOf({{kRed, kGreen}}).pixels);
    // Old animations have no display times: an image covering the whole screen starts the next frame.
    const GifSpec untimed{2, 1, kColours, {image(0, 0, 2, 1, {0, 1}), image(0, 0, 2, 1, {2, 3})}};
    EXPECT_EQ(decodeGifBytes(makeGif(untimed)).pixels, pictureOf({{kRed, kGreen}}).pixels);
}

TEST(GifCodec, CombinesTheImagesShownTogetherInTheFirstFrame) {
    // Tiles without display times make one picture, as true-colour GIFs do.
    const GifSpec tiles{2,
                        2,
                        kColours,
                        {image(0, 0, 1, 1, {0}), image(1, 0, 1, 1, {1}), image(0, 1, 1, 1, {2}), image(1, 1, 1, 1, {3}),
                         shownFor(image(0, 0, 2, 2, {3, 3, 3, 3}), 10)}};
    EXPECT_EQ(decodeGifBytes(makeGif(tiles)).pixels, pictureOf({{kRed, kGreen}, {kBlue, kBlack}}).pixels);
}

TEST(GifCodec, DisposesOfImagesWithinTheFirstFrame) {
    const int toBackground = 2, toPrevious = 3;
    const GifSpec background{
        2, 1, kColours, {shownFor(image(0, 0, 2, 1, {0, 0}), 0, toBackground), shownFor(image(1, 0, 1, 1, {2}), 10)}};
    EXPECT_EQ(decodeGifBytes(makeGif(background)).pixels, pictureOf({{kWhite, kBlue}}).pixels);
    const GifSpec previous{3,
                           1,
                           kColours,
                           {image(0, 0, 3, 1, {0, 0, 0}), shownFor(image(0, 0, 2, 1, {1, 1}), 0, toPrevious),
                            shownFor(image(2, 0, 1, 1, {2}), 10)}};
    EXPECT_EQ(decodeGifBytes(makeGif(previous)).pixels, pictureOf({{kRed, kRed, kBlue}}).pixels);
}

TEST(GifCodec, ClipsAnImageReachingPastTheScreen) {
    const LoadedPicture picture = decodeBytes(makeGif({2, 2, kColours, {image(1, 1, 2, 2, {0, 1, 2, 3})}}), "clip.gif");
    EXPECT_EQ(picture.sourceWidth, 2);
    EXPECT_EQ(picture.image.pixels, pictureOf({{kWhite, kWhite}, {kWhite, kRed}}).pixels);
}

TEST(GifCodec, TakesAScreenWithoutSizeToBeAsLargeAsTheFirstImage) {
    const LoadedPicture picture = decodeBytes(makeGif({0, 0, kColours, {image(1, 0, 1, 2, {0, 1})}}), "zero.gif");
    EXPECT_EQ(picture.image.pixels, pictureOf({{kWhite, kRed}, {kWhite, kGreen}}).pixels);
}

TEST(GifCodec, KeepsAFullCodeTableUntilAClearCode) {
    // Six codes of one value fill a table of 4096 only after 4090 codes; then the width stays 12 bits.
    std::vector<int> codes{kClear};
    for (int i = 0; i < 4200; ++i)
        codes.push_back(i % 4);
    codes.push_back(kEnd);
    const RgbImage picture = decodeGifBytes(makeRawGif(4200, 1, kColours, 2, codes));
    for (int x = 0; x < 4200; ++x)
        ASSERT_EQ(picture.pixels[3 * static_cast<std::size_t>(x)], kColours[static_cast<std::size_t>(x % 4)][0]) << x;
}

namespace {

std::vector<BrokenFile> brokenFiles() {
    std::vector<BrokenFile> all;
    const std::vector<Colour> two{kRed, kGreen};
    all.push_back({"Empty", "", "the file is empty"});
    all.push_back({"NotAGif", std::string(20, 'x'), "not a GIF picture (the file does not start with \"GIF\")"});
    all.push_back({"IndexBeyondTheTable", makeRawGif(2, 1, two, 2, {kClear, 0, 2, kEnd}),
                   "a pixel uses colour 2 but the colour table has only 2 colours"});
    all.push_back({"CodeNotInTheTable", makeRawGif(2, 1, two, 2, {kClear, 0, 7, kEnd}),
                   "the image data holds an invalid LZW code"});
    all.push_back({"TooManyPixels", makeRawGif(2, 1, two, 2, {kClear, 0, 1, 0, kEnd}),
                   "the image data holds more pixels than the image"});
    all.push_back(
        {"TooFewPixels", makeRawGif(2, 1, two, 2, {kClear, 0, kEnd}), "the image data ends after 1 of its 2 pixels"});
    all.push_back({"NoEndCode", makeRawGif(2, 1, two, 2, {kClear, 0, 1}), "the image data has no end code"});
    all.push_back({"DataAfterTheEndCode", makeRawGif(2, 1, two, 2, {kClear, 0, 1, kEnd, 0, 0, 0}),
                   "the image data goes on after its end code"});
    all.push_back({"CodeSizeZero", makeRawGif(2, 1, two, 0, {}), "the image's LZW code size 0 is invalid"});
    all.push_back({"NoColourTable", makeRawGif(2, 1, {}, 2, {kClear, 0, 1, kEnd}), "the picture has no colour table"});
    all.push_back({"NoImage", std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14), "the file holds no picture"});
    all.push_back(
        {"ScreenTooLarge", makeGif({65535, 65535, two, {image(0, 0, 1, 1, {0})}}),
         "the picture is too large (65535 x 65535 pixels); at most 100 megapixels and 32768 pixels a side can "
         "be read"});
    all.push_back({"ImageOutsideTheScreen", makeGif({2, 2, two, {image(2, 0, 1, 1, {0})}}),
                   "an image lies outside the picture's 2 x 2 screen"});
    all.push_back({"LaterGraphicControlOfWrongLength",
                   makeRawGif(2, 1, two, 2, {kClear, 0, 1, kEnd}, std::string("!\xF9\x03\x00\x00\x00\x00", 7)),
                   "a graphic control block has the wrong length"});
    const std::string animation =
        makeGif({2, 1, kColours, {shownFor(image(0, 0, 2, 1, {0, 1}), 10), shownFor(image(0, 0, 2, 1, {2, 3}), 10)}});
    all.push_back({"CutInTheSecondFrame", animation.substr(0, animation.size() - 6),
                   "the file ends before the picture is complete"});
    all.push_back(
        {"NoTrailer", animation.substr(0, animation.size() - 1), "the file ends before the picture is complete"});
    return all;
}

class BrokenGif : public testing::TestWithParam<BrokenFile> {};

} // namespace

TEST_P(BrokenGif, IsRefusedWithAMessageNamingTheFile) {
    EXPECT_EQ(decodeError(GetParam().bytes, "C:/pictures/broken.gif"),
              "GIF error: C:/pictures/broken.gif: " + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenGif, testing::ValuesIn(brokenFiles()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(GifCodec, RefusesEveryTruncationOfAValidFile) {
    GifImageSpec second = shownFor(image(0, 1, 3, 1, {3, 2, 1}), 10);
    second.localColours = {kPink, kBlue, kGreen, kBlack};
    GifImageSpec first = shownFor(image(0, 0, 3, 2, {0, 1, 2, 3, 0, 1}), 10);
    first.interlaced = true;
    expectEveryTruncationRefused(makeGif({3, 2, kColours, {first, second}}), "cut.gif", "GIF error: cut.gif: ");
}

namespace {

struct EstimateCase {
    const char* name;
    GifSpec gif;
    std::uint64_t bytes;   // three bytes a canvas pixel, and beside them the most of the rest
    std::uint64_t decoded; // the most the decoder says it needs: the first frame's part of bytes
};

void PrintTo(const EstimateCase& row, std::ostream* out) {
    *out << row.name;
}

class GifEstimateTest : public testing::TestWithParam<EstimateCase> {};

std::uint64_t estimateOf(const std::string& bytes) {
    MemorySource source(bytes.data(), bytes.size());
    return gifDecodeBytes(source);
}

} // namespace

TEST_P(GifEstimateTest, CountsTheCanvasAndTheLargestImage) {
    EXPECT_EQ(estimateOf(makeGif(GetParam().gif)), GetParam().bytes);
}

TEST_P(GifEstimateTest, DecoderSaysWhatItNeedsBeforeTakingIt) {
    std::vector<std::uint64_t> needs;
    LoadOptions options;
    options.memoryNeeded = [&](std::uint64_t bytes) { needs.push_back(bytes); };
    decodeBytes(makeGif(GetParam().gif), "needs.gif", options);
    ASSERT_FALSE(needs.empty());
    EXPECT_TRUE(std::is_sorted(needs.begin(), needs.end())) << "each figure is the total so far";
    EXPECT_EQ(needs.back(), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GifEstimateTest,
    testing::Values(EstimateCase{"ImageAsLargeAsTheScreen",
                                 {4, 3, kColours, {image(0, 0, 4, 3, std::vector<std::uint8_t>(12))}},
                                 3 * 12 + 12,
                                 3 * 12 + 12},
                    EstimateCase{
                        "ScreenWithoutSize", {0, 0, kColours, {image(1, 0, 1, 2, {0, 1})}}, 3 * 4 + 3, 3 * 4 + 3},
                    EstimateCase{"ImageFarLargerThanTheScreen",
                                 {1, 1, kColours, {image(0, 0, 40, 30, std::vector<std::uint8_t>(1200))}},
                                 3 + 1200,
                                 3 + 1200},
                    EstimateCase{"LargeLaterFrame",
                                 {2,
                                  1,
                                  kColours,
                                  {shownFor(image(0, 0, 2, 1, {0, 1}), 10),
                                   shownFor(image(0, 0, 30, 20, std::vector<std::uint8_t>(600)), 10)}},
                                 3 * 2 + 600,
                                 3 * 2 + 2},
                    EstimateCase{"ImageRestoringTheCanvasUnderIt",
                                 {3,
                                  1,
                                  kColours,
                                  {image(0, 0, 3, 1, {0, 0, 0}), shownFor(image(0, 0, 2, 1, {1, 1}), 0, 3),
                                   shownFor(image(2, 0, 1, 1, {2}), 10)}},
                                 3 * 3 + 2 + 3 * 2,
                                 3 * 3 + 2 + 3 * 2}),
    [](const testing::TestParamInfo<EstimateCase>& row) { return std::string(row.param.name); });

TEST(GifEstimate, CostsNothingForAFileTheDecoderRefusesAtOnce) {
    const std::string gif = makeGif({4, 3, kColours, {image(0, 0, 4, 3, std::vector<std::uint8_t>(12))}});
    EXPECT_EQ(estimateOf(gif.substr(0, 13)), 0u) << "no image";
    EXPECT_EQ(estimateOf("GIF89a"), 0u);
    EXPECT_EQ(estimateOf(makeGif({0, 0, kColours, {image(0, 0, 0, 0, {})}})), 0u) << "an empty canvas";
}

// A screen without a size and one frame of 10000 x 10000 pixels, of which a few bytes of LZW data are
// enough for the estimate: the decoder reads them only after the budget let the picture start.
TEST(GifEstimate, PreparationMemoryTakesTheFrameNotTheScreen) {
    TemporaryFolder folder;
    std::string gif("GIF89a\0\0\0\0\x80\0\0"
                    "\0\0\0\xff\xff\xff",
                    19);
    gif += std::string("\x2c\0\0\0\0\x10\x27\x10\x27\0", 10);
    gif += std::string("\x02\x02\x4c\x01\0\x3b", 6);
    writeBytes(folder / "fooled.gif", gif);
    const std::uint64_t pixels = 10000ull * 10000ull;
    EXPECT_GE(preparationMemory(folder / "fooled.gif", 640, 480), 4 * pixels);
}
