#include "generate/PictureCache.h"
#include "generate/PreparationPool.h"
#include "generate/PublishedPictures.h"
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
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <algorithm>
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

/// One picture to prepare: the item it is for, its source and the files made from it (none when its
/// extension names no format, which its turn reports).
struct PictureJob {
    int item;
    std::string source;
    std::string subject; // how messages name the item
    std::vector<PublishedPicture> outputs;
};

PictureChoices pictureChoices(const ProjectOptions& options) {
    if (const std::optional<PictureChoices> choices = pictureChoicesOf(options))
        return *choices;
    throw VeskaroError(jpegQualityProblem(options));
}

std::vector<PublishedPicture> outputsOf(const TkvlAppletAgent& project, int index, const std::string& source,
                                        const PictureChoices& choices, SliderSize slider) {
    try {
        return picturesFor(plannedPictureName(project, index), source, choices, slider);
    } catch (const VeskaroError&) {
        return {};
    }
}

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
            plan.jobs.push_back({k, std::move(source), itemSubject(project, k), {}});
        } else {
            plan.jobOfItem.emplace_back();
            plan.missing.push_back(k);
        }
    }
    if (plan.jobs.empty())
        return plan;
    // Only the pictures need a slider size and options the preparation can use.
    plan.slider = sliderSize(project.GetAppletData());
    const PictureChoices choices = pictureChoices(project.options());
    for (PictureJob& job : plan.jobs) {
        job.outputs = outputsOf(project, job.item, job.source, choices, plan.slider);
        plan.estimates.push_back(
            preparationMemory(job.source, plan.slider.width, plan.slider.height, largestScale(job.outputs)));
    }
    return plan;
}

/// The pictures the workers write into the Temp folder, one slot for each job: the files, named before
/// they are written, and the picture's fit once all are whole. Whatever is still there when preparation
/// ends, placed or not, is removed.
struct PreparedInTemp {
    explicit PreparedInTemp(std::size_t count) : paths(count), fits(count) {}
    ~PreparedInTemp() {
        for (const std::vector<std::string>& files : paths)
            for (const std::string& path : files) {
                std::error_code ignored;
                fs::remove(pathOf(path), ignored);
            }
    }
    PreparedInTemp(const PreparedInTemp&) = delete;
    PreparedInTemp& operator=(const PreparedInTemp&) = delete;

    std::vector<std::vector<std::string>> paths;
    std::vector<SliderGeometry> fits;
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

// Returns every output of the job from the cache, or none when one of them is not kept.
std::optional<EncodedPictures> keptPictures(PictureCache& cache, const std::vector<PictureCacheKey>& keys) {
    EncodedPictures kept;
    for (const PictureCacheKey& key : keys) {
        const std::optional<EncodedSliderPicture> picture = cache.find(key);
        if (!picture)
            return std::nullopt;
        kept.fit.scaledWidth = picture->scaledWidth;
        kept.fit.scaledHeight = picture->scaledHeight;
        kept.bytes.push_back(picture->bytes);
    }
    return kept;
}

// Returns the job's pictures: from the cache when it holds all of them, else from one decode of the source,
// kept unless the source changed while it was read. The bytes are the same either way, so everything after
// preparation goes on as without a cache. A source the cache cannot read is prepared without it, so that
// the decoder's message tells why.
EncodedPictures encodedPictures(const PictureJob& picture, SliderSize slider, PictureCache* cache,
                                const MemoryCharge& charge) {
    const std::vector<PictureOutput>& outputs = picture.outputs;
    const std::optional<SourceDigest> source = cache ? cache->sourceDigest(picture.source) : std::nullopt;
    if (!source)
        return encodeSliderPictures(picture.source, outputs, slider.width, slider.height, charge.need, charge.keep);
    std::vector<PictureCacheKey> keys;
    for (const PublishedPicture& output : picture.outputs)
        keys.push_back(
            preparedPictureKey(source->digest, picture.source, output, largestScale(picture.outputs), slider));
    if (std::optional<EncodedPictures> kept = keptPictures(*cache, keys))
        return std::move(*kept);
    EncodedPictures made =
        encodeSliderPictures(picture.source, outputs, slider.width, slider.height, charge.need, charge.keep);
    if (PictureCache::unchangedSince(picture.source, source->stamp))
        for (std::size_t k = 0; k < keys.size(); ++k)
            cache->store(keys[k], {outputs[k].format, made.fit.scaledWidth, made.fit.scaledHeight, made.bytes[k]});
    return made;
}

// Prepares one job's files in the Temp folder.
void prepareJob(const PictureJob& picture, std::size_t job, const Workshop& workshop, SliderSize slider,
                const MemoryCharge& charge, PreparedInTemp& prepared) {
    requireKnownExtension(picture);
    const EncodedPictures encoded = encodedPictures(picture, slider, workshop.cache, charge);
    for (std::size_t k = 0; k < picture.outputs.size(); ++k) {
        const std::string path = workshop.tempFolder + picture.outputs[k].name;
        prepared.paths[job].push_back(path);
        // A work file: the Preview copy and the published one are what must survive a crash.
        writeFileAtomically(path, encoded.bytes[k], Durability::WorkFile);
    }
    prepared.fits[job] = encoded.fit;
}

// Prepares the plan's pictures on the workers, naming each item's node and stepping the progress in item
// order. delivered counts the pictures handed over so far, so that a failure can keep them. Returns false
// when the user asked to stop; rethrows the first failing picture's error.
bool runPreparation(const PreparationPlan& plan, const Workshop& workshop, ItemTree& tree, ProgressView& progress,
                    PreparedInTemp& prepared, std::size_t& delivered) {
    const WorkMemory memory; // outlives the pool, whose workers free their buffers as they end
    PreparationPool pool(PreparationScheduler(plan.estimates, workshop.workers, kPreparationMemoryBudget),
                         workshop.workers, [&](std::size_t job, const MemoryCharge& charge) {
                             prepareJob(plan.jobs[job], job, workshop, plan.slider, charge, prepared);
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
        const SliderGeometry& fit = prepared.fits[job];
        TItemData item = project.GetItem(plan.jobs[job].item);
        item.IImageWidth = std::to_string(fit.scaledWidth);
        item.IImageHeight = std::to_string(fit.scaledHeight);
        item.IImageFile = plan.jobs[job].outputs.front().name;
        project.SetItem(item, plan.jobs[job].item);
        // The page names these pictures: publishing it without one, or with an earlier one of that name,
        // would be a broken or wrong page, so every copy must succeed.
        for (const std::string& path : prepared.paths[job])
            preview.placeInPreview(path);
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
