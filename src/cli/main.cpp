// veskaro-cli: publishes and checks slider projects without the designer window.

#include "cli/ConsoleProgress.h"
#ifdef VESKARO_UPLOAD
#include "cli/UploadCommand.h"
#endif
#include "generate/OtherProjects.h"
#include "generate/PictureCache.h"
#include "generate/PublishCheck.h"
#include "generate/PublishedFiles.h"
#include "generate/Publisher.h"
#include "generate/PublishingProblems.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"
#include "platform/CommandLine.h"
#include "platform/ConsoleInterrupt.h"
#include "platform/PathText.h"
#include "platform/Places.h"
#include "platform/VeskaroError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

using namespace veskaro;
namespace fs = std::filesystem;

namespace {

constexpr int kDone = 0;
constexpr int kFailedOrFindings = 1;
constexpr int kUsageOrLoadError = 2;
// Not an exit status: the command was stopped with Ctrl+C and ends as the signal would have ended it.
constexpr int kInterrupted = -1;

constexpr const char* kHelp =
    "Usage: veskaro-cli publish PROJECT.vsk [--to FOLDER] [--jobs N] [--replace] [--no-cache] [--strict]\n"
    "                   [--quiet]\n"
    "       veskaro-cli check PROJECT.vsk [--to FOLDER] [--strict] [--quiet]\n"
    "       veskaro-cli cache clear\n"
    "       veskaro-cli --help | --version\n"
    "\n"
    "publish  writes what the designer's Save writes: the page, its style sheet and scripts,\n"
    "         the slider pictures, the project file and the publish report; into the\n"
    "         project's own folder, or into FOLDER with --to (made when missing).\n"
    "check    reports, without writing anything, what would go wrong or look wrong on\n"
    "         publish (into FOLDER with --to): each finding is a problem (publishing\n"
    "         would fail, or a slide would lack its picture) or advice (no link, no\n"
    "         description, low contrast, a picture enlarged, ...).\n"
    "\n"
    "--jobs N  prepares N pictures at once (1 to 64; VESKARO_JOBS sets it too); by default\n"
    "         one for each processor core. Ctrl+C stops publishing while the pictures are\n"
    "         prepared and leaves the folder as it was.\n"
    "\n"
    "--replace  publishes even where the pictures of another project published into the\n"
    "         folder (known by its publish report) would be replaced; without it publish\n"
    "         refuses, and check reports it as a problem.\n"
    "\n"
    "--no-cache  prepares every picture from its source. Without it, prepared pictures\n"
    "         are kept in the picture cache (in $XDG_CACHE_HOME, by default ~/.cache) and\n"
    "         taken from there while source, slider size and format stay the same;\n"
    "         VESKARO_CACHE_MB bounds it (1024 by default, 0 turns it off).\n"
    "cache clear  empties the picture cache.\n"
    "\n"
    "Source pictures named by relative paths are found from the project's folder.\n"
    "publish names on standard error each item whose source picture cannot be read.\n"
    "--strict  makes advice, and for publish such items, count as failure.\n"
    "\n"
    "Exit status: 0 done, 1 publish failed or check found a problem (with --strict:\n"
    "anything), 2 a usage error or a project that cannot be loaded.\n";

struct Options {
    std::string command;
    std::string project;
    std::optional<std::string> to;
    int jobs = 0;
    bool quiet = false;
    bool strict = false;
    bool replace = false;
    bool noCache = false;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int workersOrUsageError(const std::string& text, const std::string& option) {
    try {
        return preparationWorkersFrom(text, option);
    } catch (const VeskaroError& error) {
        throw UsageError(error.what());
    }
}

Options parse(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--strict") {
            options.strict = true;
        } else if (arg == "--replace") {
            options.replace = true;
        } else if (arg == "--no-cache") {
            options.noCache = true;
        } else if (arg == "--to") {
            if (++i == args.size())
                throw UsageError("--to needs a folder");
            options.to = args[i];
        } else if (arg == "--jobs") {
            if (++i == args.size())
                throw UsageError("--jobs needs a number");
            options.jobs = workersOrUsageError(args[i], "--jobs");
        } else if (!arg.empty() && arg.front() == '-') {
            throw UsageError("unknown option " + arg);
        } else if (options.command.empty()) {
            options.command = arg;
        } else if (options.project.empty()) {
            options.project = arg;
        } else {
            throw UsageError("unexpected argument " + arg);
        }
    }
    if (options.command == "cache") {
        if (options.project != "clear")
            throw UsageError(options.project.empty() ? "cache needs what to do: clear"
                                                     : "unknown cache command " + options.project);
        if (options.to || options.jobs != 0 || options.replace || options.noCache || options.strict)
            throw UsageError("cache clear takes no options but --quiet");
        return options;
    }
    if (options.command != "publish" && options.command != "check")
        throw UsageError(options.command.empty() ? "no command given" : "unknown command " + options.command);
    if (options.project.empty())
        throw UsageError("no project file given");
    if (options.jobs != 0 && options.command != "publish")
        throw UsageError("--jobs belongs to publish");
    if (options.replace && options.command != "publish")
        throw UsageError("--replace belongs to publish");
    if (options.noCache && options.command != "publish")
        throw UsageError("--no-cache belongs to publish");
    if (options.command == "publish" && options.jobs == 0) {
        try {
            options.jobs = preparationWorkersFromEnvironment();
        } catch (const VeskaroError& error) {
            throw UsageError(error.what());
        }
    }
    return options;
}

