#include "generate/PublishedPictures.h"

#include "generate/Publisher.h"
#include "imaging/PictureLoader.h"
#include "imaging/SliderGeometry.h"
#include "model/ProjectOptions.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/VeskaroError.h"

#include <algorithm>

namespace veskaro {

namespace {

// The 2x JPEG's quality stays as far below the 1x one as the measured figures lie apart: what a denser
// picture hides at 90 it hides at any quality.
int jpegQuality2x(int quality) {
    return std::max(kLowestJpegQuality, quality - (kJpegQuality - kJpegQuality2x));
}

EncoderSettings settingsFor(PictureFormat format, int scale, PictureFormat source, const PictureChoices& choices) {
    EncoderSettings settings;
    settings.jpegQuality = scale > 1 ? jpegQuality2x(choices.jpegQuality) : choices.jpegQuality;
    if (scale > 1)
        settings.jpegHighestQuality = std::min(kJpegHighestQuality2x, choices.jpegQuality + kJpegMostRaise2x);
    settings.webpQuality = scale > 1 ? kWebpQuality2x : kWebpQuality1x;
    settings.gifDiffusion = scale > 1 ? kGifDiffusion2x : kGifDiffusion;
    settings.webpMayBeLossless = format == PictureFormat::Webp && source == PictureFormat::Gif;
    return settings;
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

bool getsHighDensity(const std::string& sourcePath, SliderSize slider) {
    try {
        return highDensityShortfall(pictureSizeOf(sourcePath), slider).empty();
    } catch (const VeskaroError&) {
        // A source that cannot be read stops its preparation with its own message.
        return false;
    }
}

// The copies the choices give a picture in format fallback: its 2x copy where dense, its WebP, and the 2x WebP
// where dense; "slider<k>@2x.webp" for "slider<k>.jpg".
std::vector<PublishedPicture> copiesOf(const std::string& picture, PictureFormat fallback, bool webp, bool dense) {
    const std::string stem = picture.substr(0, picture.rfind('.'));
    std::vector<PublishedPicture> copies;
    if (dense)
        copies.push_back({stem + "@2x" + preparedExtension(fallback), fallback, 2, {}});
    if (webp) {
        copies.push_back({stem + ".webp", PictureFormat::Webp, 1, {}});
        if (dense)
            copies.push_back({stem + "@2x.webp", PictureFormat::Webp, 2, {}});
    }
    return copies;
}

// A picture kept from an earlier publish is published as it is, whatever format it holds.
PublishedPicture keptPicture(const std::string& name) {
    PictureFormat format = PictureFormat::Jpeg;
    try {
        format = formatFromExtension(name);
    } catch (const VeskaroError&) {
        // Its format matters to no one: it is neither prepared nor offered as WebP.
    }
    return {name, format, 1, {}};
}

} // namespace

std::optional<PictureChoices> pictureChoicesOf(const ProjectOptions& options) {
    const std::optional<int> quality = wholeNumberOf(options.value("Pictures.JpegQuality"));
    if (!quality || *quality < kLowestJpegQuality || *quality > kHighestJpegQuality)
        return std::nullopt;
    return PictureChoices{options.isOn("Pictures.HighDensity"), options.isOn("Pictures.WebP"),
                          options.isOn("Pictures.LazyLoad"), *quality};
}

std::string jpegQualityProblem(const ProjectOptions& options) {
    if (pictureChoicesOf(options))
        return {};
    return "The quality of JPEG pictures " + options.value("Pictures.JpegQuality") + " cannot be used: it must be a " +
           "whole number from " + std::to_string(kLowestJpegQuality) + " to " + std::to_string(kHighestJpegQuality) +
           ".";
}

PictureFormat fallbackFormat(PictureFormat source, const PictureChoices& choices) {
    return choices.webp && source == PictureFormat::Bmp ? PictureFormat::Png : source;
}

std::string highDensityShortfall(PictureSize source, SliderSize slider) {
    if (source.width <= 0 || source.height <= 0)
        return "its file does not say its size before it is decoded";
    const SliderGeometry fit = computeSliderGeometry(source.width, source.height, slider.width, slider.height);
    if (source.width >= 2 * fit.scaledWidth && source.height >= 2 * fit.scaledHeight)
        return {};
    return "the picture is " + sizeText(source.width, source.height) + " pixels; a sharp copy for high-density " +
           "screens needs at least " + sizeText(2 * fit.scaledWidth, 2 * fit.scaledHeight);
}

std::vector<PublishedPicture> picturesFor(const std::string& picture, const std::string& sourcePath,
                                          const PictureChoices& choices, SliderSize slider) {
    const PictureFormat source = formatFromExtension(sourcePath);
    const PictureFormat fallback = fallbackFormat(source, choices);
    const bool dense = choices.highDensity && getsHighDensity(sourcePath, slider);
    std::vector<PublishedPicture> pictures;
    const auto add = [&](const std::string& name, PictureFormat format, int scale) {
        pictures.push_back({name, format, scale, settingsFor(format, scale, source, choices)});
    };
    add(picture, fallback, 1);
    for (const PublishedPicture& copy : copiesOf(picture, fallback, choices.webp, dense))
        add(copy.name, copy.format, copy.scale);
    return pictures;
}

std::vector<std::string> possibleCopiesOf(const std::string& picture, const PictureChoices& choices) {
    if (picture.empty())
        return {};
    std::vector<std::string> names;
    for (const PublishedPicture& copy :
         copiesOf(picture, keptPicture(picture).format, choices.webp, choices.highDensity))
        names.push_back(copy.name);
    return names;
}

std::vector<PublishedPicture> publishedPicturesOf(const TkvlAppletAgent& project, int index) {
    const std::string picture = pictureFileOf(project.GetItem(index));
    if (picture.empty())
        return {};
    const std::string source = sourcePictureOf(project, index);
    const std::optional<PictureChoices> choices = pictureChoicesOf(project.options());
    const std::optional<SliderSize> slider = sliderSizeOf(project.GetAppletData());
    if (!source.empty() && choices && slider) {
        try {
            return picturesFor(picture, source, *choices, *slider);
        } catch (const VeskaroError&) {
            // An extension no format has stops the preparation; the picture named stays the only one.
        }
    }
    return {keptPicture(picture)};
}

} // namespace veskaro
