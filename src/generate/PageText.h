#pragma once

#include "generate/PublishedPictures.h"
#include "model/AppletTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace veskaro {

/// Returns the slider name with every blank (code 32) removed: the placeholder's element id and the
/// base name of the style sheet.
std::string SliderId(std::string_view sliderName);

/// Returns a colour text as a style sheet writes it: "transparent" in any letter case as it is, any
/// other text behind "#".
std::string MarkColor(const std::string& colorText);

/// Returns a value as it goes into a double-quoted attribute: '"', '<' and '>' become entities and
/// everything else, "&" included, stays as typed so that entities a user wrote keep working.
std::string attributeText(std::string_view value);

/// Returns the lines of the slider's style sheet, its numbers written as decimal integers. Throws
/// VeskaroError when the slider size or the button offset is not a decimal integer.
std::vector<std::string> styleSheetLines(const TAppletData& data);

/// How the page offers the items' pictures to visitors beyond each <img>'s own src.
struct PictureMarkup {
    /// For each item, the files published for its picture (publishedPicturesOf); an item not listed, or
    /// listing one file, gets its <img> alone. A 2x copy of the <img> picture becomes its srcset, WebP
    /// files a <source> before it in a <picture>.
    std::vector<std::vector<PublishedPicture>> pictures;
    /// Gives every <img> the slider's size, the first item's a high fetch priority and every later one lazy
    /// loading and decoding apart from painting.
    bool lazyLoad = false;
};

/// Returns the lines of the slider page: the head that declares UTF-8 and the viewport and links every
/// style sheet in linkedFiles, the slider's markup for items with their pictures as markup offers them,
/// its four script variables and the two slider scripts. Numbers are written as decimal integers; throws
/// VeskaroError when the slider size or a timing is not one.
std::vector<std::string> pageLines(const TAppletData& data, const TItemArray& items,
                                   const TLinkedFileInfoArray& linkedFiles, const PictureMarkup& markup = {});

} // namespace veskaro
