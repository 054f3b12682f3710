#include "imaging/PictureLoader.h"

#include "imaging/FileSource.h"
#include "imaging/PictureError.h"
#include "imaging/PictureFormats.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>
#include <string_view>

namespace veskaro {

namespace {

bool hasAt(std::span<const std::uint8_t> head, std::string_view signature, std::size_t offset = 0) {
    return head.size() >= offset + signature.size() &&
           std::memcmp(head.data() + offset, signature.data(), signature.size()) == 0;
}

// Other kinds of picture a user may name ".jpg": recognised, so that the message says what the file holds.
const char* foreignFormatOf(std::span<const std::uint8_t> head) {
    using namespace std::string_view_literals;
    if (hasAt(head, "\x89PNG\r\n\x1A\n"sv))
        return "PNG";
    if (hasAt(head, "II*\0"sv) || hasAt(head, "MM\0*"sv))
        return "TIFF";
    if (hasAt(head, "RIFF"sv) && hasAt(head, "WEBP"sv, 8))
        return "WebP";
    if (hasAt(head, "ftyp"sv, 4))
        return "HEIF or AVIF";
    if (hasAt(head, "8BPS"sv))
        return "Photoshop";
    return nullptr;
}

std::string readableFormatNames() {
    std::string names;
    const auto formats = pictureFormats();
    for (std::size_t i = 0; i < formats.size(); ++i)
        names += (i == 0 ? "" : i + 1 == formats.size() ? " and " : ", ") + std::string(formats[i].name);
    return names;
}

[[noreturn]] void refuseForeign(const std::string& name, const PictureFormatInfo& named, const char* foreignName) {
    throwPictureError(named.errorPrefix(), name,
                      std::string("the file holds a ") + foreignName + " picture, not a " + named.name +
                          " picture; only " + readableFormatNames() + " pictures can be read");
}

} // namespace

namespace {

// Where the content is another of our formats, the content decides the decoder; the extension still
// decides the prepared picture's format.
const PictureFormatInfo& decoderOf(ByteSource& source, const std::string& name, PictureFormat named) {
    std::array<std::uint8_t, 12> bytes{};
    const std::size_t count = source.read(bytes.data(), bytes.size());
    if (!source.rewind())
        throw VeskaroError(ioErrorText(source.readError() ? source.readError() : EIO) + ": " + name);
    const std::span<const std::uint8_t> head(bytes.data(), count);
    const PictureFormatInfo& namedFormat = formatInfo(named);
    if (const char* foreign = foreignFormatOf(head))
        refuseForeign(name, namedFormat, foreign);
    const PictureFormatInfo* content = formatOfContent(head);
    return content ? *content : namedFormat;
}

} // namespace

LoadedPicture decodePicture(ByteSource& source, const std::string& name, PictureFormat named,
                            const LoadOptions& options) {
    LoadedPicture picture = decoderOf(source, name, named).decode(source, name, options);
    picture.format = named;
    return picture;
}

PictureSize pictureSizeOf(const std::string& path) {
    const PictureFormat named = formatFromExtension(path);
    FileSource source(path);
    return decoderOf(source, path, named).headerSize(source, path);
}

LoadedPicture loadPicture(const std::string& path, const LoadOptions& options) {
    const PictureFormat named = formatFromExtension(path);
    FileSource source(path);
    return decodePicture(source, path, named, options);
}

} // namespace veskaro
