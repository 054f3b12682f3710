#pragma once

#include <string>
#include <vector>

namespace veskaro {

class Places;
class TkvlAppletAgent;

/// What the publishing check found, one sentence each.
struct PublishingFindings {
    /// What stops publishing: exactly what publishing refuses, then the source pictures it cannot decode.
    std::vector<std::string> problems;
    /// The items whose slide would be published without its picture: their source is missing or cannot be
    /// read. Publishing goes on, but these count as problems too.
    std::vector<std::string> withoutPicture;
    /// What publishing goes through with but a visitor may miss: pictures that will be enlarged, picture
    /// names the project file should not hold, links left on the local root when uploading, items without a
    /// description or a link, and button colours with too little contrast.
    std::vector<std::string> advice;

    /// Returns the problems, the items without their picture, then the advice.
    std::vector<std::string> all() const;
};

/// Returns what would go wrong or look wrong if the project were published now into folder (ending in the
/// delimiter) under fileName, with the slider scripts of places, without writing anything.
PublishingFindings checkForPublishing(const TkvlAppletAgent& project, const Places& places, const std::string& folder,
                                      const std::string& fileName);

/// Returns the sentence that says that publishing cannot read the source picture of the item at index:
/// the item, its path as the project holds it, why, and what its slide shows once published into folder
/// (ending in the delimiter); empty text when the source can be read.
std::string missingSourceFinding(const TkvlAppletAgent& project, int index, const std::string& folder);

/// Returns the scheme ("javascript:", "data:" or "vbscript:") of a link that runs a script when clicked,
/// read as a browser reads the attribute (character references decoded, blanks and case ignored), or empty
/// text for any other link.
std::string scriptScheme(const std::string& link);

/// Returns the contrast ratio (1 to 21) of two colours given as six hexadecimal digits.
double contrastRatio(const std::string& first, const std::string& second);

} // namespace veskaro
