#include "generate/PageText.h"

#include "model/ColorText.h"
#include "model/MakerInfo.h"
#include "model/ValueText.h"
#include "platform/VeskaroError.h"

#include <algorithm>

namespace veskaro {

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kProductLine = "Veskaro 1.0";

void addRule(Lines& lines, const std::string& selector, std::initializer_list<std::string> declarations) {
    lines.push_back(selector + "{");
    lines.insert(lines.end(), declarations);
    lines.push_back("}");
    lines.emplace_back();
}

std::string colorPair(const std::string& text, const std::string& background) {
    return "COLOR: " + MarkColor(text) + "; BACKGROUND-COLOR: " + MarkColor(background) + ";";
}

// A number goes into the page and its style sheet as the integer it stands for, so that a value held as
// "010" or "+7" reaches the slider's script as 10 or 7 and never as an octal or signed literal.
std::string decimal(const std::string& text) {
    return std::to_string(strToInt(text));
}

// The sum is taken in 64 bits: two valid integers near the limits must not overflow.
std::string groupTop(const TAppletData& data) {
    const long long top =
        static_cast<long long>(strToInt(data.sliderHeight)) - 15 + strToInt(data.navBtnVerticalOffset);
    return std::to_string(top);
}

std::string comment(const std::string& text) {
    return "<!-- " + text + " -->";
}

std::string attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + attributeText(value) + "\"";
}

// The srcset of the pictures taken, each with its density; the slider's own size needs none.
template <typename Takes> std::string sourceSet(const std::vector<PublishedPicture>& pictures, Takes takes) {
    std::string set;
    for (const PublishedPicture& picture : pictures) {
        if (!takes(picture))
            continue;
        set += (set.empty() ? "" : ", ") + picture.name;
        if (picture.scale > 1)
            set += " " + std::to_string(picture.scale) + "x";
    }
    return set;
}

/// How one item's picture is offered: its files, and where it stands in the page.
struct ItemPicture {
    const std::vector<PublishedPicture>* files; // none: the <img> alone
    bool first;
    bool lazyLoad;
    const TAppletData* data;
};

std::string imageTag(const TItemData& item, const ItemPicture& offer) {
    const std::string toolTip = attributeText(item.IToolTip);
    std::string tag = "<img src=\"" + attributeText(pictureFileOf(item)) + "\"";
    const auto denser = [](const PublishedPicture& picture) {
        return picture.format != PictureFormat::Webp && picture.scale > 1;
    };
    if (const std::string set = offer.files ? sourceSet(*offer.files, denser) : ""; !set.empty())
        tag += attribute("srcset", set);
    if (offer.lazyLoad) {
        tag += attribute("width", decimal(offer.data->sliderWidth)) +
               attribute("height", decimal(offer.data->sliderHeight));
        tag += offer.first ? attribute("fetchpriority", "high")
                           : attribute("loading", "lazy") + attribute("decoding", "async");
    }
    tag += " title=\"" + toolTip + "\" alt=\"" + toolTip + "\" />";
    const auto webp = [](const PublishedPicture& picture) { return picture.format == PictureFormat::Webp; };
    if (const std::string set = offer.files ? sourceSet(*offer.files, webp) : ""; !set.empty())
        return "<picture><source type=\"image/webp\"" + attribute("srcset", set) + ">" + tag + "</picture>";
    return tag;
}

void addImageLink(Lines& lines, const TItemData& item, const ItemPicture& offer) {
    lines.push_back("<a href=\"" + attributeText(item.ILink) + "\" target=\"" + attributeText(item.ITarget) + "\">");
    lines.push_back(imageTag(item, offer));
    lines.emplace_back("</a>");
}