// The words for an error that reaches the command's boundary; running out of memory has no words of its
// own.
std::string messageOf(const std::exception& error) {
    return dynamic_cast<const std::bad_alloc*>(&error) ? "out of memory" : error.what();
}

// Loads the project the way the designer opens one and says why when it cannot; relative picture paths
// in it are then read from the project's folder.
bool loadProject(const Options& options, TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress) {
    project.SetDefaults();
    try {
        if (project.LoadFromFile(options.project, tree, progress) == LoadOutcome::NotOurs)
            throw VeskaroError(kForeignProjectMessage);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "veskaro-cli: %s\n", messageOf(error).c_str());
        return false;
    }
    return true;
}

// A relative path is read from the working folder, which may have been deleted under the command.
std::optional<fs::path> absolutePath(const std::string& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(pathOf(path), error);
    if (!error)
        return absolute;
    std::fprintf(stderr,
                 "veskaro-cli: the relative path %s cannot be resolved: the working folder cannot be found (%s)\n",
                 path.c_str(), error.message().c_str());
    return std::nullopt;
}

// Clears what the publisher recorded in the Preview folder on every way out of a command, failure too:
// the record of the names dies with the process.
class PreviewClearedAtExit {
public:
    explicit PreviewClearedAtExit(Publisher& publisher) : m_publisher(publisher) {}
    ~PreviewClearedAtExit() {
        try {
            m_publisher.ClearPreviewFolder();
        } catch (const std::exception&) {
            // Clearing reports nothing; the run's own folder goes when the run ends in any case.
        }
    }
    PreviewClearedAtExit(const PreviewClearedAtExit&) = delete;
    PreviewClearedAtExit& operator=(const PreviewClearedAtExit&) = delete;

private:
    Publisher& m_publisher;
};

std::string withDelimiter(std::string folder) {
    EnsureTrailingBackslash(folder);
    return folder;
}

// The folder publish writes into, ending in the delimiter: --to, or the project's own folder.
std::optional<std::string> targetFolder(const Options& options, const fs::path& projectPath) {
    const std::optional<fs::path> to = absolutePath(options.to.value_or(textOf(projectPath.parent_path())));
    if (!to)
        return std::nullopt;
    return withDelimiter(textOf(*to));
}

// Makes the folder and whatever folders above it are missing; when the publish fails, removes those it made
// itself again, deepest first, as long as they are still empty.
class FolderMadeForThePublish {
public:
    explicit FolderMadeForThePublish(const std::string& folder) {
        std::error_code error;
        for (fs::path missing = pathOf(folder).parent_path(); !missing.empty() && !fs::exists(missing, error) && !error;
             missing = missing.parent_path()) {
            m_made.push_back(missing);
            if (missing == missing.parent_path())
                break;
        }
        fs::create_directories(pathOf(folder), error);
    }
    ~FolderMadeForThePublish() {
        if (m_kept)
            return;
        for (const fs::path& made : m_made) {
            std::error_code error;
            if (fs::is_directory(fs::symlink_status(made, error)) && fs::is_empty(made, error) && !error)
                fs::remove(made, error);
        }
    }
    FolderMadeForThePublish(const FolderMadeForThePublish&) = delete;
    FolderMadeForThePublish& operator=(const FolderMadeForThePublish&) = delete;

