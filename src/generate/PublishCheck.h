#pragma once

#include <string>
#include <vector>

namespace veskaro {

class Places;
class TkvlAppletAgent;

/// What the publishing check found, one sentence each.
struct PublishingFindings {
    /// What stops publishing: exactly what publishing refuses, then the source pictures it cannot read.
    std::vector<std::string> problems;
    /// What publishing goes through with but a visitor may miss: missing source pictures, pictures that
    /// will be enlarged, picture names the project file should not hold, links left on the local root when
    /// uploading, items without a description, and button colours with too little contrast.
    std::vector<std::string> advice;

    /// Returns the problems, then the advice.
    std::vector<std::string> all() const;
};

/// Returns what would go wrong or look wrong if the project were published now into folder (ending in the
/// delimiter) under fileName, with the slider scripts of places, without writing anything.
PublishingFindings checkForPublishing(const TkvlAppletAgent& project, const Places& places, const std::string& folder,
                                      const std::string& fileName);

/// Returns the contrast ratio (1 to 21) of two colours given as six hexadecimal digits.
double contrastRatio(const std::string& first, const std::string& second);

} // namespace veskaro
