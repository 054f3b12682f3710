#include "generate/PictureCache.h"
#include "generate/PreparationPool.h"
#include "generate/Publisher.h"
#include "generate/PublishingProblems.h"
#include "imaging/PictureFormat.h"
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

#include <cerrno>
#include <filesystem>
#include <optional>
#include <vector>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

// A size outside what the designer allows could only come from an edited project file; it would make
// the pictures empty or exhaust the memory, so it stops the preparation with a clear message.
SliderSize sliderSize(const TAppletData& data) {
    if (const std::optional<SliderSize> size = sliderSizeOf(data))
        return *size;
    // A side that is no whole number gets the conversion's own words.
    strToInt(data.sliderWidth);
    strToInt(data.sliderHeight);
    const AppletField& width = appletField(&TAppletData::sliderWidth);
    throw VeskaroError("The slider size " + data.sliderWidth + " x " + data.sliderHeight +
                       " cannot be used: width and height must lie between " + std::to_string(width.lowest) + " and " +
                       std::to_string(width.highest) + " pixels.");
}

/// One picture to prepare: the item it is for and its source.
struct PictureJob {
    int item;
    std::string source;
    std::string subject; // how messages name the item
};

/// What a preparation does, decided before anything is read: the pictures in item order with their memory
/// estimates, and the items without a source to prepare.
struct PreparationPlan {
    std::vector<PictureJob> jobs;
    std::vector<std::optional<std::size_t>> jobOfItem; // for each item, its job; none when its source is missing
    std::vector<int> missing;
    SliderSize slider;
    std::vector<std::uint64_t> estimates;
};

PreparationPlan planPreparation(const TkvlAppletAgent& project) {
    PreparationPlan plan;
    for (int k = 0; k < project.itemCount(); ++k) {
        if (std::string source = sourcePictureOf(project, k); !source.empty()) {
            plan.jobOfItem.emplace_back(plan.jobs.size());
            plan.jobs.push_back({k, std::move(source), itemSubject(project, k)});
        } else {
            plan.jobOfItem.emplace_back();
            plan.missing.push_back(k);
        }
    }
    // Only the pictures need a slider size the preparation can use.
    plan.slider = plan.jobs.empty() ? SliderSize{} : sliderSize(project.GetAppletData());
    for (const PictureJob& job : plan.jobs)
        plan.estimates.push_back(preparationMemory(job.source, plan.slider.width, plan.slider.height));
    return plan;
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

// The extension names the prepared picture's format; one no format has is the user's to mend, so the
// message names the item and its picture as the check does.
void requireKnownExtension(const PictureJob& picture) {
    try {
        formatFromExtension(picture.source);
    } catch (const VeskaroError& error) {
        throw VeskaroError(picture.subject + ": " + error.what());
    }
}

/// Where and with how many workers the pictures are prepared, and where prepared ones are kept.
struct Workshop {
    std::string tempFolder;
    int workers;
    PictureCache* cache;
};

// Everything besides the source's bytes that shapes the slider picture's bytes.
PictureCacheKey sliderPictureKey(std::string sourceDigest, const PictureJob& picture, SliderSize slider) {
    PictureCacheKey key;
    key.sourceDigest = std::move(sourceDigest);
    key.named = formatFromExtension(picture.source);
    key.sliderWidth = slider.width;
    key.sliderHeight = slider.height;
    key.encoder = "jpeg-quality=" + std::to_string(EncoderSettings{}.jpegQuality);
    return key;
}

// Prepares one picture into the Temp folder: from the cache when it holds the picture, else from its source,
// keeping the result unless the source changed while it was read. The file written is the same either way,
// so everything after preparation goes on as without a cache. A source the cache cannot read is prepared
// without it, so that the decoder's message tells why.
PreparedPicture preparePicture(const PictureJob& picture, const std::string& targetBase, SliderSize slider,
                               PictureCache* cache, const MemoryCharge& charge) {
    const std::optional<SourceDigest> source = cache ? cache->sourceDigest(picture.source) : std::nullopt;
    if (!source)
        return prepareSliderPicture(picture.source, targetBase, slider.width, slider.height, charge);
    const PictureCacheKey key = sliderPictureKey(source->digest, picture, slider);
    if (const std::optional<EncodedSliderPicture> kept = cache->find(key))
        return writeSliderPicture(*kept, targetBase);
    const EncodedSliderPicture made = encodeSliderPicture(picture.source, slider.width, slider.height, charge);
    if (PictureCache::unchangedSince(picture.source, source->stamp))
        cache->store(key, made);
    return writeSliderPicture(made, targetBase);
}

// Prepares the plan's pictures on the workers, naming each item's node and stepping the progress in item
// order. delivered counts the pictures handed over so far, so that a failure can keep them. Returns false
// when the user asked to stop; rethrows the first failing picture's error.
bool runPreparation(const PreparationPlan& plan, const Workshop& workshop, ItemTree& tree, ProgressView& progress,
                    PreparedInTemp& prepared, std::size_t& delivered) {
    mapLargeBlocksApart();
    PreparationPool pool(PreparationScheduler(plan.estimates, workshop.workers, kPreparationMemoryBudget),
                         workshop.workers, [&](std::size_t job, const MemoryCharge& charge) {
                             const PictureJob& picture = plan.jobs[job];
                             requireKnownExtension(picture);
                             prepared.pictures[job] =
                                 preparePicture(picture, workshop.tempFolder + preparedPictureBase(picture.item),
                                                plan.slider, workshop.cache, charge);
                         });
    const int count = static_cast<int>(plan.jobOfItem.size());
    for (int k = 0; k < count; ++k) {
        const std::optional<std::size_t> job = plan.jobOfItem[static_cast<std::size_t>(k)];
        if (!job) {
            tree.setCaption(k + 1, kMissingPictureCaption);
            continue;
        }
        const std::string name = fileNamePart(plan.jobs[*job].source);
        tree.setCaption(k + 1, name);
        progress.preparingPicture(k + 1, count, name);
        if (!pool.waitFor(*job, [&] { return progress.stopRequested(); }))
            return false;
        delivered = *job + 1;
        progress.step(1);
    }
    return true;
}

// Gives the items of the first delivered jobs their prepared pictures and places those in the Preview folder.
void applyPrepared(const PreparationPlan& plan, const PreparedInTemp& prepared, std::size_t delivered,
                   TkvlAppletAgent& project, PreviewFolder& preview) {
    for (std::size_t job = 0; job < delivered; ++job) {
        const PreparedPicture& picture = *prepared.pictures[job];
        TItemData item = project.GetItem(plan.jobs[job].item);
        item.IImageWidth = std::to_string(picture.scaledWidth);
        item.IImageHeight = std::to_string(picture.scaledHeight);
        item.IImageFile = fileNamePart(picture.path);
        project.SetItem(item, plan.jobs[job].item);
        // The page names this picture: publishing it without the picture, or with an earlier one of that
        // name, would be a broken or wrong page, so the copy must succeed.
        preview.placeInPreview(picture.path);
    }
}

} // namespace

