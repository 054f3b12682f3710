#pragma once

#include <string>
#include <vector>

namespace veskaro {

class TkvlAppletAgent;

/// Returns, one sentence each, what would go wrong or look wrong if the project were published now:
/// unusable source pictures, pictures that will be enlarged, values a project file cannot hold, sizes
/// and timings that are not numbers, missing slider scripts in dataFolder, links left on the local
/// root when uploading, items without a description or without a link, and button colours with too
/// little contrast.
std::vector<std::string> checkForPublishing(const TkvlAppletAgent& project, const std::string& dataFolder);

/// Returns the contrast ratio (1 to 21) of two colours given as six hexadecimal digits.
double contrastRatio(const std::string& first, const std::string& second);

} // namespace veskaro
