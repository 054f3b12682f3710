#pragma once

#include "imaging/ByteSource.h"
#include "imaging/EncoderSettings.h"
#include "imaging/LoadedPicture.h"
#include "imaging/PictureFormat.h"
#include "imaging/SliderGeometry.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace veskaro {

/// How the prepared pictures are encoded.
struct EncoderSettings {
    int jpegQuality = kJpegQuality;   // the quality JPEG pictures start from
    int jpegHighestQuality = 0;       // above jpegQuality: what a picture losing its detail is raised to
    int webpQuality = kWebpQuality1x; // the quality lossy WebP pictures start from
    int gifDiffusion = kGifDiffusion; // sixteenths of each error a GIF passes on
    bool webpMayBeLossless = false;   // a GIF source's few colours may be stored exactly where that is smaller

    bool operator==(const EncoderSettings&) const = default;
};

/// Everything the program knows of one picture format: how its files are named, recognised, decoded and
/// written, what decoding one takes, and how the file dialogs offer it. A new format is one descriptor in
/// the table behind formatInfo() and its codec. Formats only published (PNG, WebP) have no sniff, decode,
/// headerSize or decodeBytes.
struct PictureFormatInfo {
    PictureFormat format;
    const char* name;                      // as messages name it: "JPEG"
    std::array<const char*, 2> extensions; // lower case, without the dot; the first names prepared pictures
    const char* dialogCaption;             // the entry of the picture dialogs' filter: "Jpeg Files"
    bool reducesInDecoder;                 // the decoder itself reduces a large picture as LoadOptions ask
    /// Tells whether a file's first bytes (up to 12) are a picture of this format.
    bool (*sniff)(std::span<const std::uint8_t> head);
    /// Decodes a picture; name stands for the file in messages.
    LoadedPicture (*decode)(ByteSource& source, const std::string& name, const LoadOptions& options);
    /// Returns the bytes of a slider canvas whose picture covers content, in this format.
    std::string (*encode)(const RgbImage& canvas, const PixelRect& content, const EncoderSettings& settings,
                          const std::string& name);
    /// Returns the bytes decoding the picture as options ask would take at its peak, from its header; 0 when
    /// the decoder refuses the file before it takes memory.
    std::uint64_t (*decodeBytes)(ByteSource& source, const std::string& name, const LoadOptions& options);
    /// Returns the size a decoded picture has (LoadedPicture's sourceWidth and sourceHeight), from its header
    /// alone; width 0 when the header does not tell it. Throws VeskaroError when the header cannot be read.
    PictureSize (*headerSize)(ByteSource& source, const std::string& name);
    /// Returns the start of this format's decoder messages, for a file whose content is another format's.
    std::string (*errorPrefix)();

    /// Returns the extension of a prepared picture, with its dot: ".jpg".
    std::string preparedExtension() const { return std::string(".") + extensions[0]; }
};

/// Returns the descriptors of the formats the program reads (and writes), in the order the dialogs list them.
std::span<const PictureFormatInfo> pictureFormats();

/// Returns the descriptors of every format the program writes: those it reads first, then PNG and WebP.
std::span<const PictureFormatInfo> writtenPictureFormats();
/// Returns the descriptor of a format.
const PictureFormatInfo& formatInfo(PictureFormat format);

/// Returns the format whose signature a file's first bytes carry, or nullptr for none of ours.
const PictureFormatInfo* formatOfContent(std::span<const std::uint8_t> head);

/// Returns every extension the program reads, lower case without the dot, in the dialogs' order.
std::vector<std::string> readableExtensions();

} // namespace veskaro
