#include "imaging/FaithfulQuality.h"

#include "imaging/Similarity.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace veskaro {

int nextQuality(const std::vector<QualityTrial>& trials, const QualityRaise& raise) {
    const auto dissimilarity = [](double similarity) { return std::log(std::max(1 - similarity, 1e-6)); };
    const QualityTrial& last = trials.back();
    double slope = raise.slope;
    if (trials.size() >= 2) {
        const QualityTrial& before = trials[trials.size() - 2];
        // Bounded below, so that a trial that did not help still moves the quality on.
        slope = std::max(raise.slope / 3, (dissimilarity(before.similarity) - dissimilarity(last.similarity)) /
                                              (last.quality - before.quality));
    }
    const double needed = (dissimilarity(last.similarity) - dissimilarity(raise.leastSimilarity)) / slope;
    const int step = std::max(raise.leastStep, static_cast<int>(std::ceil(needed)));
    return std::min(raise.highest, last.quality + step);
}

std::string encodeFaithfully(const RgbImage& image, const PixelRect& content, int quality, const QualityRaise& raise,
                             const std::function<std::string(int quality)>& encode,
                             const std::function<RgbImage(const std::string& bytes)>& decode) {
    std::vector<QualityTrial> trials;
    for (;;) {
        std::string bytes = encode(quality);
        if (quality >= raise.highest || trials.size() + 1 >= static_cast<std::size_t>(raise.trials))
            return bytes;
        const std::optional<double> similarity = lumaSimilarity(decode(bytes), image, content);
        if (!similarity || *similarity >= raise.leastSimilarity)
            return bytes;
        trials.push_back({quality, *similarity});
        quality = nextQuality(trials, raise);
    }
}

} // namespace veskaro
