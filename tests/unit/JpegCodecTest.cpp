#include "PictureFixtures.h"
#include "PictureTesting.h"
#include "TestFolders.h"

#include "imaging/DecodeLimits.h"
#include "imaging/JpegCodec.h"
#include "imaging/MemorySource.h"
#include "imaging/Similarity.h"
#include "imaging/SliderPicture.h"

#include <cstdio>

#include <gtest/gtest.h>
#include <jerror.h>

using namespace veskaro;
using namespace veskaro::test;

namespace {

/// Returns the payload of the first segment with the marker, or empty text.
std::string segment(const std::string& jpeg, unsigned char marker) {
    for (std::size_t at = 2; at + 4 <= jpeg.size();) {
        const auto length = static_cast<std::size_t>(static_cast<unsigned char>(jpeg[at + 2]) << 8 |
                                                     static_cast<unsigned char>(jpeg[at + 3]));
        if (static_cast<unsigned char>(jpeg[at + 1]) == marker)
            return jpeg.substr(at + 4, length - 2);
        if (static_cast<unsigned char>(jpeg[at + 1]) == 0xDA)
            break;
        at += 2 + length;
    }
    return {};
}

std::string jpegError(int code, const std::string& name, const std::string& what) {
    return "JPEG error #" + std::to_string(code) + ": " + name + ": " + what;
}

} // namespace

TEST(JpegCodec, WritesAndReadsBackAPictureClosely) {
    const RgbImage image = smoothPattern(61, 37);
    const LoadedPicture back = decodeBytes(encodeJpeg(image, 90, "out.jpg"), "back.jpg");
    EXPECT_EQ(back.format, PictureFormat::Jpeg);
    EXPECT_EQ(back.image.width, 61);
    EXPECT_EQ(back.image.height, 37);
    EXPECT_LE(largestDifference(back.image, image), 12);
}

TEST(JpegCodec, WritesBaselineFullColourResolutionAtTheAskedQuality) {
    const std::string jpeg = encodeJpeg(colourPattern(32, 16), 90, "out.jpg");
    const std::string frame = segment(jpeg, 0xC0);
    ASSERT_EQ(frame.size(), 15u) << "a baseline frame header with three components";
    EXPECT_TRUE(segment(jpeg, 0xC2).empty()) << "not progressive";
    for (std::size_t component = 0; component < 3; ++component)
        EXPECT_EQ(static_cast<unsigned char>(frame[7 + 3 * component]), 0x11) << "no subsampling";
    // Quality 90 scales the standard tables by a fifth: the luminance DC step 16 becomes 3.
    EXPECT_EQ(static_cast<unsigned char>(segment(jpeg, 0xDB)[1]), 3);
    EXPECT_LT(encodeJpeg(colourPattern(32, 16), 50, "out.jpg").size(), jpeg.size());
    // Optimised Huffman tables are not the standard ones, whose luminance DC table has 0 1 5 1 1 ... codes.
    const std::string standardLuminanceDc("\x00\x00\x01\x05\x01\x01\x01\x01\x01\x01", 10);
    EXPECT_NE(segment(jpeg, 0xC4).substr(0, 10), standardLuminanceDc);
}

