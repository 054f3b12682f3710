#pragma once

#include "imaging/EncoderSettings.h"
#include "imaging/FaithfulQuality.h"
#include "imaging/RgbImage.h"
#include "imaging/SliderGeometry.h"

#include <cstddef>
#include <string>

namespace veskaro {

inline constexpr const char* kWebpErrorPrefix = "WebP error";

/// The most colours a picture may have for lossless WebP to be worth trying: what one GIF palette holds.
inline constexpr int kLosslessColourLimit = 256;

/// Returns the bytes of a lossy WebP of the picture at quality 0 to 100, tuned for photographs, with
/// libwebp's effort method 0 to 6; name is used in messages. Throws VeskaroError "WebP error: <name>: ..."
/// when the picture cannot be encoded.
std::string encodeWebp(const RgbImage& image, int quality, const std::string& name, int method = kWebpMethod);

/// Returns the picture a WebP holds; name is used in messages. Throws VeskaroError "WebP error: <name>: ..."
/// when the bytes are not a WebP picture.
RgbImage decodeWebp(const std::string& bytes, const std::string& name);

/// How a lossy WebP's quality is raised for a picture that would lose its detail.
inline constexpr QualityRaise kWebpQualityRaise{kLeastSimilarity, kWebpHighestQuality, kQualityTrials,
                                                kWebpLeastQualityStep, kWebpQualitySlope};

/// Returns the bytes of a lossy WebP of the picture from quality upwards, raised as kWebpQualityRaise says
/// (encodeFaithfully) where the picture within content (the picture on a canvas, without its margins)
/// would lose its detail. Throws VeskaroError as encodeWebp does.
std::string encodeFaithfulWebp(const RgbImage& image, const PixelRect& content, int quality, const std::string& name);

/// Returns the bytes of a lossless WebP of the picture, every pixel exact; name is used in messages.
/// Throws VeskaroError as encodeWebp does.
std::string encodeWebpLossless(const RgbImage& image, const std::string& name);

/// Returns whether the picture has at most limit distinct colours; counting stops once it has more.
bool hasAtMostColours(const RgbImage& image, int limit);

/// Returns whether lossless WebP is the better choice for a picture from a GIF source: only a picture of
/// few colours (flat graphics, not a dithered photograph), and only where lossless is the smaller file.
bool webpLosslessIsBetter(bool fewColours, std::size_t lossyBytes, std::size_t losslessBytes);

/// A WebP chosen for a picture, and which kind it is.
struct EncodedWebp {
    std::string bytes;
    bool lossless = false;
};

/// Returns the WebP to publish for a picture: lossy from quality up (encodeFaithfulWebp), or lossless where
/// the source is a GIF, the picture has few colours and lossless is smaller. Lossless is encoded only where
/// it can win.
EncodedWebp encodeWebpFor(const RgbImage& image, const PixelRect& content, bool gifSource, int quality,
                          const std::string& name);

} // namespace veskaro
