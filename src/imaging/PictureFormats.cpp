#include "imaging/PictureFormats.h"

#include "imaging/BmpCodec.h"
#include "imaging/DecodeLimits.h"
#include "imaging/GifCodec.h"
#include "imaging/GifEstimate.h"
#include "imaging/JpegCodec.h"
#include "imaging/LittleEndian.h"
#include "imaging/PaletteQuantizer.h"
#include "imaging/PictureError.h"
#include "imaging/PngCodec.h"
#include "imaging/WebpCodec.h"
#include "platform/AsciiText.h"
#include "platform/PathText.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include <jerror.h>

namespace veskaro {

namespace {

bool startsWith(std::span<const std::uint8_t> head, std::string_view signature) {
    return head.size() >= signature.size() && std::memcmp(head.data(), signature.data(), signature.size()) == 0;
}

// Reads the first bytes of a file's header for the estimates below; a short file costs nothing, since the
// decoder refuses it before it takes memory.
template <std::size_t N> bool readHead(ByteSource& source, std::array<std::uint8_t, N>& head) {
    return source.read(head.data(), head.size()) == head.size() && source.rewind();
}

// GIF and BMP pictures decode whole: the RGB pixels and a byte per pixel beside them (GIF's indices, BMP's
// alpha), the reduced copy included. A size the decoder refuses before it takes memory costs nothing.
std::uint64_t wholeDecodeBytes(std::uint64_t width, std::uint64_t height) {
    return width > kMaxPictureSide || height > kMaxPictureSide ? 0 : width * height * 4;
}

// A GIF's screen says little: its images may be far larger, and a screen without a size takes theirs.
std::uint64_t gifPictureDecodeBytes(ByteSource& source, const std::string&, const LoadOptions&) {
    return gifDecodeBytes(source);
}

// A GIF's screen is the picture's size; a screen without one takes its first image's, known once decoded.
PictureSize gifHeaderSize(ByteSource& source, const std::string& name) {
    std::array<std::uint8_t, 10> head{};
    if (!readHead(source, head))
        throwPictureError(kGifErrorPrefix, name, "the file is too short for a GIF header");
    const PictureSize screen{static_cast<int>(readLe16(&head[6])), static_cast<int>(readLe16(&head[8]))};
    return screen.width > 0 && screen.height > 0 ? screen : PictureSize{};
}

// Top-down bitmaps give their height negative.
std::optional<PictureSize> bmpLayoutSize(ByteSource& source) {
    std::array<std::uint8_t, 26> head{};
    if (!readHead(source, head))
        return std::nullopt;
    const bool core = readLe32(&head[14]) == 12;
    // Each side read as its own type: a conditional of both would make a negative height unsigned.
    const auto side = [&](std::size_t coreAt, std::size_t infoAt) -> std::int64_t {
        if (core)
            return readLe16(&head[coreAt]);
        return static_cast<std::int32_t>(readLe32(&head[infoAt]));
    };
    const std::int64_t width = side(18, 18);
    const std::int64_t rows = side(20, 22);
    const std::int64_t height = rows < 0 ? -rows : rows;
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return PictureSize{};
    return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

std::uint64_t bmpDecodeBytes(ByteSource& source, const std::string&, const LoadOptions&) {
    const std::optional<PictureSize> size = bmpLayoutSize(source);
    return size ? wholeDecodeBytes(static_cast<std::uint64_t>(size->width), static_cast<std::uint64_t>(size->height))
                : 0;
}

PictureSize bmpHeaderSize(ByteSource& source, const std::string& name) {
    const std::optional<PictureSize> size = bmpLayoutSize(source);
    if (!size)
        throwPictureError(kBmpErrorPrefix, name, "the file is too short for a bitmap header");
    return *size;
}

// A baseline JPEG decodes at its reduced size; a progressive one holds all its coefficients meanwhile.
std::uint64_t jpegDecodeBytes(ByteSource& source, const std::string& name, const LoadOptions& options) {
    const JpegDecodeCost cost = jpegDecodeCost(source, name, options);
    return cost.pixelBytes + cost.coefficientBytes;
}

LoadedPicture decodeGifPicture(ByteSource& source, const std::string& name, const LoadOptions& options) {
    return decodeGif(source, name, options);
}

LoadedPicture decodeBmpPicture(ByteSource& source, const std::string& name, const LoadOptions&) {
    return decodeBmp(source, name);
}

std::string encodeJpegCanvas(const RgbImage& canvas, const PixelRect& content, const EncoderSettings& settings,
                             const std::string& name) {
    return encodeFaithfulJpeg(canvas, content, settings.jpegQuality, settings.jpegHighestQuality, name);
}

std::string encodeGifCanvas(const RgbImage& canvas, const PixelRect& content, const EncoderSettings& settings,
                            const std::string& name) {
    return encodeGif(quantizeForGif(canvas, content, settings.gifDiffusion), name);
}

std::string encodeBmpCanvas(const RgbImage& canvas, const PixelRect&, const EncoderSettings&, const std::string& name) {
    return encodeBmp(canvas, name);
}

std::string encodePngCanvas(const RgbImage& canvas, const PixelRect&, const EncoderSettings&, const std::string& name) {
    return encodePng(canvas, name);
}

std::string encodeWebpCanvas(const RgbImage& canvas, const PixelRect& content, const EncoderSettings& settings,
                             const std::string& name) {
    return encodeWebpFor(canvas, content, settings.webpMayBeLossless, settings.webpQuality, name).bytes;
}

// The formats read as sources come first: pictureFormats() is that part of the table.
constexpr std::size_t kReadableFormats = 3;

constexpr PictureFormatInfo kFormats[] = {
    {PictureFormat::Jpeg,
     "JPEG",
     {"jpg", "jpeg"},
     "Jpeg Files",
     true,
     [](std::span<const std::uint8_t> head) { return startsWith(head, "\xFF\xD8\xFF"); },
     decodeJpeg,
     encodeJpegCanvas,
     jpegDecodeBytes,
     jpegPictureSize,
     [] { return jpegErrorPrefix(JERR_NO_SOI); }},
    {PictureFormat::Gif,
     "GIF",
     {"gif", nullptr},
     "Gif Files",
     false,
     [](std::span<const std::uint8_t> head) { return startsWith(head, "GIF87a") || startsWith(head, "GIF89a"); },
     decodeGifPicture,
     encodeGifCanvas,
     gifPictureDecodeBytes,
     gifHeaderSize,
     [] { return std::string(kGifErrorPrefix); }},
    {PictureFormat::Bmp,
     "Windows bitmap",
     {"bmp", nullptr},
     "Bitmap Files",
     false,
     [](std::span<const std::uint8_t> head) { return startsWith(head, "BM"); },
     decodeBmpPicture,
     encodeBmpCanvas,
     bmpDecodeBytes,
     bmpHeaderSize,
     [] { return std::string(kBmpErrorPrefix); }},
    {PictureFormat::Png,
     "PNG",
     {"png", nullptr},
     "PNG Files",
     false,
     nullptr,
     nullptr,
     encodePngCanvas,
     nullptr,
     nullptr,
     [] { return std::string(kPngErrorPrefix); }},
    {PictureFormat::Webp,
     "WebP",
     {"webp", nullptr},
     "WebP Files",
     false,
     nullptr,
     nullptr,
     encodeWebpCanvas,
     nullptr,
     nullptr,
     [] { return std::string(kWebpErrorPrefix); }},
};

std::string extensionOf(const std::string& path) {
    const std::string name = textOf(pathOf(path).filename());
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string{} : name.substr(dot + 1);
}

} // namespace

PictureFormat formatFromExtension(const std::string& path) {
    const std::string extension = extensionOf(path);
    const std::string lower = asciiLower(extension);
    for (const PictureFormatInfo& info : pictureFormats())
        for (const char* known : info.extensions)
            if (known && lower == known)
                return info.format;
    throw VeskaroError("Unknown picture file extension (." + extension + ")");
}

std::string preparedExtension(PictureFormat format) {
    return formatInfo(format).preparedExtension();
}

std::span<const PictureFormatInfo> pictureFormats() {
    return std::span(kFormats).first(kReadableFormats);
}

std::span<const PictureFormatInfo> writtenPictureFormats() {
    return kFormats;
}

const PictureFormatInfo& formatInfo(PictureFormat format) {
    const auto* found = std::find_if(std::begin(kFormats), std::end(kFormats),
                                     [format](const PictureFormatInfo& info) { return info.format == format; });
    if (found == std::end(kFormats))
        throw std::logic_error("a picture format without its descriptor");
    return *found;
}

const PictureFormatInfo* formatOfContent(std::span<const std::uint8_t> head) {
    const auto readable = pictureFormats();
    const auto found = std::find_if(readable.begin(), readable.end(),
                                    [head](const PictureFormatInfo& info) { return info.sniff(head); });
    return found == readable.end() ? nullptr : &*found;
}

std::vector<std::string> readableExtensions() {
    std::vector<std::string> extensions;
    for (const PictureFormatInfo& info : pictureFormats())
        for (const char* extension : info.extensions)
            if (extension)
                extensions.emplace_back(extension);
    return extensions;
}

} // namespace veskaro