    /// Keeps the folders: the publish wrote into them.
    void keep() { m_kept = true; }

private:
    std::vector<fs::path> m_made;
    bool m_kept = false;
};

// What the command prints is its result: when standard output cannot take it (a full device), the command
// fails and says why.
int statusAfterFlushingOutput(int status) {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return status;
    const std::string why = errno != 0 ? std::generic_category().message(errno) : "write error";
    std::fprintf(stderr, "veskaro-cli: standard output cannot be written: %s\n", why.c_str());
    return kFailedOrFindings;
}

void printWritten(const TkvlAppletAgent& project, const std::string& folder, const std::string& fileName) {
    for (const PublishedFile& file : publishedFiles(project, fileName)) {
        std::error_code error;
        if (fs::exists(pathOf(folder + file.name), error))
            std::printf("%s%s\n", folder.c_str(), file.name.c_str());
    }
}

// Names on standard error every item whose source picture could not be read, why and what its slide shows
// now, as the window's hint line and nodes do; returns how many there were.
std::size_t reportMissingSources(const Publisher& publisher, const TkvlAppletAgent& project,
                                 const std::string& folder) {
    const std::vector<int>& missing = publisher.missingPictures();
    for (const int k : missing)
        std::fprintf(stderr, "veskaro-cli: %s\n", missingSourceFinding(project, k, folder).c_str());
    if (missing.size() == 1)
        std::fprintf(stderr, "veskaro-cli: 1 source picture could not be read.\n");
    else if (!missing.empty())
        std::fprintf(stderr, "veskaro-cli: %zu source pictures could not be read.\n", missing.size());
    return missing.size();
}

// The picture cache of this user, unless it is turned off or the system names no cache folder.
std::shared_ptr<PictureCache> pictureCacheOf(const Places& places) {
    int megabytes = 0;
    try {
        megabytes = pictureCacheMegabytesFromEnvironment();
    } catch (const VeskaroError& error) {
        throw UsageError(error.what());
    }
    return pictureCacheIn(places.pictureCacheFolder(), megabytes);
}

// A cache that cannot be written makes the publish slower, never wrong; the user hears of it once.
void reportCacheNotice(const Publisher& publisher) {
    if (PictureCache* cache = publisher.pictureCache())
        if (const std::optional<std::string> notice = cache->takeNotice())
            std::fprintf(stderr, "veskaro-cli: %s\n", notice->c_str());
}

int publish(const Options& options, const Places& places) {
    const std::optional<fs::path> resolvedProject = absolutePath(options.project);
    if (!resolvedProject)
        return kUsageOrLoadError;
    const fs::path projectPath = *resolvedProject;
    const std::optional<std::string> target = targetFolder(options, projectPath);
    if (!target)
        return kUsageOrLoadError;
    const std::string& folder = *target;
    ConsoleProgress progress(stderr, ConsoleProgress::styleFor(stderr, options.quiet));
    PlainItemTree tree;
    TkvlAppletAgent project;
    if (!loadProject(options, project, tree, progress))
        return kUsageOrLoadError;
    FolderMadeForThePublish made(folder);
    std::error_code error;
    if (!fs::is_directory(pathOf(folder), error)) {
        std::fprintf(stderr, "veskaro-cli: the folder %s cannot be made\n", folder.c_str());
        return kUsageOrLoadError;
    }
    if (!options.replace) {
        const std::vector<std::string> replaced = replacedProjects(project, folder, textOf(projectPath.filename()));
        for (const std::string& sentence : replaced)
            std::fprintf(stderr,
                         "veskaro-cli: publishing failed: %s Nothing was saved; --replace publishes all the same.\n",
                         sentence.c_str());
        if (!replaced.empty())
            return kFailedOrFindings;
    }
    Publisher publisher(places);
    publisher.setPreparationWorkers(options.jobs);
    if (!options.noCache)
        publisher.setPictureCache(pictureCacheOf(places));
    const PreviewClearedAtExit cleared(publisher);
    try {
        publisher.SaveAndPublish(project, folder, textOf(projectPath.filename()), tree, progress);
        reportCacheNotice(publisher);
    } catch (const std::exception& failure) {
        reportCacheNotice(publisher);
        if (ConsoleProgress::interrupted()) {
            std::fprintf(stderr, "veskaro-cli: %s\n", messageOf(failure).c_str());
            return kInterrupted;
        }
        std::fprintf(stderr, "veskaro-cli: publishing failed: %s\n", messageOf(failure).c_str());
        return kFailedOrFindings;
    }
    made.keep();
    if (!options.quiet)
        printWritten(project, folder, textOf(projectPath.filename()));
    const std::size_t missing = reportMissingSources(publisher, project, folder);
    return statusAfterFlushingOutput(options.strict && missing > 0 ? kFailedOrFindings : kDone);
}

