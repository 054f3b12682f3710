#include "imaging/SliderPicture.h"

#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PaletteQuantizer.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampler.h"
#include "imaging/SliderGeometry.h"
#include "platform/MemoryUse.h"

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

void writeCanvas(PictureFormat format, const std::string& path, const RgbImage& canvas, const PixelRect& target) {
    switch (format) {
    case PictureFormat::Jpeg:
        writeJpeg(path, canvas);
        break;
    case PictureFormat::Gif:
        writeGif(path, quantizeForGif(canvas, target));
        break;
    case PictureFormat::Bmp:
        writeBmp(path, canvas);
        break;
    }
}

PreparedPicture prepareOnce(const std::string& sourcePath, const std::string& targetBase, int sliderWidth,
                            int sliderHeight) {
    LoadOptions options;
    options.minimumSize = [&](int width, int height) {
        const PixelRect target = computeSliderGeometry(width, height, sliderWidth, sliderHeight).target;
        return PictureSize{kMargin * target.width(), kMargin * target.height()};
    };
    LoadedPicture picture = loadPicture(sourcePath, options);
    const SliderGeometry geometry =
        computeSliderGeometry(picture.sourceWidth, picture.sourceHeight, sliderWidth, sliderHeight);
    RgbImage canvas(sliderWidth, sliderHeight, 255);
    {
        const RgbImage source = picture.format == PictureFormat::Jpeg
                                    ? std::move(picture.image)
                                    : reducedForTarget(std::move(picture.image), geometry.target);
        drawStretched(source, canvas, geometry.target);
    }
    const std::string path = targetBase + preparedExtension(picture.format);
    writeCanvas(picture.format, path, canvas, geometry.target);
    return {picture.format, path, geometry.scaledWidth, geometry.scaledHeight};
}

} // namespace

PreparedPicture prepareSliderPicture(const std::string& sourcePath, const std::string& targetBase, int sliderWidth,
                                     int sliderHeight) {
    mapLargeBlocksApart();
    return prepareOnce(sourcePath, targetBase, sliderWidth, sliderHeight);
}

} // namespace veskaro
