// Publishes a corpus of pictures with the picture cache as a save does, and prints how long each kind of
// save takes: the first, one with nothing changed, one after a description edit, one after one source was
// replaced, a preview after an edit; beside publishes without the cache, and the cache's disk use.
//
//   picture_cache_bench CORPUS WORK [REPEAT...]
//
// CORPUS holds the source pictures (../shared/bench/CORPUS.md); WORK is an empty folder for the project,
// the per-user folders and the published files. Each REPEAT (default 1 and 20) publishes the corpus that
// many times over, every copy under names of its own (hard links), with a description for each item.

#include "generate/PictureCache.h"
#include "generate/Publisher.h"
#include "imaging/PictureFormat.h"
#include "imaging/SliderPicture.h"
#include "model/PlainItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/Places.h"
#include "platform/ProgramFile.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace veskaro;
namespace fs = std::filesystem;

namespace {

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Prints the median and the range of the runs.
void report(const char* what, std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    std::printf("  %-44s %8.3f s  (%.3f-%.3f, %zu runs)\n", what, runs[runs.size() / 2], runs.front(), runs.back(),
                runs.size());
}

std::vector<fs::path> corpusFiles(const fs::path& corpus) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

struct Bench {
    Bench(fs::path folder, std::vector<fs::path> pictures, int copies)
        : work(std::move(folder)), corpus(std::move(pictures)), repeat(copies) {}

    fs::path work;
    std::vector<fs::path> corpus;
    int repeat;
    std::unique_ptr<Places> places;
    std::unique_ptr<Publisher> publisher;
    std::shared_ptr<PictureCache> cache;
    TkvlAppletAgent project;
    PlainItemTree tree;
    SilentProgressView progress;
    std::vector<std::string> sources;
    int edits = 0;

    void makeProject() {
        project.SetDefaults();
        TAppletData data = project.GetAppletData();
        data.sliderWidth = "640";
        data.sliderHeight = "480";
        project.SetAppletData(data);
        for (int copy = 0; copy < repeat; ++copy) {
            const fs::path folder = work / "sources" / std::to_string(copy);
            fs::create_directories(folder);
            for (const fs::path& file : corpus) {
                const fs::path source = folder / file.filename();
                fs::create_hard_link(file, source);
                sources.push_back(source.string());
                TItemData item = TkvlAppletAgent::DefaultItem();
                item.IOriginalImagePath = source.string();
                item.IToolTip = "Picture " + std::to_string(sources.size()) + " of the corpus";
                item.ILevel = "0";
                project.InsertItem(project.itemCount(), item);
                tree.addChild(0, "Image");
            }
        }
    }

    void publish(const std::string& folder, bool cached) {
        fs::create_directories(work / folder);
        publisher->setPictureCache(cached ? cache : nullptr);
        publisher->SaveAndPublish(project, (work / folder).string() + "/", "bench.vsk", tree, progress);
        publisher->ClearPreviewFolder();
    }

    void editDescription() {
        TItemData item = project.GetItem(0);
        item.IToolTip = "Edited " + std::to_string(++edits);
        project.SetItem(item, 0);
    }

    // Replaces the first source with another picture of its format, under its own name: a new file.
    fs::path editSource() {
        const fs::path target = sources.front();
        std::vector<fs::path> others;
        for (const fs::path& file : corpus)
            if (file.extension() == target.extension() && file.filename() != target.filename())
                others.push_back(file);
        const fs::path other = others[std::size_t(edits++) % others.size()];
        copyFileAtomically(other.string(), target.string(), Durability::WorkFile);
        return other;
    }

    void preview() {
        publisher->setPictureCache(cache);
        const std::vector<std::string> lines = publisher->generatePageLines(project, tree, progress);
        publisher->gatherPreview(project, lines, progress);
        publisher->ClearPreviewFolder();
    }

    std::uint64_t publishedPictureBytes(const std::string& folder) const {
        std::uint64_t total = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(work / folder))
            if (entry.path().filename().string().starts_with("slider"))
                total += entry.file_size();
        return total;
    }
};

void runBench(const fs::path& corpus, const fs::path& work, int repeat) {
    Bench bench(work / ("x" + std::to_string(repeat)), corpusFiles(corpus), repeat);
    fs::remove_all(bench.work);
    for (const char* folder : {"data", "documents", "pictures", "cache"})
        fs::create_directories(bench.work / folder);
    bench.places = std::make_unique<Places>(Places::Bases{
        programFilePath(), dataFolderOf(programFilePath()), (bench.work / "data").string(),
        (bench.work / "documents").string(), (bench.work / "pictures").string(), (bench.work / "cache").string()});
    bench.publisher = std::make_unique<Publisher>(*bench.places);
    bench.cache = pictureCacheIn(bench.places->pictureCacheFolder(), 1024);
    bench.makeProject();
    std::printf("%zu pictures (the corpus x %d):\n", bench.sources.size(), repeat);

    // Today's publish and the first one with an empty cache, taken in turns so that the machine's drift
    // falls on both.
    const int firstRuns = repeat > 1 ? 2 : 3;
    std::vector<double> plain, cold;
    for (int run = 0; run < firstRuns; ++run) {
        plain.push_back(secondsOf([&] { bench.publish("site-plain", false); }));
        bench.cache->clear();
        cold.push_back(secondsOf([&] { bench.publish("site", true); }));
    }
    report("publish without the cache", plain);
    report("first publish, empty cache", cold);

    std::vector<double> unchanged, described, edited, previewed;
    for (int run = 0; run < 3; ++run)
        unchanged.push_back(secondsOf([&] { bench.publish("site", true); }));
    report("republish, nothing changed", unchanged);
    for (int run = 0; run < 3; ++run) {
        bench.editDescription();
        described.push_back(secondsOf([&] { bench.publish("site", true); }));
    }
    report("republish after one description edit", described);
    std::vector<double> alone;
    for (int run = 0; run < 3; ++run) {
        const fs::path other = bench.editSource();
        edited.push_back(secondsOf([&] { bench.publish("site", true); }));
        alone.push_back(secondsOf([&] {
            encodeSliderPictures(other.string(), {{other.string(), formatFromExtension(other.string()), 1, {}}}, 640,
                                 480);
        }));
    }
    report("republish after one source replaced", edited);
    report("  that picture's preparation alone", alone);
    for (int run = 0; run < 3; ++run) {
        bench.editDescription();
        previewed.push_back(secondsOf([&] { bench.preview(); }));
    }
    report("preview after one description edit", previewed);

    const std::uint64_t pictures = bench.publishedPictureBytes("site");
    const std::uint64_t cacheBytes = bench.cache->diskUse();
    std::printf("  published pictures %.1f KB, cache %.1f KB (%.1f%%; entries shared by identical sources), "
                "%zu hits, %zu misses\n\n",
                pictures / 1024.0, cacheBytes / 1024.0, 100.0 * double(cacheBytes) / double(pictures),
                bench.cache->hits(), bench.cache->misses());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: picture_cache_bench CORPUS WORK [REPEAT...]\n");
        return 2;
    }
    // Each figure as soon as it is taken, also when the run is stopped.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::vector<int> repeats;
    for (int i = 3; i < argc; ++i)
        repeats.push_back(std::atoi(argv[i]));
    if (repeats.empty())
        repeats = {1, 20};
    try {
        for (const int repeat : repeats)
            runBench(argv[1], argv[2], repeat);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "picture_cache_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
