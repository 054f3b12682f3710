#include "PictureFixtures.h"
#include "PictureTesting.h"
#include "TestFolders.h"

#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/MemorySource.h"
#include "imaging/PaletteQuantizer.h"
#include "imaging/PictureFormat.h"
#include "imaging/PictureFormats.h"
#include "imaging/PictureLoader.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>
#include <jerror.h>

using namespace veskaro;
using namespace veskaro::test;

TEST(PictureFormat, IsNamedByTheExtensionInAnyLetterCase) {
    EXPECT_EQ(formatFromExtension("C:/a/photo.jpg"), PictureFormat::Jpeg);
    EXPECT_EQ(formatFromExtension("photo.JPEG"), PictureFormat::Jpeg);
    EXPECT_EQ(formatFromExtension("photo.JpG"), PictureFormat::Jpeg);
    EXPECT_EQ(formatFromExtension("moving.Gif"), PictureFormat::Gif);
    EXPECT_EQ(formatFromExtension("/x.y/bitmap.BMP"), PictureFormat::Bmp);
    EXPECT_EQ(preparedExtension(PictureFormat::Jpeg), ".jpg");
    EXPECT_EQ(preparedExtension(PictureFormat::Gif), ".gif");
    EXPECT_EQ(preparedExtension(PictureFormat::Bmp), ".bmp");
}

TEST(PictureFormat, RefusesAnyOtherExtensionNamingIt) {
    EXPECT_EQ(errorOf([] { formatFromExtension("picture.png"); }), "Unknown picture file extension (.png)");
    EXPECT_EQ(errorOf([] { formatFromExtension("picture.Tiff"); }), "Unknown picture file extension (.Tiff)");
    EXPECT_EQ(errorOf([] { formatFromExtension("folder.jpg/picture"); }), "Unknown picture file extension (.)");
    EXPECT_EQ(errorOf([] { formatFromExtension("picture.jpg.bak"); }), "Unknown picture file extension (.bak)");
}

// Each descriptor agrees with itself: what it writes it recognises, decodes at its size and estimates, and
// every extension it names leads back to it.
TEST(PictureFormats, EachDescriptorReadsWhatItWrites) {
    for (const PictureFormatInfo& info : pictureFormats()) {
        SCOPED_TRACE(info.name);
        const RgbImage canvas(48, 32, 200);
        const std::string bytes = info.encode(canvas, PixelRect{0, 0, 48, 32}, EncoderSettings{}, "canvas");
        const auto* head = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const PictureFormatInfo* sniffed = formatOfContent(std::span(head, std::min<std::size_t>(bytes.size(), 12)));
        ASSERT_NE(sniffed, nullptr);
        EXPECT_EQ(sniffed->format, info.format);
        MemorySource source(bytes.data(), bytes.size());
        EXPECT_GE(info.decodeBytes(source, "canvas", {}), 48u * 32 * 3);
        ASSERT_TRUE(source.rewind());
        const LoadedPicture back = info.decode(source, "canvas", {});
        EXPECT_EQ(back.sourceWidth, 48);
        EXPECT_EQ(back.sourceHeight, 32);
        ASSERT_TRUE(source.rewind());
        const PictureSize header = info.headerSize(source, "canvas");
        EXPECT_EQ(header.width, 48) << "the header tells the size decoding gives";
        EXPECT_EQ(header.height, 32);
        for (const char* extension : info.extensions) {
            if (extension) {
                EXPECT_EQ(formatFromExtension(std::string("a.") + extension), info.format);
            }
        }
        EXPECT_EQ(preparedExtension(info.format), std::string(".") + info.extensions[0]);
    }
}

TEST(PictureLoader, LoadsEachFormatFromItsFile) {
    TemporaryFolder folder;
    const RgbImage image = colourPattern(5, 4);
    writeBmp(folder / "a.BMP", image);
    writeJpeg(folder / "b.Jpeg", smoothPattern(5, 4));
    writeGif(folder / "c.GIF", IndexedImage{2, 1, {{1, 2, 3}, {4, 5, 6}}, {1, 0}});

    const LoadedPicture bmp = loadPicture(folder / "a.BMP");
    EXPECT_EQ(bmp.format, PictureFormat::Bmp);
    EXPECT_EQ(bmp.image.pixels, image.pixels);
    const LoadedPicture jpeg = loadPicture(folder / "b.Jpeg", LoadOptions::atLeast(1, 1));
    EXPECT_EQ(jpeg.format, PictureFormat::Jpeg);
    EXPECT_EQ(jpeg.sourceWidth, 5);
    EXPECT_EQ(jpeg.image.width, 1);
    const LoadedPicture gif = loadPicture(folder / "c.GIF");
    EXPECT_EQ(gif.format, PictureFormat::Gif);
    EXPECT_EQ(gif.image.pixels, pictureOf({{{4, 5, 6}, {1, 2, 3}}}).pixels);
}

