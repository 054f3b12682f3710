// Encodes every corpus picture, fitted to the slider at 1x and at 2x, in the formats and qualities a publish
// could choose, and writes each file for scoring against a reference resize (quality.py). Prints one row per
// variant: total and largest bytes over the corpus and the encoding time.
//
//   picture_formats_bench OUTDIR SOURCE...
//
// Files go to OUTDIR/<variant>/<source file name>.<ext>; OUTDIR/bytes.csv has one row per file.

#include "imaging/EncoderSettings.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureLoader.h"
#include "imaging/PngCodec.h"
#include "imaging/SliderPicture.h"
#include "imaging/WebpCodec.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <webp/encode.h>

using namespace veskaro;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Totals {
    std::size_t files = 0;
    std::size_t bytes = 0;
    std::size_t largest = 0;
    double ms = 0;
};

/// One way of encoding a canvas; formats lists the source formats it applies to.
struct Variant {
    std::string name;
    int scale;
    std::vector<PictureFormat> formats;
    std::string extension;
    std::function<std::string(const SliderCanvas&, const std::string&)> encode;
};

const std::vector<PictureFormat> kAll{PictureFormat::Jpeg, PictureFormat::Gif, PictureFormat::Bmp};

/// Lossy WebP with settings the product does not use, to show what they would change.
std::string encodeWebpTuned(const RgbImage& image, int quality, WebPPreset preset, int sns) {
    WebPConfig config;
    WebPConfigPreset(&config, preset, static_cast<float>(quality));
    config.method = kWebpMethod;
    if (sns >= 0)
        config.sns_strength = sns;
    WebPPicture picture;
    WebPPictureInit(&picture);
    picture.width = image.width;
    picture.height = image.height;
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    const bool done = WebPPictureImportRGB(&picture, image.pixels.data(), static_cast<int>(image.rowBytes())) &&
                      WebPEncode(&config, &picture);
    std::string bytes(reinterpret_cast<const char*>(writer.mem), writer.size);
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&writer);
    if (!done)
        throw VeskaroError("WebP error: the tuned encoder failed");
    return bytes;
}

