#include "FuzzSeeds.h"

#include "PictureFixtures.h"

#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"

namespace veskaro::fuzz {

namespace {

using test::BmpSpec;
using test::Colour;
using test::GifImageSpec;

std::vector<std::string> jpegSeeds() {
    const RgbImage image = test::smoothPattern(19, 13);
    std::vector<std::uint8_t> cmyk(8 * 8 * 4, 200);
    return {encodeJpeg(image, 90, "seed.jpg"), encodeJpeg(test::colourPattern(9, 17), 40, "seed.jpg"),
            test::makeProgressiveJpeg(image, 10), test::makeGreyJpeg(image), test::makeAdobeCmykJpeg(8, 8, cmyk)};
}

std::vector<std::string> gifSeeds() {
    const std::vector<Colour> colours{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    GifImageSpec first{0, 0, 3, 2, true, {0, 1, 2, 3, 2, 1}, {}, true, 10, 2, 1};
    GifImageSpec second{1, 1, 2, 1, false, {3, 0}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {0, 0, 0}}, true, 10, 3, -1};
    IndexedImage indexed{7, 5, {{0, 0, 0}, {255, 255, 255}, {128, 0, 64}}, {}};
    for (int i = 0; i < 35; ++i)
        indexed.indices.push_back(static_cast<std::uint8_t>(i % 3));
    return {test::makeGif({3, 2, colours, {first, second}}), encodeGif(indexed, "seed.gif"),
            test::makeGif({4,
                           4,
                           colours,
                           {GifImageSpec{0, 0, 2, 2, false, {0, 1, 2, 3}, {}, false, 0, 0, -1},
                            GifImageSpec{2, 2, 2, 2, false, {3, 2, 1, 0}, {}, false, 0, 0, -1}}})};
}

std::vector<std::string> bmpSeeds() {
    std::vector<std::string> seeds{encodeBmp(test::colourPattern(5, 3), "seed.bmp")};
    const std::vector<std::vector<int>> rows{{0, 1, 2}, {3, 0, 1}};
    for (const std::uint32_t header : {12u, 40u, 124u})
        for (const int bits : {1, 4, 8}) {
            BmpSpec spec;
            spec.headerSize = header;
            spec.width = 3;
            spec.height = 2;
            spec.bitsPerPixel = static_cast<std::uint16_t>(bits);
            spec.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
            spec.pixelData = test::packIndexRows(rows, bits);
            seeds.push_back(test::makeBmp(spec));
        }
    BmpSpec rle;
    rle.width = 4;
    rle.height = 2;
    rle.bitsPerPixel = 8;
    rle.compression = 1;
    rle.palette = {{255, 0, 0}, {0, 255, 0}};
    rle.pixelData = std::string("\x04\x01\x00\x00\x00\x03\x00\x01\x01\x00\x00\x02\x01\x00\x00\x01", 16);
    seeds.push_back(test::makeBmp(rle));
    // Bit fields: the same picture size, 5-6-5 colour.
    rle.bitsPerPixel = 16;
    rle.compression = 3;
    rle.palette.clear();
    rle.masks = {0xF800, 0x07E0, 0x001F};
    rle.pixelData = std::string(16, '\x5A');
    seeds.push_back(test::makeBmp(rle));
    return seeds;
}

} // namespace

std::vector<std::string> fuzzSeeds(PictureFormat format) {
    switch (format) {
    case PictureFormat::Jpeg:
        return jpegSeeds();
    case PictureFormat::Gif:
        return gifSeeds();
    case PictureFormat::Bmp:
        break;
    case PictureFormat::Png:
    case PictureFormat::Webp:
        return {};
    }
    return bmpSeeds();
}

std::string mutate(std::string bytes, std::mt19937& random) {
    const auto at = [&](std::size_t size) {
        return size == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
    };
    static constexpr unsigned char kEdges[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int n = 0; n < changes && !bytes.empty(); ++n) {
        switch (random() % 6) {
        case 0:
            bytes[at(bytes.size())] ^= static_cast<char>(1 << (random() % 8));
            break;
        case 1:
            bytes[at(bytes.size())] = static_cast<char>(kEdges[random() % sizeof kEdges]);
            break;
        case 2:
            bytes.resize(at(bytes.size()));
            break;
        case 3: {
            const std::size_t from = at(bytes.size());
            bytes.insert(at(bytes.size()), bytes.substr(from, random() % 64));
            break;
        }
        case 4: {
            const std::size_t where = at(bytes.size());
            const char value = static_cast<char>(kEdges[random() % sizeof kEdges]);
            for (std::size_t i = where; i < std::min(bytes.size(), where + 4); ++i)
                bytes[i] = value;
            break;
        }
        default:
            bytes.insert(at(bytes.size()), std::string(random() % 16, static_cast<char>(random())));
        }
    }
    return bytes;
}

} // namespace veskaro::fuzz