TEST(JpegCodec, WriterRefusesPicturesWithoutPixelsAndLeavesNoFile) {
    TemporaryFolder folder;
    EXPECT_EQ(errorOf([&] { writeJpeg(folder / "empty.jpg", RgbImage{}); }),
              jpegError(1001, folder / "empty.jpg", "cannot write an empty picture"));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(JpegCodec, DecodesProgressiveGreyAndCmykPictures) {
    const RgbImage image = smoothPattern(40, 24);
    EXPECT_LE(largestDifference(decodeBytes(makeProgressiveJpeg(image, 10), "p.jpg").image, image), 12);

    const RgbImage grey = decodeBytes(makeGreyJpeg(image), "grey.jpg").image;
    ASSERT_EQ(grey.pixels.size(), image.pixels.size());
    for (std::size_t i = 0; i < grey.pixels.size(); i += 3) {
        EXPECT_EQ(grey.pixels[i], grey.pixels[i + 1]);
        EXPECT_EQ(grey.pixels[i], grey.pixels[i + 2]);
        EXPECT_NEAR(grey.pixels[i], image.pixels[i], 8);
    }

    // Adobe's files store the inks inverted: 255 is no ink. Red is full magenta and yellow.
    std::vector<std::uint8_t> cmyk;
    for (int i = 0; i < 16 * 16; ++i)
        cmyk.insert(cmyk.end(), {255, 0, 0, 255});
    const RgbImage red = decodeBytes(makeAdobeCmykJpeg(16, 16, cmyk), "cmyk.jpg").image;
    EXPECT_LE(largestDifference(red, pictureOf(std::vector(16, std::vector<Colour>(16, {255, 0, 0})))), 4);
}

TEST(JpegCodec, DecodesAtTheLargestReductionThatKeepsTheAskedSize) {
    const std::string jpeg = encodeJpeg(smoothPattern(200, 100), 90, "big.jpg");
    const auto sizeFor = [&](int minWidth, int minHeight) {
        const LoadedPicture picture = decodeBytes(jpeg, "big.jpg", LoadOptions::atLeast(minWidth, minHeight));
        EXPECT_EQ(picture.sourceWidth, 200);
        EXPECT_EQ(picture.sourceHeight, 100);
        return std::pair(picture.image.width, picture.image.height);
    };
    const RgbImage full = decodeBytes(jpeg, "big.jpg").image;
    EXPECT_EQ(std::pair(full.width, full.height), std::pair(200, 100));
    EXPECT_EQ(sizeFor(0, 0), std::pair(25, 13));
    EXPECT_EQ(sizeFor(25, 0), std::pair(25, 13));
    EXPECT_EQ(sizeFor(26, 0), std::pair(50, 25));
    EXPECT_EQ(sizeFor(0, 26), std::pair(100, 50));
    EXPECT_EQ(sizeFor(100, 51), std::pair(200, 100));
}

TEST(JpegCodec, RefusesAProgressivePictureWithTooManyScans) {
    const RgbImage image = smoothPattern(64, 64);
    const std::string many = makeProgressiveJpeg(image, kMaxJpegScans + 100);
    EXPECT_EQ(
        decodeError(many, "scans.jpg"),
        jpegError(1000, "scans.jpg", "the picture has more than 500 scans; a JPEG this slow to decode is refused"));
    EXPECT_LE(largestDifference(decodeBytes(makeProgressiveJpeg(image, kMaxJpegScans - 100), "fine.jpg").image, image),
              12);
}

namespace {

struct Broken {
    const char* name;
    std::string bytes;
    int code;
    std::string message;
};

void PrintTo(const Broken& broken, std::ostream* out) {
    *out << broken.name;
}

/// Returns the JPEG with the size in its frame header changed, and its data left as it is.
std::string withDeclaredSize(std::string jpeg, int width, int height) {
    const std::size_t frame = jpeg.find("\xFF\xC0");
    jpeg[frame + 5] = static_cast<char>(height >> 8);
    jpeg[frame + 6] = static_cast<char>(height & 0xFF);
    jpeg[frame + 7] = static_cast<char>(width >> 8);
    jpeg[frame + 8] = static_cast<char>(width & 0xFF);
    return jpeg;
}

std::string withEmptyComment(std::string jpeg) {
    return jpeg.insert(2, std::string("\xFF\xFE\x00\x00", 4));
}

std::vector<Broken> brokenFiles() {
    const std::string tooLarge =
        "the picture is too large (40000 x 40000 pixels); at most 32768 pixels a side can be read";
    std::vector<Broken> all;
    all.push_back({"Empty", "", JERR_INPUT_EMPTY, "the file is empty"});
    all.push_back({"NotAJpeg", std::string(20, 'x'), JERR_NO_SOI, "Not a JPEG file: starts with 0x78 0x78"});
    all.push_back({"TwelveBit", makeJpegHeaderOnly(0xC0, 12, 8, 8), JERR_BAD_PRECISION,
                   "unsupported JPEG variant: 12-bit samples; only 8-bit JPEG pictures can be read"});
    all.push_back({"Lossless", makeJpegHeaderOnly(0xC3, 8, 8, 8), JERR_SOF_UNSUPPORTED,
                   "unsupported JPEG variant: lossless (Unsupported JPEG process: SOF type 0xc3)"});
    all.push_back({"TooLarge", makeJpegHeaderOnly(0xC0, 8, 40000, 40000), JERR_IMAGE_TOO_BIG, tooLarge});
    all.push_back({"LargerThanLibjpegTakes", makeJpegHeaderOnly(0xC0, 8, 65535, 65535), JERR_IMAGE_TOO_BIG,
                   "the picture is too large (65535 x 65535 pixels); at most 32768 pixels a side can be read"});
    // Decoded whole, a picture within the sides may still hand on too many pixels; reduced, it may not.
    all.push_back({"TooManyPixelsDecodedWhole", makeJpegHeaderOnly(0xC0, 8, 30000, 30000), JERR_IMAGE_TOO_BIG,
                   "the picture is too large (30000 x 30000 pixels) to be decoded at 30000 x 30000 pixels; at most "
                   "100 megapixels can be held"});
    // A progressive picture holds all its coefficients while it decodes: 4096 x 4096 blocks of 128 bytes.
    all.push_back({"ProgressiveBeyondTheMemory", makeJpegHeaderOnly(0xC2, 8, 32768, 32768), JERR_IMAGE_TOO_BIG,
                   "the picture (32768 x 32768 pixels) must be held whole while it decodes, which takes 2048 MB of "
                   "memory; at most 1024 MB can be used"});
    // 100 megapixels are allowed, but the data of 8 x 8 pixels runs out at once: refused in the first rows.
    all.push_back({"LargeButEmpty", withDeclaredSize(encodeJpeg(colourPattern(8, 8), 90, "s.jpg"), 10000, 10000),
                   JWRN_HIT_MARKER, "Corrupt JPEG data: premature end of data segment"});
    all.push_back({"CommentOfLengthZero", withEmptyComment(encodeJpeg(colourPattern(8, 8), 90, "c.jpg")),
                   JERR_BAD_LENGTH, "Bogus marker length"});
    const std::string whole = encodeJpeg(colourPattern(16, 16), 90, "w.jpg");
    all.push_back({"NoEndMarker", whole.substr(0, whole.size() - 2), JWRN_JPEG_EOF,
                   "the file ends before the picture is complete"});
    return all;
}

class BrokenJpeg : public testing::TestWithParam<Broken> {};

} // namespace

TEST_P(BrokenJpeg, IsRefusedWithAMessageNamingTheFile) {
    EXPECT_EQ(decodeError(GetParam().bytes, "C:/pictures/broken.jpg"),
              jpegError(GetParam().code, "C:/pictures/broken.jpg", GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenJpeg, testing::ValuesIn(brokenFiles()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(JpegCodec, ReadsPhotosBeyondOneHundredMegapixelsWhenTheirReducedDecodeFits) {
    // 10240 x 10000 pixels, as medium-format cameras take them; a slider needs only their eighth.
    const RgbImage photo(10240, 10000, 180);
    LoadOptions forSlider;
    forSlider.minimumSize = [](int, int) { return PictureSize{640, 480}; };
    for (const std::string& jpeg : {encodeJpeg(photo, 90, "big.jpg"), makeProgressiveJpeg(photo, 10)}) {
        const LoadedPicture reduced = decodeBytes(jpeg, "big.jpg", forSlider);
        EXPECT_EQ(reduced.sourceWidth, 10240);
        EXPECT_EQ(reduced.image.width, 1280);
        EXPECT_EQ(reduced.image.height, 1250);
        EXPECT_NE(decodeError(jpeg, "big.jpg").find("at most 100 megapixels can be held"), std::string::npos)
            << "decoded whole it is still refused";
    }
}

TEST(JpegCodec, SaysWhatItNeedsBeforeDecodingAsItsHeaderEstimated) {
    const RgbImage photo = colourPattern(96, 64);
    for (const std::string& jpeg : {encodeJpeg(photo, 90, "b.jpg"), makeProgressiveJpeg(photo, 10)}) {
        std::vector<std::uint64_t> needs;
        LoadOptions options = LoadOptions::atLeast(40, 30);
        options.memoryNeeded = [&](std::uint64_t bytes) { needs.push_back(bytes); };
        MemorySource source(jpeg.data(), jpeg.size());
        const JpegDecodeCost cost = jpegDecodeCost(source, "b.jpg", options);
        EXPECT_EQ(cost.pixelBytes, 48u * 32u * 3u);
        decodeBytes(jpeg, "b.jpg", options);
        EXPECT_EQ(needs, std::vector<std::uint64_t>{cost.pixelBytes + cost.coefficientBytes});
    }
}

// The decoded picture is the largest block of a preparation: it is given back before the encoders run.
TEST(JpegCodec, APreparationSaysWhatItKeepsOnceTheDecodedPictureIsFreed) {
    TemporaryFolder folder;
    writeBytes(folder / "b.jpg", makeProgressiveJpeg(colourPattern(256, 192), 10));
    std::vector<std::uint64_t> needs, kept;
    const std::vector<PictureOutput> outputs{{"s.jpg", PictureFormat::Jpeg, 1, {}},
                                             {"s@2x.jpg", PictureFormat::Jpeg, 2, {}}};
    const EncodedPictures encoded = encodeSliderPictures(
        folder / "b.jpg", outputs, 64, 48, [&](std::uint64_t bytes) { needs.push_back(bytes); },
        [&](std::uint64_t bytes) {
            EXPECT_EQ(needs.size(), 1u) << "after the decoder said what it takes";
            kept.push_back(bytes);
        });
    EXPECT_EQ(needs, std::vector<std::uint64_t>{preparationMemory(folder / "b.jpg", 64, 48, 2)});
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_LT(kept[0], needs[0] - 256u * 192u * 3u) << "neither the coefficients nor the pixels are kept";
    EXPECT_EQ(decodeBytes(encoded.bytes[1], "s@2x.jpg").image.width, 128);
}

// The own-size picture of a job with a 2x copy is drawn from the 2x canvas, not from the decode: it must
// still show the source where a plain job puts it, as closely as two filters allow.
TEST(JpegCodec, TheOwnSizePictureBesideA2xCopyMatchesThePlainOne) {
    TemporaryFolder folder;
    writeBytes(folder / "wide.jpg", encodeJpeg(smoothPattern(512, 256), 95, "wide.jpg"));
    const auto ownSize = [&](std::vector<PictureOutput> outputs) {
        const EncodedPictures encoded = encodeSliderPictures(folder / "wide.jpg", outputs, 64, 48);
        return decodeBytes(encoded.bytes[0], "s.bmp").image;
    };
    const RgbImage plain = ownSize({{"s.bmp", PictureFormat::Bmp, 1, {}}});
    const RgbImage beside = ownSize({{"s.bmp", PictureFormat::Bmp, 1, {}}, {"s@2x.bmp", PictureFormat::Bmp, 2, {}}});
    ASSERT_EQ(beside.pixels.size(), plain.pixels.size());
    int largest = 0;
    for (std::size_t i = 0; i < plain.pixels.size(); ++i)
        largest = std::max(largest, std::abs(int(plain.pixels[i]) - int(beside.pixels[i])));
    EXPECT_LE(largest, 3) << "a white band where the picture should be differs by 255";
}

// A 2x JPEG that would lose its detail is raised as far as it may; one that keeps it, or may not be
// raised, is the plain encoding.
TEST(JpegCodec, RaisesTheQualityOfAPictureThatWouldLoseItsDetailNoFurtherThanAllowed) {
    const RgbImage grain = fineGrain(96, 64);
    const auto similarityAt = [&](const std::string& bytes) {
        return *lumaSimilarity(decodeJpegBytes(bytes, "s@2x.jpg"), grain, wholeOf(grain));
    };
    EXPECT_LT(similarityAt(encodeJpeg(grain, 60, "s@2x.jpg")), kLeastSimilarity);
    const std::string raised = encodeFaithfulJpeg(grain, wholeOf(grain), 60, 95, "s@2x.jpg");
    EXPECT_GE(similarityAt(raised), kLeastSimilarity);
    EXPECT_LT(raised.size(), encodeJpeg(grain, 95, "s@2x.jpg").size()) << "raised no further than needed";
    EXPECT_EQ(encodeFaithfulJpeg(grain, wholeOf(grain), 60, 60, "s@2x.jpg"), encodeJpeg(grain, 60, "s@2x.jpg"));
    EXPECT_EQ(encodeFaithfulJpeg(grain, wholeOf(grain), 60, 0, "s@2x.jpg"), encodeJpeg(grain, 60, "s@2x.jpg"));
    const RgbImage smooth = smoothPattern(96, 64);
    EXPECT_EQ(encodeFaithfulJpeg(smooth, wholeOf(smooth), 80, 95, "s@2x.jpg"), encodeJpeg(smooth, 80, "s@2x.jpg"));
}

TEST(JpegCodec, RefusesEveryTruncationOfBaselineAndProgressiveFiles) {
    const RgbImage image = colourPattern(24, 16);
    expectEveryTruncationRefused(encodeJpeg(image, 90, "b.jpg"), "cut.jpg", "JPEG error #");
    expectEveryTruncationRefused(makeProgressiveJpeg(image, 10), "cut.jpg", "JPEG error #");
}

TEST(JpegCodec, RefusesDamagedScanDataInsteadOfShowingGrey) {
    const std::string whole = encodeJpeg(colourPattern(64, 64), 90, "b.jpg");
    const std::size_t scan = whole.find("\xFF\xDA") + 20;
    int refused = 0;
    for (std::size_t at = scan; at < whole.size() - 2; at += 37) {
        std::string damaged = whole;
        damaged[at] = static_cast<char>(0xFF); // a marker where entropy-coded data should be
        damaged[at + 1] = static_cast<char>(0xD3);
        refused += decodeError(damaged, "damaged.jpg").rfind("JPEG error #", 0) == 0;
    }
    EXPECT_EQ(refused, static_cast<int>((whole.size() - 2 - scan + 36) / 37));
}
