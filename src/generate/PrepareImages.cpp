#include "generate/PreparationPool.h"
#include "generate/Publisher.h"
#include "imaging/SliderPicture.h"
#include "model/ItemTree.h"
#include "model/ParameterRules.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/MemoryUse.h"
#include "platform/PathText.h"
#include "platform/Places.h"
#include "platform/VeskaroError.h"

#include <filesystem>
#include <optional>
#include <vector>

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

/// The pictures the workers wrote into the Temp folder, one slot for each; whatever is still there when
/// preparation ends, placed or not, is removed.
struct PreparedInTemp {
    explicit PreparedInTemp(std::size_t count) : pictures(count) {}
    ~PreparedInTemp() {
        for (const std::optional<PreparedPicture>& picture : pictures) {
            std::error_code ignored;
            if (picture)
                fs::remove(pathOf(picture->path), ignored);
        }
    }
    PreparedInTemp(const PreparedInTemp&) = delete;
    PreparedInTemp& operator=(const PreparedInTemp&) = delete;

    std::vector<std::optional<PreparedPicture>> pictures;
};

} // namespace

std::string sourcePictureOf(const TkvlAppletAgent& project, int index) {
    const std::string path = resolvePicturePath(project.projectFolder(), project.GetItem(index).IOriginalImagePath);
    std::error_code error;
    return !path.empty() && fs::is_regular_file(pathOf(path), error) ? path : std::string{};
}

std::string preparedPictureBase(int index) {
    return "slider" + std::to_string(index);
}

void Publisher::PrepareImages(TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress) {
    ProgressScope scope(progress, "Processing images ...");
    progress.setMaximum(tree.nodeCount());
    const StopOffer offer(progress);
    m_missingPictures.clear();
    const int count = project.itemCount();
    std::vector<std::string> sources(static_cast<std::size_t>(count));
    std::vector<int> jobItems;
    for (int k = 0; k < count; ++k) {
        sources[k] = sourcePictureOf(project, k);
        if (!sources[k].empty())
            jobItems.push_back(k);
    }
    const SliderSize slider = jobItems.empty() ? SliderSize{} : sliderSize(project.GetAppletData());
    std::vector<std::uint64_t> estimates;
    for (const int k : jobItems)
        estimates.push_back(preparationMemory(sources[k], slider.width, slider.height));
    const std::string temp = m_places.GetTempFolder();
    mapLargeBlocksApart();

    // The workers write each picture into the Temp folder; this thread takes them in item order and
    // changes the project and the Preview folder only at the end, so that a stop leaves both as they
    // were and a failure leaves the pictures before the failing one, as preparing one by one did.
    PreparedInTemp prepared(jobItems.size());
    std::size_t delivered = 0;
    const auto apply = [&](int end) {
        for (int k = 0, job = 0; k < end; ++k) {
            TItemData item = project.GetItem(k);
            if (sources[k].empty()) {
                // A name that is no bare file name came from an edited file; the item keeps no such picture.
                if (pictureFileOf(item) != item.IImageFile) {
                    item.IImageFile.clear();
                    project.SetItem(item, k);
                }
                continue;
            }
            const PreparedPicture& picture = *prepared.pictures[job++];
            item.IImageWidth = std::to_string(picture.scaledWidth);
            item.IImageHeight = std::to_string(picture.scaledHeight);
            item.IImageFile = fileNamePart(picture.path);
            project.SetItem(item, k);
            // The page names this picture: publishing it without the picture, or with an earlier one of
            // that name, would be a broken or wrong page, so the copy must succeed.
            m_preview.placeInPreview(picture.path);
        }
    };
    PreparationPool pool(
        PreparationScheduler(estimates, m_workers, kPreparationMemoryBudget), m_workers, [&](std::size_t job) {
            const int k = jobItems[job];
            prepared.pictures[job] =
                prepareSliderPicture(sources[k], temp + preparedPictureBase(k), slider.width, slider.height);
        });
    for (int k = 0; k < count; ++k) {
        if (sources[k].empty()) {
            tree.setCaption(k + 1, "Warning: Original image not found.");
            m_missingPictures.push_back(k);
            continue;
        }
        const std::string name = fileNamePart(sources[k]);
        tree.setCaption(k + 1, name);
        progress.preparingPicture(k + 1, count, name);
        bool finished = false;
        try {
            finished = pool.waitFor(delivered, [&] { return progress.stopRequested(); });
        } catch (...) {
            pool.stop();
            apply(k);
            throw;
        }
        if (!finished)
            throw VeskaroError(kCancelledMessage);
        ++delivered;
        progress.step(1);
    }
    pool.stop();
    apply(count);
}

} // namespace veskaro