void addHead(Lines& lines, const TLinkedFileInfoArray& linkedFiles) {
    lines.insert(lines.end(), {
                                  "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
                                  "\"http://www.w3.org/TR/html4/loose.dtd\">",
                                  "<!-- saved from url=(0013)about:internet -->",
                                  "<html lang=\"en\">",
                                  "<head>",
                                  // The project's text is UTF-8; without the declaration browsers guess
                                  // and garble every letter beyond ASCII. A phone lays out a page without
                                  // a viewport 980 pixels wide, and the slider shrinks to a corner of it.
                                  "<meta charset=\"utf-8\">",
                                  "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">",
                                  "<title>Preview</title>",
                                  "",
                                  comment(kProductLine),
                                  comment(kMakerRightsNotice),
                                  "<!-- Please insert following codes into <head> section of Web pages. -->",
                                  "<!-- BEGIN -->",
                              });
    for (const auto& file : linkedFiles) {
        if (equalIgnoringAsciiCase(file.FileType, "css"))
            lines.push_back("<LINK href=\"./" + attributeText(file.FileName) +
                            "\" type=\"text/css\" rel=\"stylesheet\" />");
    }
    lines.insert(lines.end(), {"<!-- END -->", "", "</head>", ""});
}

void addSlider(Lines& lines, const TAppletData& data, const TItemArray& items, const PictureMarkup& markup) {
    const std::size_t n = items.size();
    const auto offer = [&](std::size_t index) {
        const bool listed = index < markup.pictures.size() && markup.pictures[index].size() > 1;
        return ItemPicture{listed ? &markup.pictures[index] : nullptr, index == 0, markup.lazyLoad, &data};
    };
    lines.insert(lines.end(), {
                                  "<div class=\"position_div_as_you_wish\" style=\"display:block;width:" +
                                      decimal(data.sliderWidth) + "px;height:" + decimal(data.sliderHeight) + "px;\">",
                                  "<div id=\"" + attributeText(SliderId(data.pSliderName)) +
                                      "\" class=\"jsnavbtnslider_placeholder\">",
                                  "<div id=\"jsnavbtnslider_firstimage_1\" class=\"jsnavbtnslider_image\">",
                              });
    if (n >= 1)
        addImageLink(lines, items.front(), offer(0));
    lines.insert(lines.end(), {"</div>", "<div class=\"jsnavbtnslider_hidden\">"});
    for (std::size_t k = 1; k <= n; ++k) {
        lines.push_back("<div id=\"jsnavbtnslider_image_" + std::to_string(k) + "\" class=\"jsnavbtnslider_image\">");
        addImageLink(lines, items[k - 1], offer(k - 1));
        lines.emplace_back("</div>");
    }
    lines.insert(lines.end(), {"</div>", "<div class=\"jsnavbtnslider_navbtngrp\">"});
    // Descending, because the buttons float right: they read 1 to n from left to right.
    for (std::size_t k = n; k >= 1; --k) {
        const std::string number = std::to_string(k);
        lines.insert(lines.end(), {"<div class=\"jsnavbtnslider_navbtn_outer\">",
                                   "<div id=\"jsnavbtnslider_navbtn_" + number +
                                       "\" class=\"jsnavbtnslider_navbtn_inner\">&nbsp;&nbsp;&nbsp;" + number +
                                       "&nbsp;&nbsp;&nbsp;</div>",
                                   "</div>"});
    }
    lines.insert(lines.end(), {"</div>", "</div>", "</div>"});
    lines.push_back("<script>var BbAl=" + std::to_string(n) + ",bvAl=" + decimal(data.transDurAuto) +
                    ",bxAl=" + decimal(data.transDurManual) + ",bwAl=" + decimal(data.switchImageDelay) + ";</script>");
}

} // namespace

std::string SliderId(std::string_view sliderName) {
    std::string id(sliderName);
    std::erase(id, ' ');
    return id;
}

std::string MarkColor(const std::string& colorText) {
    return isTransparentColor(colorText) ? colorText : "#" + colorText;
}

