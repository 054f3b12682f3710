#include "PictureFixtures.h"
#include "PictureTesting.h"
#include "TestFolders.h"

#include "imaging/BmpCodec.h"
#include "imaging/LittleEndian.h"

#include <gtest/gtest.h>

using namespace veskaro;
using namespace veskaro::test;

namespace {

const Colour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kGrey{10, 20, 30}, kPink{250, 128, 200},
    kTeal{0, 128, 128}, kWhite{255, 255, 255};
const std::vector<Colour> kPalette{kRed, kGreen, kBlue, kGrey, kPink, kTeal};

// Three columns, two rows of palette indices, as every paletted variant below stores them.
const std::vector<std::vector<int>> kIndexRows{{0, 1, 2}, {3, 0, 1}};
const RgbImage kIndexPicture = pictureOf({{kRed, kGreen, kBlue}, {kGrey, kRed, kGreen}});

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int value : values)
        out += static_cast<char>(value);
    return out;
}

std::string le16(std::uint32_t value) {
    std::string out;
    appendLe16(out, value);
    return out;
}

std::string le32(std::uint32_t value) {
    std::string out;
    appendLe32(out, value);
    return out;
}

BmpSpec paletted(int bits, std::uint32_t headerSize = 40) {
    BmpSpec spec;
    spec.headerSize = headerSize;
    spec.width = 3;
    spec.height = 2;
    spec.bitsPerPixel = static_cast<std::uint16_t>(bits);
    spec.palette = {kRed, kGreen, kBlue, kGrey};
    spec.pixelData = packIndexRows(kIndexRows, bits);
    return spec;
}

struct Variant {
    const char* name;
    BmpSpec spec;
    RgbImage expected;
};

std::vector<Variant> variants() {
    std::vector<Variant> all;
    all.push_back({"Core8", paletted(8, 12), kIndexPicture});
    all.push_back({"Info4", paletted(4), kIndexPicture});
    all.push_back({"Info8", paletted(8), kIndexPicture});
    all.push_back({"V4Header8", paletted(8, 108), kIndexPicture});
    all.push_back({"V5Header8", paletted(8, 124), kIndexPicture});
    all.push_back({"TwoBits", paletted(2), kIndexPicture});

    BmpSpec oneBit = paletted(1);
    oneBit.palette = {kPink, kTeal};
    oneBit.pixelData = packIndexRows({{0, 1, 1}, {1, 0, 0}}, 1);
    all.push_back({"OneBit", oneBit, pictureOf({{kPink, kTeal, kTeal}, {kTeal, kPink, kPink}})});

    // A palette shorter than the bit depth allows: only the entries the pixels use are there.
    BmpSpec shortPalette = paletted(8);
    shortPalette.coloursUsed = 0;
    all.push_back({"ShortPaletteCutByOffset", shortPalette, kIndexPicture});

    BmpSpec topDown = paletted(8);
    topDown.height = -2;
    topDown.pixelData = packIndexRows(kIndexRows, 8, true);
    all.push_back({"TopDown", topDown, kIndexPicture});

    BmpSpec rgb24;
    rgb24.width = 2;
    rgb24.height = 1;
    rgb24.pixelData = std::string("\x00\x00\xFF\xC8\x80\xFA\x00\x00", 8); // blue-green-red order, padded
    all.push_back({"TrueColour24", rgb24, pictureOf({{kRed, kPink}})});

    // 5-5-5 by default; the largest value of a channel is 255, not 248, and 16 of 31 is 132.
    BmpSpec rgb16 = rgb24;
    rgb16.bitsPerPixel = 16;
    rgb16.pixelData = le16(0x7C00) + le16(0x7FFF) + le16(16 << 10 | 16 << 5 | 16) + le16(0);
    rgb16.width = 3;
    all.push_back({"Default555", rgb16, pictureOf({{kRed, kWhite, {132, 132, 132}}})});

    BmpSpec rgb565 = rgb16;
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.pixelData = le16(0xF800) + le16(0x07E0) + le16(0x001F) + le16(0);
    all.push_back({"BitFields565", rgb565, pictureOf({{kRed, kGreen, kBlue}})});

    BmpSpec rgb32 = rgb24;
    rgb32.bitsPerPixel = 32;
    rgb32.pixelData = le32(0x00FF0000) + le32(0xFFC880FA); // the unused top byte is ignored
    all.push_back({"Default32", rgb32, pictureOf({{kRed, {200, 128, 250}}})});

    // Channels in an unusual order, so that only the masks tell which is which.
    BmpSpec rgb32Fields = rgb32;
    rgb32Fields.compression = 3;
    rgb32Fields.masks = {0x0000FF00, 0x00FF0000, 0xFF000000};
    rgb32Fields.pixelData = le32(0x0000FF00) + le32(0xFA80C800);
    all.push_back({"BitFields32", rgb32Fields, pictureOf({{kRed, {200, 128, 250}}})});

    // A V5 alpha channel shows the white canvas through: half-transparent red turns pink.
    BmpSpec alpha = rgb32Fields;
    alpha.headerSize = 124;
    alpha.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    alpha.pixelData = le32(0xFFFF0000) + le32(0x80FF0000);
    all.push_back({"AlphaOnWhite", alpha, pictureOf({{kRed, {255, 127, 127}}})});

    // Masks in a V5 header without bit fields are ignored, an alpha mask included.
    BmpSpec strayMasks = paletted(4, 124);
    strayMasks.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    all.push_back({"V5MasksWithoutBitFields", strayMasks, kIndexPicture});

    BmpSpec rle8;
    rle8.width = 4;
    rle8.height = 3;
    rle8.bitsPerPixel = 8;
    rle8.compression = 1;
    rle8.palette = {kRed, kGreen, kBlue, kGrey};
    rle8.pixelData = bytes({4, 1, 0, 0,             // bottom row: four of colour 1, end of line
                            0, 3, 2, 3, 1, 0, 1, 0, // three literal pixels, padded; one of colour 0
                            0, 0,                   // end of line
                            0, 2, 2, 0, 2, 3,       // move two right, two of colour 3
                            0, 1});                 // end of bitmap
    all.push_back(
        {"Rle8WithDeltaLeavingWhite", rle8,
         pictureOf({{kWhite, kWhite, kGrey, kGrey}, {kBlue, kGrey, kGreen, kRed}, {kGreen, kGreen, kGreen, kGreen}})});

    BmpSpec rle4 = rle8;
    rle4.width = 5;
    rle4.height = 2;
    rle4.bitsPerPixel = 4;
    rle4.compression = 2;
    rle4.palette = kPalette;
    rle4.pixelData = bytes({5, 0x12, 0, 0,    // bottom row: 1 2 1 2 1, end of line
                            0, 3, 0x34, 0x50, // three literal pixels in two bytes
                            0, 2, 1, 0,       // move one right
                            0, 1});           // end of bitmap: the rest stays white
    all.push_back({"Rle4WithEarlyEnd", rle4,
                   pictureOf({{kGrey, kPink, kTeal, kWhite, kWhite}, {kGreen, kBlue, kGreen, kBlue, kGreen}})});
    return all;
}

