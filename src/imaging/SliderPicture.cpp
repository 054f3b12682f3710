#include "imaging/SliderPicture.h"

#include "imaging/FileSource.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampler.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>

namespace veskaro {

namespace {

// The filter needs no more than twice the target's pixels in each direction to look its best, so larger
// sources are first reduced cheaply: JPEG in its decoder, other formats by averaging whole blocks.
constexpr int kMargin = 2;

int reductionFactor(const RgbImage& image, const PixelRect& target) {
    if (target.width() <= 0 || target.height() <= 0)
        return 1;
    return std::min(image.width / (kMargin * target.width()), image.height / (kMargin * target.height()));
}

// Draws the decoded picture into target; a picture the decoder did not reduce is first reduced cheaply.
void drawFitted(const RgbImage& decoded, bool reducedInDecoder, RgbImage& canvas, const PixelRect& target) {
    const int factor = reducedInDecoder ? 1 : reductionFactor(decoded, target);
    if (factor >= 2)
        drawStretched(shrinkByBox(decoded, factor), canvas, target);
    else
        drawStretched(decoded, canvas, target);
}

LoadOptions sliderLoadOptions(int sliderWidth, int sliderHeight, int scale = 1) {
    LoadOptions options;
    options.minimumSize = [=](int width, int height) {
        const PixelRect target = computeSliderGeometry(width, height, sliderWidth, sliderHeight).target;
        return PictureSize{kMargin * scale * target.width(), kMargin * scale * target.height()};
    };
    return options;
}

// The canvas, the resampler's rows, the encoder's output and the palette tables; with a larger scale its
// canvas too.
std::uint64_t workBytes(int sliderWidth, int sliderHeight, int largestScale = 1) {
    const auto canvas = [&](int scale) {
        return 4 * std::uint64_t(sliderWidth * scale) * std::uint64_t(sliderHeight * scale) * 3;
    };
    return canvas(1) + (largestScale > 1 ? canvas(largestScale) : 0) + (2u << 20);
}

LoadedPicture loadForPreparation(const std::string& sourcePath, LoadOptions options, std::uint64_t work,
                                 const std::function<void(std::uint64_t)>& memoryNeeded) {
    // In the units of preparationMemory, which the budget was charged with.
    if (memoryNeeded)
        options.memoryNeeded = [&](std::uint64_t bytes) { memoryNeeded(work + bytes); };
    return loadPicture(sourcePath, options);
}

// A canvas and where the source picture lies on it.
struct FittedCanvas {
    SliderGeometry fit; // at the slider's own size
    RgbImage canvas;
};

// Decodes the source once, at the size the largest scale needs, and draws it onto a canvas of that scale.
FittedCanvas largestCanvas(const std::string& sourcePath, int sliderWidth, int sliderHeight, int scale,
                           std::uint64_t work, const std::function<void(std::uint64_t)>& memoryNeeded) {
    const LoadedPicture picture =
        loadForPreparation(sourcePath, sliderLoadOptions(sliderWidth, sliderHeight, scale), work, memoryNeeded);
    FittedCanvas drawn{computeSliderGeometry(picture.sourceWidth, picture.sourceHeight, sliderWidth, sliderHeight),
                       RgbImage(sliderWidth * scale, sliderHeight * scale, 255)};
    drawFitted(picture.image, formatInfo(picture.format).reducesInDecoder, drawn.canvas,
               scaledGeometry(drawn.fit, scale).target);
    return drawn;
}

RgbImage cropped(const RgbImage& image, const PixelRect& rect) {
    RgbImage part(rect.width(), rect.height());
    for (int y = 0; y < part.height; ++y)
        std::copy_n(image.row(rect.top + y) + 3 * static_cast<std::size_t>(rect.left), part.rowBytes(), part.row(y));
    return part;
}

} // namespace

std::uint64_t preparationMemory(const std::string& sourcePath, int sliderWidth, int sliderHeight, int largestScale) {
    const std::uint64_t work = workBytes(sliderWidth, sliderHeight, largestScale);
    try {
        // The content decides the decoder, as it does when the picture is loaded.
        FileSource source(sourcePath);
        std::array<std::uint8_t, 12> head{};
        const std::size_t count = source.read(head.data(), head.size());
        const PictureFormatInfo* format = formatOfContent(std::span(head.data(), count));
        if (!format || !source.rewind())
            return work;
        return work +
               format->decodeBytes(source, sourcePath, sliderLoadOptions(sliderWidth, sliderHeight, largestScale));
    } catch (const std::exception&) {
        // Whatever cannot be read here is refused by the decoder, with its message, before it takes memory.
        return work;
    }
}

SliderCanvas composeSliderCanvas(const std::function<LoadedPicture(const LoadOptions&)>& load, int sliderWidth,
                                 int sliderHeight) {
    const LoadedPicture picture = load(sliderLoadOptions(sliderWidth, sliderHeight));
    SliderCanvas slider{picture.format,
                        computeSliderGeometry(picture.sourceWidth, picture.sourceHeight, sliderWidth, sliderHeight),
                        RgbImage(sliderWidth, sliderHeight, 255)};
    drawFitted(picture.image, formatInfo(picture.format).reducesInDecoder, slider.canvas, slider.geometry.target);
    return slider;
}

SliderGeometry scaledGeometry(const SliderGeometry& geometry, int scale) {
    const PixelRect& target = geometry.target;
    return {geometry.scaledWidth * scale,
            geometry.scaledHeight * scale,
            {target.left * scale, target.top * scale, target.right * scale, target.bottom * scale}};
}

std::string encodeSliderCanvas(const SliderCanvas& slider, const std::string& name, const EncoderSettings& settings) {
    return formatInfo(slider.format).encode(slider.canvas, slider.geometry.target, settings, name);
}

int largestScale(const std::vector<PictureOutput>& outputs) {
    int largest = 1;
    for (const PictureOutput& output : outputs)
        largest = std::max(largest, output.scale);
    return largest;
}

EncodedPictures encodeSliderPictures(const std::string& sourcePath, const std::vector<PictureOutput>& outputs,
                                     int sliderWidth, int sliderHeight,
                                     const std::function<void(std::uint64_t)>& memoryNeeded,
                                     const std::function<void(std::uint64_t)>& memoryKept) {
    const int largest = largestScale(outputs);
    const std::uint64_t work = workBytes(sliderWidth, sliderHeight, largest);
    const FittedCanvas drawn = largestCanvas(sourcePath, sliderWidth, sliderHeight, largest, work, memoryNeeded);
    // The decoded picture, the largest block of the preparation, is gone before the encoders run.
    if (memoryKept)
        memoryKept(work);
    EncodedPictures encoded{drawn.fit, std::vector<std::string>(outputs.size())};
    std::vector<std::optional<RgbImage>> canvases(static_cast<std::size_t>(largest));
    for (std::size_t k = 0; k < outputs.size(); ++k) {
        const PictureOutput& output = outputs[k];
        const PixelRect target = scaledGeometry(encoded.fit, output.scale).target;
        std::optional<RgbImage>& smaller = canvases[static_cast<std::size_t>(output.scale - 1)];
        if (output.scale < largest && !smaller) {
            // A smaller canvas is drawn from the largest one's picture, the source already reduced by the
            // filter: far less to filter than the decode, and as close to the source (SSIM, bench/README).
            smaller.emplace(sliderWidth * output.scale, sliderHeight * output.scale, 255);
            drawStretched(cropped(drawn.canvas, scaledGeometry(encoded.fit, largest).target), *smaller, target);
        }
        const RgbImage& canvas = output.scale < largest ? *smaller : drawn.canvas;
        encoded.bytes[k] = formatInfo(output.format).encode(canvas, target, output.settings, output.name);
    }
    return encoded;
}

} // namespace veskaro
