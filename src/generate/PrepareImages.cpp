#include "generate/Publisher.h"
#include "imaging/SliderPicture.h"
#include "model/ItemTree.h"
#include "model/ParameterRules.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/Places.h"
#include "platform/VeskaroError.h"

#include <filesystem>
#include <optional>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

struct SliderSize {
    int width;
    int height;
};

// A size outside what the designer allows could only come from an edited project file; it would make
// the pictures empty or exhaust the memory, so it stops the preparation with a clear message.
SliderSize sliderSize(const TAppletData& data) {
    const AppletField& width = appletField(&TAppletData::sliderWidth);
    const AppletField& height = appletField(&TAppletData::sliderHeight);
    const SliderSize size{strToInt(data.sliderWidth), strToInt(data.sliderHeight)};
    if (!inRange(width, size.width) || !inRange(height, size.height))
        throw VeskaroError("The slider size " + data.sliderWidth + " x " + data.sliderHeight +
                           " cannot be used: width and height must lie between " + std::to_string(width.lowest) +
                           " and " + std::to_string(width.highest) + " pixels.");
    return size;
}

} // namespace

std::string sourcePictureOf(const TkvlAppletAgent& project, int index) {
    const std::string path = resolvePicturePath(project.projectFolder(), project.GetItem(index).IOriginalImagePath);
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error) ? path : std::string{};
}

std::string preparedPictureBase(int index) {
    return "slider" + std::to_string(index);
}

void Publisher::PrepareImages(TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress) {
    ProgressScope scope(progress, "Processing images ...");
    progress.setMaximum(tree.nodeCount());
    std::optional<SliderSize> slider;
    m_missingPictures.clear();
    for (int k = 0; k < project.itemCount(); ++k) {
        TItemData item = project.GetItem(k);
        const std::string path = sourcePictureOf(project, k);
        if (path.empty()) {
            tree.setCaption(k + 1, "Warning: Original image not found.");
            m_missingPictures.push_back(k);
            // A name that is no bare file name came from an edited file; the item keeps no such picture.
            if (pictureFileOf(item) != item.IImageFile) {
                item.IImageFile.clear();
                project.SetItem(item, k);
            }
            continue;
        }
        const std::string name = fileNamePart(path);
        tree.setCaption(k + 1, name);
        progress.preparingPicture(k + 1, project.itemCount(), name);
        if (!slider)
            slider = sliderSize(project.GetAppletData());
        const PreparedPicture picture = prepareSliderPicture(path, m_places.GetTempFolder() + preparedPictureBase(k),
                                                             slider->width, slider->height);
        item.IImageWidth = std::to_string(picture.scaledWidth);
        item.IImageHeight = std::to_string(picture.scaledHeight);
        item.IImageFile = fileNamePart(picture.path);
        project.SetItem(item, k);
        // The page names this picture: publishing it without the picture, or with an earlier one of that
        // name, would be a broken or wrong page, so the copy must succeed.
        m_preview.placeInPreview(picture.path);
        std::error_code ignored;
        fs::remove(picture.path, ignored);
        progress.step(1);
    }
}

} // namespace veskaro