void PrintTo(const Variant& variant, std::ostream* out) {
    *out << variant.name;
}

class BmpVariant : public testing::TestWithParam<Variant> {};

} // namespace

TEST_P(BmpVariant, DecodesToTheExpectedPicture) {
    const Variant& variant = GetParam();
    const LoadedPicture picture = decodeBytes(makeBmp(variant.spec), "variant.bmp");
    EXPECT_EQ(picture.format, PictureFormat::Bmp);
    EXPECT_EQ(picture.sourceWidth, variant.expected.width);
    EXPECT_EQ(picture.sourceHeight, variant.expected.height);
    EXPECT_EQ(picture.image.width, variant.expected.width);
    EXPECT_EQ(picture.image.height, variant.expected.height);
    EXPECT_EQ(picture.image.pixels, variant.expected.pixels);
}

INSTANTIATE_TEST_SUITE_P(Variants, BmpVariant, testing::ValuesIn(variants()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(BmpCodec, WritesEveryRowPaddingAndReadsItBack) {
    for (int width = 1; width <= 5; ++width) {
        const RgbImage image = colourPattern(width, 3);
        const std::string bytes = encodeBmp(image, "out.bmp");
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        EXPECT_EQ(bytes.size(), 54 + 3 * ((3 * width + 3) / 4 * 4));
        EXPECT_EQ(bytes.substr(2, 4), le32(static_cast<std::uint32_t>(bytes.size())));
        EXPECT_EQ(bytes.substr(28, 2), le16(24));
        const LoadedPicture back = decodeBytes(bytes, "back.bmp");
        EXPECT_EQ(back.image.pixels, image.pixels) << "width " << width;
    }
}

TEST(BmpCodec, WritesRowsBottomUpInBlueGreenRedOrder) {
    const std::string bytes = encodeBmp(pictureOf({{kRed}, {kBlue}}), "out.bmp");
    EXPECT_EQ(bytes.substr(22, 4), le32(2)); // a positive height: bottom-up
    EXPECT_EQ(bytes.substr(54, 4), std::string("\xFF\x00\x00\x00", 4));
    EXPECT_EQ(bytes.substr(58, 4), std::string("\x00\x00\xFF\x00", 4));
}

TEST(BmpCodec, WriterRefusesPicturesWithoutPixelsAndLeavesNoFile) {
    TemporaryFolder folder;
    EXPECT_EQ(errorOf([&] { writeBmp(folder / "empty.bmp", RgbImage{}); }),
              "BMP error: " + (folder / "empty.bmp") + ": cannot write an empty picture");
    RgbImage cut = colourPattern(4, 4);
    cut.pixels.pop_back();
    EXPECT_EQ(errorOf([&] { writeBmp(folder / "cut.bmp", cut); }),
              "BMP error: " + (folder / "cut.bmp") + ": the picture's pixels do not match its size");
    EXPECT_EQ(errorOf([&] { writeBmp(folder / "missing/a.bmp", colourPattern(2, 2)); }),
              "File not found: " + (folder / "missing/a.bmp"));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

namespace {

std::vector<BrokenFile> brokenFiles() {
    std::vector<BrokenFile> all;
    all.push_back({"Empty", "", "the file is empty"});
    all.push_back({"NotABitmap", std::string(40, 'x'), "not a Windows bitmap (the file does not start with \"BM\")"});
    all.push_back({"BitmapArray", "BA" + std::string(40, '\0'), "OS/2 bitmap arrays are not supported"});

    const std::string whole = makeBmp(paletted(8));
    all.push_back({"CutInPixels", whole.substr(0, whole.size() - 5),
                   "the file ends before the picture is complete (its header gives " + std::to_string(whole.size()) +
                       " bytes, the file has " + std::to_string(whole.size() - 5) + ")"});

    BmpSpec unknownHeader = paletted(8, 66);
    all.push_back({"UnknownHeaderSize", makeBmp(unknownHeader), "unknown header size 66"});

    BmpSpec planes = paletted(8);
    planes.planes = 3;
    all.push_back({"Planes", makeBmp(planes), "the header gives 3 colour planes instead of 1"});

    BmpSpec badIndex = paletted(8);
    badIndex.palette.resize(2);
    // The bottom row comes first in the file.
    all.push_back(
        {"IndexBeyondPalette", makeBmp(badIndex), "a pixel uses colour 3 but the palette has only 2 colours"});

    BmpSpec hugePalette = paletted(8);
    hugePalette.coloursUsed = 0x12345678;
    all.push_back({"PaletteLargerThanTheFile", makeBmp(hugePalette),
                   "the header declares 305419896 palette colours, but there is room for only 4"});

    BmpSpec noBlue = paletted(8);
    noBlue.bitsPerPixel = 16;
    noBlue.compression = 3;
    noBlue.palette.clear();
    noBlue.masks = {0xFF00, 0x00FF, 0};
    all.push_back({"MaskWithoutBlue", makeBmp(noBlue), "the colour masks give blue no bits"});

    // Checked before anything is read or allocated: the file holds no pixels at all.
    BmpSpec tooWide = paletted(8);
    tooWide.bitsPerPixel = 24;
    tooWide.width = 40000;
    tooWide.height = 10;
    all.push_back(
        {"TooWide", makeBmp(tooWide),
         "the picture is too large (40000 x 10 pixels); at most 100 megapixels and 32768 pixels a side can be read"});
    tooWide.width = 20000;
    tooWide.height = 20000;
    all.push_back({"TooManyPixels", makeBmp(tooWide),
                   "the picture is too large (20000 x 20000 pixels); at most 100 megapixels and 32768 pixels a side "
                   "can be read"});

    BmpSpec negativeWidth = paletted(8);
    negativeWidth.width = -3;
    all.push_back({"NegativeWidth", makeBmp(negativeWidth), "the header gives an invalid size of -3 x 2 pixels"});

    BmpSpec runPastRow = paletted(8);
    runPastRow.compression = 1;
    runPastRow.pixelData = bytes({4, 1, 0, 1});
    all.push_back({"RunPastTheRow", makeBmp(runPastRow), "a run goes past the end of row 0"});

    BmpSpec moveOut = runPastRow;
    moveOut.pixelData = bytes({0, 2, 1, 5, 0, 1});
    all.push_back({"MovePastThePicture", makeBmp(moveOut), "a run-length move goes past the edge of the picture"});

    BmpSpec endsEarly = runPastRow;
    endsEarly.pixelData = bytes({3, 1, 0, 0}); // one row of two, and no end marker
    all.push_back({"RunLengthsEndEarly", makeBmp(endsEarly), "the file ends before the picture is complete"});

    BmpSpec topDownRle = runPastRow;
    topDownRle.height = -2;
    all.push_back(
        {"TopDownRunLengths", makeBmp(topDownRle), "a run-length compressed bitmap cannot be stored top-down"});

    BmpSpec embedded = paletted(8, 124);
    embedded.compression = 4;
    all.push_back({"EmbeddedJpeg", makeBmp(embedded), "bitmaps holding an embedded JPEG picture are not supported"});
    return all;
}

class BrokenBmp : public testing::TestWithParam<BrokenFile> {};

} // namespace

TEST_P(BrokenBmp, IsRefusedWithAMessageNamingTheFile) {
    EXPECT_EQ(decodeError(GetParam().bytes, "C:/pictures/broken.bmp"),
              "BMP error: C:/pictures/broken.bmp: " + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenBmp, testing::ValuesIn(brokenFiles()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(BmpCodec, RefusesEveryTruncationOfAValidFile) {
    const std::vector<Variant> all = variants();
    const auto rle = std::find_if(all.begin(), all.end(),
                                  [](const Variant& v) { return std::string(v.name) == "Rle8WithDeltaLeavingWhite"; });
    expectEveryTruncationRefused(makeBmp(paletted(4)), "cut.bmp", "BMP error: cut.bmp: ");
    expectEveryTruncationRefused(makeBmp(rle->spec), "cut.bmp", "BMP error: cut.bmp: ");
}
