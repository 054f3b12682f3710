#include "imaging/PictureLoader.h"

#include "imaging/BmpCodec.h"
#include "imaging/FileSource.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureError.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include <jerror.h>

namespace veskaro {

namespace {

/// What the first bytes of a file say it holds.
struct Content {
    std::optional<PictureFormat> format; // one of ours
    const char* foreignName = nullptr;   // another kind of picture we recognise but do not read
};

bool startsWith(const std::array<std::uint8_t, 12>& head, std::size_t count, const char* signature, std::size_t length,
                std::size_t offset = 0) {
    return count >= offset + length && std::memcmp(head.data() + offset, signature, length) == 0;
}

Content sniff(const std::array<std::uint8_t, 12>& head, std::size_t count) {
    if (startsWith(head, count, "\xFF\xD8\xFF", 3))
        return {PictureFormat::Jpeg};
    if (startsWith(head, count, "GIF87a", 6) || startsWith(head, count, "GIF89a", 6))
        return {PictureFormat::Gif};
    if (startsWith(head, count, "BM", 2))
        return {PictureFormat::Bmp};
    if (startsWith(head, count, "\x89PNG\r\n\x1A\n", 8))
        return {std::nullopt, "PNG"};
    if (startsWith(head, count, "II*\0", 4) || startsWith(head, count, "MM\0*", 4))
        return {std::nullopt, "TIFF"};
    if (startsWith(head, count, "RIFF", 4) && startsWith(head, count, "WEBP", 4, 8))
        return {std::nullopt, "WebP"};
    if (startsWith(head, count, "ftyp", 4, 4))
        return {std::nullopt, "HEIF or AVIF"};
    if (startsWith(head, count, "8BPS", 4))
        return {std::nullopt, "Photoshop"};
    return {};
}

const char* formatName(PictureFormat format) {
    switch (format) {
    case PictureFormat::Jpeg:
        return "JPEG";
    case PictureFormat::Gif:
        return "GIF";
    case PictureFormat::Bmp:
        return "Windows bitmap";
    }
    return "";
}

[[noreturn]] void refuseForeign(const std::string& name, PictureFormat named, const char* foreignName) {
    const std::string what = std::string("the file holds a ") + foreignName + " picture, not a " + formatName(named) +
                             " picture; only JPEG, GIF and Windows bitmap pictures can be read";
    switch (named) {
    case PictureFormat::Jpeg:
        throwPictureError(jpegErrorPrefix(JERR_NO_SOI), name, what);
    case PictureFormat::Gif:
        throwPictureError(kGifErrorPrefix, name, what);
    case PictureFormat::Bmp:
        break;
    }
    throwPictureError(kBmpErrorPrefix, name, what);
}

LoadedPicture decodeAs(PictureFormat format, ByteSource& source, const std::string& name, const LoadOptions& options) {
    switch (format) {
    case PictureFormat::Jpeg:
        return decodeJpeg(source, name, options);
    case PictureFormat::Gif:
        return decodeGif(source, name, options);
    case PictureFormat::Bmp:
        break;
    }
    return decodeBmp(source, name);
}

} // namespace

LoadedPicture decodePicture(ByteSource& source, const std::string& name, PictureFormat named,
                            const LoadOptions& options) {
    std::array<std::uint8_t, 12> head{};
    const std::size_t count = source.read(head.data(), head.size());
    if (!source.rewind())
        throw VeskaroError(ioErrorText(source.readError() ? source.readError() : EIO) + ": " + name);
    const Content content = sniff(head, count);
    if (content.foreignName)
        refuseForeign(name, named, content.foreignName);
    LoadedPicture picture = decodeAs(content.format.value_or(named), source, name, options);
    picture.format = named;
    return picture;
}

LoadedPicture loadPicture(const std::string& path, const LoadOptions& options) {
    const PictureFormat named = formatFromExtension(path);
    FileSource source(path);
    return decodePicture(source, path, named, options);
}

} // namespace veskaro
