// Loads one picture file the way the program does and reports, on one tab-separated line, whether it
// was decoded or refused; optionally writes the pixels as a binary PPM and checks that the picture
// survives being written in its format and read back. The conformance script runs it once a file.

#include "PeakMemory.h"

#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/MemorySource.h"
#include "imaging/PictureLoader.h"
#include "platform/VeskaroError.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

using namespace veskaro;

namespace {

void writePpm(const std::string& path, const RgbImage& image) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << ' ' << image.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
}

/// Returns the picture's own colours as a palette when there are at most 256 of them, or else the
/// 3-3-2 colour cube (the product's quantiser is not this test's business).
IndexedImage toIndexed(const RgbImage& image, bool& exact) {
    IndexedImage indexed{image.width, image.height, {}, {}};
    std::map<std::uint32_t, std::uint8_t> lookup;
    exact = true;
    for (std::size_t i = 0; i < image.pixels.size() && exact; i += 3) {
        const std::uint32_t key = image.pixels[i] << 16 | image.pixels[i + 1] << 8 | image.pixels[i + 2];
        if (lookup.count(key))
            continue;
        if (lookup.size() == 256)
            exact = false;
        else
            lookup.emplace(key, static_cast<std::uint8_t>(lookup.size()));
    }
    if (exact) {
        indexed.palette.resize(lookup.size());
        for (const auto& [key, index] : lookup)
            indexed.palette[index] = {static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
                                      static_cast<std::uint8_t>(key)};
    } else {
        for (int i = 0; i < 256; ++i)
            indexed.palette.push_back({static_cast<std::uint8_t>((i >> 5) * 255 / 7),
                                       static_cast<std::uint8_t>((i >> 2 & 7) * 255 / 7),
                                       static_cast<std::uint8_t>((i & 3) * 255 / 3)});
    }
    indexed.indices.reserve(image.pixels.size() / 3);
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
        const std::uint32_t key = image.pixels[i] << 16 | image.pixels[i + 1] << 8 | image.pixels[i + 2];
        indexed.indices.push_back(exact ? lookup[key]
                                        : static_cast<std::uint8_t>((image.pixels[i] >> 5) << 5 |
                                                                    (image.pixels[i + 1] >> 5) << 2 |
                                                                    image.pixels[i + 2] >> 6));
    }
    return indexed;
}

/// Writes the picture in its format, reads it back and returns "exact", "close", "size-only" or why not.
std::string roundTrip(const LoadedPicture& picture) {
    std::string bytes;
    bool exact = true;
    switch (picture.format) {
    case PictureFormat::Jpeg:
        bytes = encodeJpeg(picture.image, 90, "probe.jpg");
        exact = false;
        break;
    case PictureFormat::Gif:
        bytes = encodeGif(toIndexed(picture.image, exact), "probe.gif");
        break;
    case PictureFormat::Bmp:
        bytes = encodeBmp(picture.image, "probe.bmp");
        break;
    case PictureFormat::Png:
    case PictureFormat::Webp:
        return "not a source format";
    }
    MemorySource source(bytes.data(), bytes.size());
    const LoadedPicture back = decodePicture(source, "probe", picture.format);
    if (back.image.width != picture.image.width || back.image.height != picture.image.height)
        return "size-changed";
    if (exact)
        return back.image.pixels == picture.image.pixels ? "exact" : "pixels-changed";
    double error = 0;
    for (std::size_t i = 0; i < back.image.pixels.size(); ++i)
        error += std::abs(back.image.pixels[i] - picture.image.pixels[i]);
    const double mean = error / static_cast<double>(back.image.pixels.size());
    return picture.format == PictureFormat::Jpeg && mean > 6 ? "jpeg-drift" : "close";
}

/// Reports on stderr the peak memory of this program, for the conformance table.
void reportPeakMemory() {
    std::fprintf(stderr, "peak-kb %ld\n", test::peakMemoryKilobytes());
}

} // namespace

int main(int argc, char** argv) {
    std::atexit(reportPeakMemory);
    if (argc < 2) {
        std::fprintf(stderr, "usage: picture_probe FILE [PPM-OUTPUT]\n");
        return 2;
    }
    LoadedPicture picture;
    try {
        picture = loadPicture(argv[1]);
    } catch (const VeskaroError& error) {
        std::printf("refused\t%s\n", error.what());
        return 0;
    }
    if (argc > 2)
        writePpm(argv[2], picture.image);
    std::string trip;
    try {
        trip = roundTrip(picture);
    } catch (const VeskaroError& error) {
        trip = "write-failed";
        std::fprintf(stderr, "%s\n", error.what());
    }
    std::printf("decoded\t%d\t%d\t%s\n", picture.image.width, picture.image.height, trip.c_str());
    return 0;
}
