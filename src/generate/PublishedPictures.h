#pragma once

#include "imaging/PictureFormats.h"
#include "imaging/SliderPicture.h"
#include "model/ParameterRules.h"

#include <optional>
#include <string>
#include <vector>

namespace veskaro {

class ProjectOptions;
class TkvlAppletAgent;

/// What a project's options ask of the pictures it publishes for its visitors.
struct PictureChoices {
    bool highDensity = false; // a picture at twice the slider's size where the source has the pixels
    bool webp = false;        // a WebP copy of every picture, the others kept as the fallback
    bool lazyLoad = false;    // later pictures fetched when they are needed
    int jpegQuality = kJpegQuality;

    bool operator==(const PictureChoices&) const = default;
};

/// The lowest and highest quality of the JPEG pictures.
inline constexpr int kLowestJpegQuality = 1;
inline constexpr int kHighestJpegQuality = 100;

/// Returns the choices the options hold, or nothing when the JPEG quality is no whole number from
/// kLowestJpegQuality to kHighestJpegQuality.
std::optional<PictureChoices> pictureChoicesOf(const ProjectOptions& options);
/// Returns the sentence that says the options' JPEG quality cannot be used; empty text when it can.
std::string jpegQualityProblem(const ProjectOptions& options);

/// One file published for an item's picture, by its bare name: scale 1 for the slider's size, 2 for twice as
/// many pixels each way, for high-density screens.
using PublishedPicture = PictureOutput;

/// Returns the format of the picture an item's <img> shows for a source in format: the source's own, but a
/// PNG for a bitmap once WebP is on, since a browser without WebP should not be sent a bitmap.
PictureFormat fallbackFormat(PictureFormat source, const PictureChoices& choices);

/// Returns why a source of that size gets no picture at twice the slider's size (it needs at least twice
/// the slider picture's pixels in each direction), or empty text when it gets one. A width of 0 stands for
/// a size the file's header does not tell.
std::string highDensityShortfall(PictureSize source, SliderSize slider);

/// Returns the files published for a picture named picture (the item's <img> picture, "slider<k>.<ext>")
/// whose source is sourcePath: that picture first, then as the choices ask its 2x copy
/// "slider<k>@2x.<ext>", its WebP "slider<k>.webp" and the 2x WebP "slider<k>@2x.webp"; each with the
/// encoder settings it is prepared with. A source whose size cannot be read gets no 2x copies.
std::vector<PublishedPicture> picturesFor(const std::string& picture, const std::string& sourcePath,
                                          const PictureChoices& choices, SliderSize slider);

/// Returns the names of every copy the choices can give a picture named picture ("slider<k>.<ext>"): its 2x
/// copy, its WebP and its 2x WebP as far as the choices ask for them, whatever its source allows now.
std::vector<std::string> possibleCopiesOf(const std::string& picture, const PictureChoices& choices);

/// Returns the files published for the picture of the item at index, as the project holds its name: only
/// that picture for an item without a source to prepare, and for a project whose options or slider size
/// cannot be used.
std::vector<PublishedPicture> publishedPicturesOf(const TkvlAppletAgent& project, int index);

} // namespace veskaro