int check(const Options& options, const Places& places) {
    SilentProgressView progress;
    PlainItemTree tree;
    TkvlAppletAgent project;
    if (!loadProject(options, project, tree, progress))
        return kUsageOrLoadError;
    // Checked as publish would publish it: into the same folder, under its own name.
    const std::optional<fs::path> projectPath = absolutePath(options.project);
    const std::optional<std::string> folder = projectPath ? targetFolder(options, *projectPath) : std::nullopt;
    if (!folder)
        return kUsageOrLoadError;
    const PublishingFindings findings = checkForPublishing(project, places, *folder, textOf(projectPath->filename()));
    std::vector<std::string> problems = findings.problems;
    const std::vector<std::string> replaced = replacedProjects(project, *folder, textOf(projectPath->filename()));
    problems.insert(problems.end(), replaced.begin(), replaced.end());
    problems.insert(problems.end(), findings.withoutPicture.begin(), findings.withoutPicture.end());
    for (const std::string& problem : problems)
        std::printf("problem: %s\n", problem.c_str());
    for (const std::string& advice : findings.advice)
        std::printf("advice: %s\n", advice.c_str());
    if (!options.quiet) {
        if (problems.empty() && findings.advice.empty())
            std::printf("Nothing found: the project is ready to publish.\n");
        else
            std::printf("%zu problem(s), %zu advice.\n", problems.size(), findings.advice.size());
    }
    const bool failed = !problems.empty() || (options.strict && !findings.advice.empty());
    return statusAfterFlushingOutput(failed ? kFailedOrFindings : kDone);
}

int clearCache(const Options& options, const Places& places) {
    if (places.pictureCacheFolder().empty()) {
        std::fprintf(stderr, "veskaro-cli: the system names no cache folder\n");
        return kFailedOrFindings;
    }
    const std::size_t removed = PictureCache(places.pictureCacheFolder(), 0).clear();
    if (!options.quiet)
        std::printf("Removed %zu file(s) from the picture cache %s\n", removed, places.pictureCacheFolder().c_str());
    return statusAfterFlushingOutput(kDone);
}

int runCommand(const Options& options, const Places& places) {
    if (options.command == "publish")
        return publish(options, places);
    if (options.command == "cache")
        return clearCache(options, places);
    return check(options, places);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = programArguments(argc, argv);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kHelp, stdout);
#ifdef VESKARO_UPLOAD
        std::fputs(kUploadHelp, stdout);
#endif
        return kDone;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::puts("veskaro-cli 1.0");
        return kDone;
    }
#ifdef VESKARO_UPLOAD
    if (isUploadCommand(args))
        return runUploadCommand(args);
#endif
    // Every error ends here as a message and an exit status; the places of the run are gone by then, so
    // the run's work folders are removed on every way out.
    int status = kDone;
    try {
        const Options options = parse(args);
        const Places places = Places::ofThisSystem();
        status = runCommand(options, places);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "veskaro-cli: %s\nTry 'veskaro-cli --help'.\n", error.what());
        return kUsageOrLoadError;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "veskaro-cli: %s\n", messageOf(error).c_str());
        return kFailedOrFindings;
    }
    // The run's folders are gone by now; the shell that started the command learns that it was
    // interrupted, as it would have without the stop, and stops a script that ran it.
    if (status == kInterrupted)
        ConsoleInterrupt::endProcessAsInterrupted();
    return status;
}
