#pragma once

#include "imaging/ByteSource.h"
#include "imaging/LoadedPicture.h"
#include "imaging/SliderGeometry.h"

#include <cstdint>
#include <string>

namespace veskaro {

/// Decodes a JPEG picture (greyscale, colour, CMYK or YCCK; baseline, progressive or arithmetic-coded),
/// DCT-reduced as options ask. Any damage libjpeg reports, even as a warning, refuses the file: a
/// half-decoded picture is never returned. Tells options.memoryNeeded what decoding takes before it
/// starts. Throws VeskaroError "JPEG error #<code>: <name>: ...".
LoadedPicture decodeJpeg(ByteSource& source, const std::string& name, const LoadOptions& options);

/// What decoding a JPEG takes in memory: the decoded pixels and the coefficients a picture read in several
/// scans holds whole meanwhile (0 for one scan).
struct JpegDecodeCost {
    std::uint64_t pixelBytes;
    std::uint64_t coefficientBytes;
};

/// Returns what decoding the JPEG as options ask would take, read from its header alone. Throws
/// VeskaroError as decodeJpeg does when the header cannot be read.
JpegDecodeCost jpegDecodeCost(ByteSource& source, const std::string& name, const LoadOptions& options);

/// Returns the JPEG's own size, read from its header alone. Throws VeskaroError as decodeJpeg does when the
/// header cannot be read.
PictureSize jpegPictureSize(ByteSource& source, const std::string& name);

/// Returns the bytes of a baseline JPEG of the picture: 4:4:4, optimised Huffman tables. name is used in
/// messages.
std::string encodeJpeg(const RgbImage& image, int quality, const std::string& name);

/// Returns the picture a JPEG holds, at its own size; name is used in messages. Throws VeskaroError as
/// decodeJpeg does.
RgbImage decodeJpegBytes(const std::string& bytes, const std::string& name);

/// Returns the bytes of a JPEG of the picture from quality upwards, raised up to highest (encodeFaithfully)
/// where the picture within content would fall below kLeastSimilarity. Throws VeskaroError as encodeJpeg does.
std::string encodeFaithfulJpeg(const RgbImage& image, const PixelRect& content, int quality, int highest,
                               const std::string& name);

/// Writes the picture as a baseline JPEG; an earlier file at path stays until the new one is complete.
void writeJpeg(const std::string& path, const RgbImage& image, int quality = 90);

} // namespace veskaro