TEST(PictureLoader, DecodesByContentButPreparesInTheFormatTheExtensionNames) {
    TemporaryFolder folder;
    writeBytes(folder.path() / "really-a-gif.jpg", encodeGif(IndexedImage{1, 1, {{9, 8, 7}}, {0}}, "x.gif"));
    const LoadedPicture picture = loadPicture(folder / "really-a-gif.jpg");
    EXPECT_EQ(picture.format, PictureFormat::Jpeg);
    EXPECT_EQ(picture.image.pixels, pictureOf({{{9, 8, 7}}}).pixels);
}

TEST(PictureLoader, RefusesAPictureOfAnotherKindUnderOurExtension) {
    TemporaryFolder folder;
    const std::string png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    for (const auto& [name, prefix] :
         {std::pair<std::string, std::string>{"photo.jpg", "JPEG error #" + std::to_string(JERR_NO_SOI)},
          {"photo.gif", "GIF error"},
          {"photo.bmp", "BMP error"}}) {
        writeBytes(folder.path() / name, png);
        const std::string shown = name == "photo.bmp" ? "Windows bitmap" : name == "photo.gif" ? "GIF" : "JPEG";
        EXPECT_EQ(errorOf([&] { loadPicture(folder / name); }),
                  prefix + ": " + (folder / name) + ": the file holds a PNG picture, not a " + shown +
                      " picture; only JPEG, GIF and Windows bitmap pictures can be read");
    }
}

TEST(PictureLoader, NamesAMissingFileOrAFolder) {
    TemporaryFolder folder;
    EXPECT_EQ(errorOf([&] { loadPicture(folder / "missing.jpg"); }), "File not found: " + (folder / "missing.jpg"));
    std::filesystem::create_directory(folder.path() / "folder.gif");
    EXPECT_EQ(errorOf([&] { loadPicture(folder / "folder.gif"); }), "File not found: " + (folder / "folder.gif"));
    EXPECT_EQ(errorOf([&] { loadPicture(folder / "missing.png"); }), "Unknown picture file extension (.png)");
}

// The size publishing reads ahead of decoding, for the copies at twice the slider's size: a top-down
// bitmap's height is negative in its header, and a GIF screen without a size is known only once decoded.
TEST(PictureLoader, ReadsTheSizeFromTheHeaderAsDecodingWouldGiveIt) {
    TemporaryFolder folder;
    writeBytes(folder / "wide.jpg", encodeJpeg(colourPattern(300, 20), 90, "wide.jpg"));
    std::string topDown = encodeBmp(colourPattern(7, 5), "top.bmp");
    const std::uint32_t rows = static_cast<std::uint32_t>(-5);
    for (int k = 0; k < 4; ++k)
        topDown[22 + k] = static_cast<char>(rows >> (8 * k) & 0xFF);
    writeBytes(folder / "top.bmp", topDown);
    std::string noScreen = encodeGif(quantizeForGif(colourPattern(9, 6), {0, 0, 9, 6}), "screen.gif");
    noScreen.replace(6, 4, std::string(4, '\0'));
    writeBytes(folder / "screen.gif", noScreen);
    writeBytes(folder / "cut.jpg", "\xFF\xD8\xFF");
    EXPECT_EQ(pictureSizeOf(folder / "wide.jpg").width, 300);
    EXPECT_EQ(pictureSizeOf(folder / "top.bmp").height, 5);
    EXPECT_EQ(decodeBytes(topDown, "top.bmp").sourceHeight, 5);
    EXPECT_EQ(pictureSizeOf(folder / "screen.gif").width, 0);
    EXPECT_EQ(decodeBytes(noScreen, "screen.gif").sourceWidth, 9) << "decoding takes the first image's size";
    EXPECT_THROW(pictureSizeOf(folder / "cut.jpg"), VeskaroError);
}