std::string attributeText(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (const char c : value) {
        switch (c) {
        case '"':
            text += "&quot;";
            break;
        case '<':
            text += "&lt;";
            break;
        case '>':
            text += "&gt;";
            break;
        default:
            text += c;
        }
    }
    return text;
}

std::vector<std::string> styleSheetLines(const TAppletData& data) {
    Lines lines{"/*", kProductLine, kMakerRightsNotice, kProductPageAddress, kSupportPageAddress, "*/"};
    const std::string width = decimal(data.sliderWidth);
    const std::string height = decimal(data.sliderHeight);
    addRule(lines, "DIV.jsnavbtnslider_placeholder",
            {"POSITION: relative; FLOAT: left; OVERFLOW: hidden; PADDING: 0px; MARGIN: 0px; CURSOR: pointer;WIDTH:" +
                 width + "px;",
             "HEIGHT:" + height + "px;"});
    addRule(lines, "DIV.jsnavbtnslider_hidden",
            {"POSITION: absolute; OVERFLOW: hidden; TOP: 9000px; WIDTH: " + width + "px; HEIGHT: " + height + "px;"});
    addRule(lines, "DIV.jsnavbtnslider_image", {"POSITION: absolute; LEFT: 0px; TOP: 0px; "});
    addRule(lines, "DIV.jsnavbtnslider_image IMG", {"BORDER: 0px; PADDING: 0px; MARGIN: 0px; "});
    addRule(lines, "DIV.jsnavbtnslider_navbtngrp",
            {"POSITION: absolute; PADDING: 0px; MARGIN: 0px; CURSOR: pointer; WIDTH: 100%; HEIGHT: 18px; TOP: " +
             groupTop(data) + "px;"});
    addRule(lines, "DIV.jsnavbtnslider_navbtn_outer",
            {"POSITION: relative; FLOAT: right; OVERFLOW: hidden; MARGIN: 0px; CURSOR: pointer; WIDTH: 30px; "
             "HEIGHT: 18px;"});
    addRule(lines, "DIV.jsnavbtnslider_navbtn_inner",
            {"POSITION: relative; CURSOR: pointer; FONT-FAMILY: arial; FONT-SIZE: 11px; TEXT-ALIGN: center; "
             "BORDER:black solid 1px; " +
             colorPair(data.navBtnTextColorNormal, data.navBtnBgColorNormal)});
    addRule(lines, "DIV.jsnavbtnslider_navbtn_inner:hover",
            {colorPair(data.navBtnTextColorHover, data.navBtnBgColorHover)});
    addRule(lines, "DIV.jsnavbtnslider_navbtn_active",
            {colorPair(data.navBtnTextColorActive, data.navBtnBgColorActive)});
    addRule(lines, "DIV.jsnavbtnslider_navbtn_active:hover",
            {colorPair(data.navBtnTextColorActiveHover, data.navBtnBgColorActiveHover)});
    lines.emplace_back();
    return lines;
}

std::vector<std::string> pageLines(const TAppletData& data, const TItemArray& items,
                                   const TLinkedFileInfoArray& linkedFiles, const PictureMarkup& markup) {
    Lines lines;
    addHead(lines, linkedFiles);
    lines.insert(lines.end(), {
                                  "<body>",
                                  "",
                                  "<!-- Please insert the following codes into body section of the html file where "
                                  "you want to include the script! -->",
                                  "<!-- START COPYING FROM HERE -->",
                                  "",
                                  comment(kProductLine),
                                  comment(kMakerRightsNotice),
                                  comment(kProductPageAddress),
                                  comment(kSupportPageAddress),
                              });
    addSlider(lines, data, items, markup);
    lines.insert(lines.end(), {
                                  "<script type=\"text/javascript\" src=\"jslib.js\"></script>",
                                  "<script type=\"text/javascript\" src=\"slidervsk.js\"></script>",
                                  "",
                                  "<!-- END OF COPYING -->",
                                  "",
                                  "</body>",
                                  "</html>",
                              });
    return lines;
}

} // namespace veskaro
