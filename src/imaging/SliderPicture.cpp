#include "imaging/SliderPicture.h"

#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PaletteQuantizer.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampler.h"
#include "platform/MemoryUse.h"
#include "platform/TextFile.h"

#include <algorithm>

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

} // namespace

SliderCanvas composeSliderCanvas(const std::function<LoadedPicture(const LoadOptions&)>& load, int sliderWidth,
                                 int sliderHeight) {
    LoadOptions options;
    options.minimumSize = [&](int width, int height) {
        const PixelRect target = computeSliderGeometry(width, height, sliderWidth, sliderHeight).target;
        return PictureSize{kMargin * target.width(), kMargin * target.height()};
    };
    LoadedPicture picture = load(options);
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
                                     int sliderHeight) {
    mapLargeBlocksApart();
    const SliderCanvas slider = composeSliderCanvas(
        [&](const LoadOptions& options) { return loadPicture(sourcePath, options); }, sliderWidth, sliderHeight);
    const std::string path = targetBase + preparedExtension(slider.format);
    writeFileAtomically(path, encodeSliderCanvas(slider, path));
    return {slider.format, path, slider.geometry.scaledWidth, slider.geometry.scaledHeight};
}

} // namespace veskaro
