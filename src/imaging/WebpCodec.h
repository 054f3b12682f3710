#pragma once

#include "imaging/EncoderSettings.h"
#include "imaging/RgbImage.h"
#include "imaging/SliderGeometry.h"

#include <cstddef>
#include <string>
#include <vector>

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

/// One lossy encoding tried for a picture, and how similar it came out (lumaSimilarity).
struct QualityTrial {
    int quality;
    double similarity;
};

/// Returns the quality to try after trials, in the order tried and each of a higher quality, all fell short
/// of kWebpLeastSimilarity: a step as large as the measured fall of dissimilarity per quality (the last two
/// trials', kWebpQualitySlope after one) says is needed, at least kWebpLeastQualityStep, at most
/// kWebpHighestQuality.
int nextWebpQuality(const std::vector<QualityTrial>& trials);

/// Returns the bytes of a lossy WebP of the picture from quality upwards: the first quality tried whose
/// picture stays at least kWebpLeastSimilarity within content (the picture on a canvas, without its
/// margins), else the highest tried; a content too small to be measured keeps the quality given. Throws
/// VeskaroError as encodeWebp does.
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