std::vector<Variant> variants() {
    std::vector<Variant> list;
    list.push_back(
        {"today", 1, kAll, "", [](const SliderCanvas& c, const std::string& n) { return encodeSliderCanvas(c, n); }});
    for (int scale : {1, 2}) {
        const std::string suffix = "-" + std::to_string(scale) + "x";
        // The canvas itself, losslessly: what the resampler and the fitting rule alone score.
        list.push_back({"canvas" + suffix, scale, kAll, ".png",
                        [](const SliderCanvas& c, const std::string& n) { return encodePng(c.canvas, n, 1); }});
        const std::vector<int> qualities =
            scale == 1 ? std::vector<int>{80, 85, 86, 87, 88, 90} : std::vector<int>{75, 76, 77, 78, 80, 81, 82, 85};
        for (int q : qualities)
            list.push_back({"webp-q" + std::to_string(q) + suffix, scale, kAll, ".webp",
                            [q](const SliderCanvas& c, const std::string& n) { return encodeWebp(c.canvas, q, n); }});
        for (int q : {80, 85}) {
            const std::string qs = std::to_string(q);
            list.push_back(
                {"webp-default-q" + qs + suffix, scale, kAll, ".webp", [q](const SliderCanvas& c, const std::string&) {
                     return encodeWebpTuned(c.canvas, q, WEBP_PRESET_DEFAULT, -1);
                 }});
            list.push_back(
                {"webp-sns25-q" + qs + suffix, scale, kAll, ".webp", [q](const SliderCanvas& c, const std::string&) {
                     return encodeWebpTuned(c.canvas, q, WEBP_PRESET_PHOTO, 25);
                 }});
            for (int method : {3, 6})
                list.push_back({"webp-m" + std::to_string(method) + "-q" + qs + suffix, scale, kAll, ".webp",
                                [q, method](const SliderCanvas& c, const std::string& n) {
                                    return encodeWebp(c.canvas, q, n, method);
                                }});
        }
        if (scale == 2)
            for (int q : {80, 84, 86, 87, 88, 89, 90})
                list.push_back(
                    {"jpeg-q" + std::to_string(q) + suffix, scale, kAll, ".jpg",
                     [q](const SliderCanvas& c, const std::string& n) { return encodeJpeg(c.canvas, q, n); }});
        list.push_back({"webp-lossless" + suffix,
                        scale,
                        {PictureFormat::Gif},
                        ".webp",
                        [](const SliderCanvas& c, const std::string& n) { return encodeWebpLossless(c.canvas, n); }});
        list.push_back({"webp-chosen-gif" + suffix,
                        scale,
                        {PictureFormat::Gif},
                        ".webp",
                        [scale](const SliderCanvas& c, const std::string& n) {
                            return encodeWebpFor(c.canvas, c.geometry.target, true,
                                                 scale == 1 ? kWebpQuality1x : kWebpQuality2x, n)
                                .bytes;
                        }});
        for (int level : {3, 6, 9})
            list.push_back(
                {"png-l" + std::to_string(level) + suffix,
                 scale,
                 {PictureFormat::Bmp},
                 ".png",
                 [level](const SliderCanvas& c, const std::string& n) { return encodePng(c.canvas, n, level); }});
    }
    return list;
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

SliderCanvas composeTimed(const std::string& source, int scale, Totals& totals) {
    const auto start = std::chrono::steady_clock::now();
    SliderCanvas canvas = composeSliderCanvas([&](const LoadOptions& options) { return loadPicture(source, options); },
                                              kWidth * scale, kHeight * scale);
    totals.ms += msSince(start);
    ++totals.files;
    return canvas;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: picture_formats_bench OUTDIR SOURCE...\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const std::vector<Variant> list = variants();
    std::map<std::string, Totals> totals;
    std::string csv = "variant,file,bytes,ms\n";
    try {
        for (int i = 2; i < argc; ++i) {
            const std::string source = argv[i];
            const std::string name = std::filesystem::path(source).filename().string();
            std::map<int, SliderCanvas> canvases;
            for (int scale : {1, 2})
                canvases.emplace(scale,
                                 composeTimed(source, scale, totals["(compose " + std::to_string(scale) + "x)"]));
            for (const Variant& variant : list) {
                const SliderCanvas& canvas = canvases.at(variant.scale);
                if (std::find(variant.formats.begin(), variant.formats.end(), canvas.format) == variant.formats.end())
                    continue;
                const std::string extension =
                    variant.extension.empty() ? preparedExtension(canvas.format) : variant.extension;
                const std::filesystem::path file = out / variant.name / (name + extension);
                std::filesystem::create_directories(file.parent_path());
                const auto start = std::chrono::steady_clock::now();
                const std::string bytes = variant.encode(canvas, file.string());
                const double ms = msSince(start);
                writeFileAtomically(file.string(), bytes);
                Totals& t = totals[variant.name];
                ++t.files;
                t.bytes += bytes.size();
                t.largest = std::max(t.largest, bytes.size());
                t.ms += ms;
                csv += variant.name + "," + name + "," + std::to_string(bytes.size()) + "," + std::to_string(ms) + "\n";
            }
            std::fprintf(stderr, "%s\n", name.c_str());
        }
        writeFileAtomically((out / "bytes.csv").string(), csv);
    } catch (const VeskaroError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("%-20s %5s %11s %9s %9s %9s\n", "variant", "files", "total_KB", "mean_KB", "max_KB", "ms");
    for (const auto& [name, t] : totals)
        std::printf("%-20s %5zu %11.1f %9.1f %9.1f %9.1f\n", name.c_str(), t.files, t.bytes / 1000.0,
                    t.files ? t.bytes / 1000.0 / static_cast<double>(t.files) : 0.0, t.largest / 1000.0, t.ms);
    return 0;
}
