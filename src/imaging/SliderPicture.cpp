#include "imaging/SliderPicture.h"

#include "imaging/FileSource.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampler.h"
#include "platform/MemoryUse.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <span>

namespace veskaro {

namespace {

// The filter needs no more than twice the target's pixels in each direction to look its best, so larger
// sources are first reduced cheaply: JPEG in its decoder, other formats by averaging whole blocks.
constexpr int kMargin = 2;

RgbImage reducedForTarget(RgbImage image, const PixelRect& target) {
    if (target.width() <= 0 || target.height() <= 0)
        return image;
    const int factor = std::min(image.width / (kMargin * target.width()), image.height / (kMargin * target.height()));
    return factor >= 2 ? shrinkByBox(image, factor) : image;
}

LoadOptions sliderLoadOptions(int sliderWidth, int sliderHeight) {
    LoadOptions options;
    options.minimumSize = [=](int width, int height) {
        const PixelRect target = computeSliderGeometry(width, height, sliderWidth, sliderHeight).target;
        return PictureSize{kMargin * target.width(), kMargin * target.height()};
    };
    return options;
}

// The canvas, the resampler's rows, the encoder's output and the palette tables.
std::uint64_t workBytes(int sliderWidth, int sliderHeight) {
    return 4 * std::uint64_t(sliderWidth) * std::uint64_t(sliderHeight) * 3 + (2u << 20);
}

} // namespace

std::uint64_t preparationMemory(const std::string& sourcePath, int sliderWidth, int sliderHeight) {
    const std::uint64_t work = workBytes(sliderWidth, sliderHeight);
    try {
        // The content decides the decoder, as it does when the picture is loaded.
        FileSource source(sourcePath);
        std::array<std::uint8_t, 12> head{};
        const std::size_t count = source.read(head.data(), head.size());
        const PictureFormatInfo* format = formatOfContent(std::span(head.data(), count));
        if (!format || !source.rewind())
            return work;
        return work + format->decodeBytes(source, sourcePath, sliderLoadOptions(sliderWidth, sliderHeight));
    } catch (const std::exception&) {
        // Whatever cannot be read here is refused by the decoder, with its message, before it takes memory.
        return work;
    }
}

SliderCanvas composeSliderCanvas(const std::function<LoadedPicture(const LoadOptions&)>& load, int sliderWidth,
                                 int sliderHeight) {
    LoadedPicture picture = load(sliderLoadOptions(sliderWidth, sliderHeight));
    SliderCanvas slider{picture.format,
                        computeSliderGeometry(picture.sourceWidth, picture.sourceHeight, sliderWidth, sliderHeight),
                        RgbImage(sliderWidth, sliderHeight, 255)};
    const RgbImage source = formatInfo(picture.format).reducesInDecoder
                                ? std::move(picture.image)
                                : reducedForTarget(std::move(picture.image), slider.geometry.target);
    drawStretched(source, slider.canvas, slider.geometry.target);
    return slider;
}

std::string encodeSliderCanvas(const SliderCanvas& slider, const std::string& name, const EncoderSettings& settings) {
    return formatInfo(slider.format).encode(slider.canvas, slider.geometry.target, settings, name);
}

EncodedSliderPicture encodeSliderPicture(const std::string& sourcePath, int sliderWidth, int sliderHeight,
                                         const std::function<void(std::uint64_t)>& memoryNeeded) {
    mapLargeBlocksApart();
    const std::uint64_t work = workBytes(sliderWidth, sliderHeight);
    const SliderCanvas slider = composeSliderCanvas(
        [&](LoadOptions options) {
            // In the units of preparationMemory, which the budget was charged with.
            if (memoryNeeded)
                options.memoryNeeded = [&](std::uint64_t bytes) { memoryNeeded(work + bytes); };
            return loadPicture(sourcePath, options);
        },
        sliderWidth, sliderHeight);
    // Encoders name the file in their messages; the picture is not written yet, so its source stands in.
    return {slider.format, slider.geometry.scaledWidth, slider.geometry.scaledHeight,
            encodeSliderCanvas(slider, sourcePath)};
}

PreparedPicture writeSliderPicture(const EncodedSliderPicture& picture, const std::string& targetBase) {
    const std::string path = targetBase + preparedExtension(picture.format);
    // A work file: a publish copies it on into the Preview folder and from there, waiting for the disk only
    // then, over the user's file.
    writeFileAtomically(path, picture.bytes, Durability::WorkFile);
    return {picture.format, path, picture.scaledWidth, picture.scaledHeight};
}

PreparedPicture prepareSliderPicture(const std::string& sourcePath, const std::string& targetBase, int sliderWidth,
                                     int sliderHeight, const std::function<void(std::uint64_t)>& memoryNeeded) {
    return writeSliderPicture(encodeSliderPicture(sourcePath, sliderWidth, sliderHeight, memoryNeeded), targetBase);
}

} // namespace veskaro
