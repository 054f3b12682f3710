#include "imaging/SliderPicture.h"
#include "model/Folders.h"
#include "model/ItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/VeskaroError.h"

#include <filesystem>
#include <optional>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

constexpr int kLargestSliderSide = 9999;

struct SliderSize {
    int width;
    int height;
};

// A size outside what the designer allows could only come from an edited project file; it would make
// the pictures empty or exhaust the memory, so it stops the preparation with a clear message.
SliderSize sliderSize(const TAppletData& data) {
    const SliderSize size{StrToInt(data.sliderWidth), StrToInt(data.sliderHeight)};
    if (size.width < 1 || size.height < 1 || size.width > kLargestSliderSide || size.height > kLargestSliderSide)
        throw VeskaroError("The slider size " + data.sliderWidth + " x " + data.sliderHeight +
                           " cannot be used: width and height must lie between 1 and " +
                           std::to_string(kLargestSliderSide) + " pixels.");
    return size;
}

bool sourceExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

} // namespace

void TkvlAppletAgent::PrepareImages(ItemTree& tree, ProgressView& progress) {
    ProgressScope scope(progress, "Processing images ...");
    progress.setMaximum(tree.nodeCount());
    std::optional<SliderSize> slider;
    for (int k = 0; k < itemCount(); ++k) {
        TItemData& item = m_items[static_cast<std::size_t>(k)];
        const std::string path = TrimText(item.IOriginalImagePath);
        if (!sourceExists(path)) {
            tree.setCaption(k + 1, "Warning: Original image not found.");
            continue;
        }
        tree.setCaption(k + 1, FileNamePart(path));
        if (!slider)
            slider = sliderSize(m_appletData);
        const PreparedPicture picture =
            prepareSliderPicture(path, GetTempFolder() + "slider" + std::to_string(k), slider->width, slider->height);
        item.IImageWidth = std::to_string(picture.scaledWidth);
        item.IImageHeight = std::to_string(picture.scaledHeight);
        item.IImageFile = FileNamePart(picture.path);
        CopyToPreview(picture.path);
        std::error_code ignored;
        fs::remove(picture.path, ignored);
        progress.step(1);
    }
}

} // namespace veskaro
