#include "imaging/SliderPicture.h"

#include "imaging/BmpCodec.h"
#include "imaging/DecodeLimits.h"
#include "imaging/FileSource.h"
#include "imaging/GifCodec.h"
#include "imaging/GifEstimate.h"
#include "imaging/JpegCodec.h"
#include "imaging/LittleEndian.h"
#include "imaging/PaletteQuantizer.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampler.h"
#include "platform/MemoryUse.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <cstring>

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

// The bytes a BMP decodes into, from the size its header declares: the RGB pixels and a byte per pixel
// beside them (the alpha), the reduced copy included.
std::uint64_t bmpDecodeBytes(const std::array<std::uint8_t, 26>& head) {
    std::uint64_t width = 0, height = 0;
    if (head[0] == 'B' && head[1] == 'M') {
        const bool core = readLe32(&head[14]) == 12;
        width = core ? readLe16(&head[18]) : readLe32(&head[18]);
        const auto rows = static_cast<std::int32_t>(core ? readLe16(&head[20]) : readLe32(&head[22]));
        height = static_cast<std::uint64_t>(rows < 0 ? -static_cast<std::int64_t>(rows) : rows);
    }
    // A size the decoder refuses before it takes memory costs nothing.
    return width > kMaxPictureSide || height > kMaxPictureSide ? 0 : width * height * 4;
}

} // namespace

std::uint64_t preparationMemory(const std::string& sourcePath, int sliderWidth, int sliderHeight) {
    const std::uint64_t work = workBytes(sliderWidth, sliderHeight);
    try {
        // The content decides the decoder, as it does when the picture is loaded.
        FileSource source(sourcePath);
        std::array<std::uint8_t, 26> head{};
        if (source.read(head.data(), head.size()) != head.size() || !source.rewind())
            return work;
        // A GIF's screen says little: its images may be far larger, and a screen without a size takes theirs.
        if (std::memcmp(head.data(), "GIF", 3) == 0)
            return work + gifDecodeBytes(source);
        if (head[0] != 0xFF || head[1] != 0xD8)
            return work + bmpDecodeBytes(head);
        const JpegDecodeCost cost = jpegDecodeCost(source, sourcePath, sliderLoadOptions(sliderWidth, sliderHeight));
        return work + cost.pixelBytes + cost.coefficientBytes;
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
    const RgbImage source = picture.format == PictureFormat::Jpeg
                                ? std::move(picture.image)
                                : reducedForTarget(std::move(picture.image), slider.geometry.target);
    drawStretched(source, slider.canvas, slider.geometry.target);
    return slider;
}

std::string encodeSliderCanvas(const SliderCanvas& slider, const std::string& name) {
    switch (slider.format) {
    case PictureFormat::Jpeg:
        return encodeJpeg(slider.canvas, 90, name);
    case PictureFormat::Gif:
        return encodeGif(quantizeForGif(slider.canvas, slider.geometry.target), name);
    case PictureFormat::Bmp:
        break;
    }
    return encodeBmp(slider.canvas, name);
}

PreparedPicture prepareSliderPicture(const std::string& sourcePath, const std::string& targetBase, int sliderWidth,
                                     int sliderHeight, const std::function<void(std::uint64_t)>& memoryNeeded) {
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
    const std::string path = targetBase + preparedExtension(slider.format);
    writeFileAtomically(path, encodeSliderCanvas(slider, path));
    return {slider.format, path, slider.geometry.scaledWidth, slider.geometry.scaledHeight};
}

} // namespace veskaro