std::string sourcePictureProblem(const std::string& path) {
    if (path.empty())
        return "is not set";
    std::error_code error;
    const fs::file_status status = fs::status(pathOf(path), error);
    if (status.type() == fs::file_type::not_found)
        return "does not exist";
    if (error) {
        switch (error.value()) {
        case ENOENT:
        case ENOTDIR:
            return "does not exist";
        case EACCES:
        case EPERM:
            return "cannot be reached: access denied";
        case ELOOP:
            return "cannot be reached: too many levels of links";
        case ENAMETOOLONG:
            return "cannot be reached: the path is longer than the system allows";
        default:
            return "cannot be reached: " + error.message();
        }
    }
    if (fs::is_directory(status))
        return "is a folder, not a picture file";
    if (!fs::is_regular_file(status))
        return "is not a regular file";
    return {};
}

std::string sourcePicturePath(const TkvlAppletAgent& project, int index) {
    return resolvePicturePath(project.projectFolder(), project.GetItem(index).IOriginalImagePath);
}

std::string sourcePictureOf(const TkvlAppletAgent& project, int index) {
    const std::string path = sourcePicturePath(project, index);
    return sourcePictureProblem(path).empty() ? path : std::string{};
}

std::string preparedPictureBase(int index) {
    return "slider" + std::to_string(index);
}

void Publisher::PrepareImages(TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress) {
    ProgressScope scope(progress, "Processing images ...");
    progress.setMaximum(tree.nodeCount());
    const StopOffer offer(progress);
    const PreparationPlan plan = planPreparation(project);
    m_missingPictures = plan.missing;

    // The workers write each picture into the Temp folder; this thread takes them in item order and
    // changes the project and the Preview folder only at the end, so that a stop leaves both as they
    // were and a failure leaves the pictures before the failing one, as preparing one by one did.
    PreparedInTemp prepared(plan.jobs.size());
    std::size_t delivered = 0;
    bool finished = false;
    try {
        finished = runPreparation(plan, {m_places.GetTempFolder(), m_workers, m_pictureCache.get()}, tree, progress,
                                  prepared, delivered);
    } catch (...) {
        applyPrepared(plan, prepared, delivered, project, m_preview);
        throw;
    }
    if (!finished)
        throw VeskaroError(kCancelledMessage);
    applyPrepared(plan, prepared, plan.jobs.size(), project, m_preview);
    if (m_pictureCache)
        m_pictureCache->trim();
}

} // namespace veskaro
