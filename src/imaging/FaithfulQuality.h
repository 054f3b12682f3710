#pragma once

#include "imaging/RgbImage.h"
#include "imaging/SliderGeometry.h"

#include <functional>
#include <string>
#include <vector>

namespace veskaro {

/// One lossy encoding tried for a picture, and how similar it came out (lumaSimilarity).
struct QualityTrial {
    int quality;
    double similarity;
};

/// How a lossy format's quality is raised for a picture that its first encoding would strip of detail.
struct QualityRaise {
    double leastSimilarity; // what the picture must keep, by lumaSimilarity against what was encoded
    int highest;            // the quality it may be raised to
    int trials;             // the most encodings, the first included
    int leastStep;          // the smallest raise
    double slope;           // the fall of log(1 - similarity) per quality step assumed before a second trial
};

/// Returns the quality to try after trials, in the order tried and each of a higher quality, all fell short
/// of raise.leastSimilarity: a step as large as the measured fall of dissimilarity per quality (the last two
/// trials', raise.slope after one) says is needed, at least raise.leastStep, at most raise.highest.
int nextQuality(const std::vector<QualityTrial>& trials, const QualityRaise& raise);

/// Returns the bytes encode gives at quality, or at the quality raise leads to: the first tried whose picture
/// (as decode reads it back) stays at least raise.leastSimilarity within content, else the highest tried. A
/// content too small to be measured, or a quality already at raise.highest, keeps the quality given
/// unmeasured. Throws what encode and decode throw.
std::string encodeFaithfully(const RgbImage& image, const PixelRect& content, int quality, const QualityRaise& raise,
                             const std::function<std::string(int quality)>& encode,
                             const std::function<RgbImage(const std::string& bytes)>& decode);

} // namespace veskaro
