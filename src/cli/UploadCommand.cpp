// veskaro-cli upload: sends what the project's last publish wrote to the web server.

#include "cli/UploadCommand.h"

#include "cli/ConsoleProgress.h"
#include "generate/PictureCache.h"
#include "generate/PublishedFiles.h"
#include "generate/Publisher.h"
#include "generate/PublishingProblems.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"
#include "platform/CommandLine.h"
#include "platform/Places.h"
#include "platform/VeskaroError.h"
#include "upload/KnownHosts.h"
#include "upload/RemoteConnection.h"
#include "upload/Upload.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace veskaro {

namespace fs = std::filesystem;

const char* const kUploadHelp =
    "\n"
    "Usage: veskaro-cli upload PROJECT.vsk [--to URL] [--dry-run] [--full] [--delete-stale]\n"
    "                   [--identity KEYFILE] [--password-env NAME] [--accept-host-key SHA256:...]\n"
    "                   [--limit-rate KB]\n"
    "       veskaro-cli publish PROJECT.vsk --upload [upload options]\n"
    "\n"
    "upload   sends what the project's last publish wrote into its folder (the page, its\n"
    "         scripts, style sheet and pictures; not the project file) to the web server,\n"
    "         only the files that changed, the page last; a project never published is\n"
    "         published first. URL: sftp://user@host[:port]/folder/, ftps://... (TLS\n"
    "         required) or ftp://... (unencrypted); a folder after a second slash\n"
    "         (sftp://host//var/www/) is absolute, else it is below the login folder.\n"
    "         --dry-run shows what would be done; --full sends every file; --delete-stale\n"
    "         removes files an earlier upload sent that the slider no longer uses.\n"
    "         The password (or the key's passphrase) comes from the environment variable\n"
    "         --password-env names, or is asked for on the terminal; never from the command\n"
    "         line. SFTP logs in with --identity KEYFILE, else through the SSH agent when\n"
    "         SSH_AUTH_SOCK is set, else with a password. A server key not seen before is\n"
    "         trusted only with --accept-host-key and its fingerprint; a changed one never.\n"
    "         --limit-rate KB sends at most KB kilobytes a second. Exit status: 0 done,\n"
    "         1 the upload failed (with the server's words), 2 a usage or load error.\n"
    "publish --upload  publishes into the project's own folder, then uploads; --to is\n"
    "         then the upload address.\n";

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsageOrLoadError = 2;

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bound of the picture cache a publish before the upload uses, as every publish does.
int pictureCacheMegabytes() {
    try {
        return pictureCacheMegabytesFromEnvironment();
    } catch (const VeskaroError& error) {
        throw UsageError(error.what());
    }
}

struct UploadOptions {
    std::string project;
    bool publishFirst = false; // publish --upload
    std::optional<std::string> to;
    bool dryRun = false;
    bool full = false;
    bool deleteStale = false;
    bool quiet = false;
    std::string identity;
    std::string passwordEnvironment;
    std::string acceptedKey;
    std::uint64_t limitKilobytes = 0;
};

std::string valueAfter(const std::vector<std::string>& args, std::size_t& i, const char* needs) {
    if (++i == args.size())
        throw UsageError(args[i - 1] + " needs " + needs);
    return args[i];
}

std::uint64_t kilobytesFrom(const std::string& text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 ||
        value > (std::uint64_t(1) << 40))
        throw UsageError("--limit-rate needs a number of kilobytes a second, at least 1");
    return value;
}

UploadOptions parseUploadOptions(const std::vector<std::string>& args) {
    UploadOptions options;
    options.publishFirst = args.front() == "publish";
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--upload" && options.publishFirst)
            continue;
        if (arg == "--to")
            options.to = valueAfter(args, i, "an upload address (sftp://, ftps:// or ftp://)");
        else if (arg == "--dry-run")
            options.dryRun = true;
        else if (arg == "--full")
            options.full = true;
        else if (arg == "--delete-stale")
            options.deleteStale = true;
        else if (arg == "--quiet" || arg == "-q")
            options.quiet = true;
        else if (arg == "--identity")
            options.identity = valueAfter(args, i, "a private key file");
        else if (arg == "--password-env")
            options.passwordEnvironment = valueAfter(args, i, "the name of an environment variable");
        else if (arg == "--accept-host-key")
            options.acceptedKey = valueAfter(args, i, "a fingerprint SHA256:...");
        else if (arg == "--limit-rate")
            options.limitKilobytes = kilobytesFrom(valueAfter(args, i, "a number of kilobytes a second"));
        else if (arg == "--password" || arg.starts_with("--password="))
            throw UsageError("a password is never taken on the command line: use --password-env NAME, or "
                             "answer the question on the terminal");
        else if (!arg.empty() && arg.front() == '-')
            throw UsageError("unknown option " + arg);
        else if (options.project.empty())
            options.project = arg;
        else
            throw UsageError("unexpected argument " + arg);
    }
    if (options.project.empty())
        throw UsageError("no project file given");
    if (!options.acceptedKey.empty() && !options.acceptedKey.starts_with("SHA256:"))
        throw UsageError("--accept-host-key needs the fingerprint as the refusal shows it: SHA256:...");
    return options;
}

// Asks on the terminal with the echo off, so that the secret is not shown or left in the scrollback.
std::optional<std::string> askOnTerminal(const std::string& prompt) {
    std::FILE* terminal = std::fopen("/dev/tty", "r+");
    if (!terminal)
        return std::nullopt;
    const int descriptor = ::fileno(terminal);
    termios saved{};
    const bool quiet = ::tcgetattr(descriptor, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(descriptor, TCSAFLUSH, &silent);
    }
    std::fputs(prompt.c_str(), terminal);
    std::fflush(terminal);
    std::string answer;
    int c = 0;
    while ((c = std::fgetc(terminal)) != EOF && c != '\n')
        answer.push_back(static_cast<char>(c));
    if (quiet)
        ::tcsetattr(descriptor, TCSAFLUSH, &saved);
    std::fputs("\n", terminal);
    std::fclose(terminal);
    if (c == EOF && answer.empty())
        return std::nullopt;
    return answer;
}

// The Upload options the project holds, by name.
std::map<std::string, std::string> storedUploadOptions(const ProjectOptions& options) {
    std::map<std::string, std::string> stored;
    for (const ProjectOptionRule& rule : kProjectOptionRules)
        if (std::string_view(rule.name).starts_with("Upload."))
            stored[rule.name] = options.value(rule.name);
    return stored;
}

// The one place the target comes from: --to, else the target the project remembers.
UploadTarget targetOf(const UploadOptions& options, const ProjectOptions& projectOptions) {
    const std::map<std::string, std::string> stored = storedUploadOptions(projectOptions);
    if (!options.to && !hasUploadTarget(stored))
        throw UsageError("no upload target: give --to sftp://user@host/folder/ (or ftps://, ftp://)");
    UploadTarget target;
    try {
        target = options.to ? parseUploadUrl(*options.to) : uploadTargetFromOptions(stored);
    } catch (const VeskaroError& error) {
        throw UsageError(error.what());
    }
    if (!options.identity.empty()) {
        target.auth = UploadAuth::Key;
        target.keyFile = options.identity;
    } else if (target.protocol == UploadProtocol::Sftp && options.passwordEnvironment.empty() &&
               std::getenv("SSH_AUTH_SOCK")) {
        target.auth = UploadAuth::Agent;
    }
    if (target.protocol != UploadProtocol::Sftp && target.auth != UploadAuth::Password)
        throw UsageError("--identity belongs to sftp:// uploads");
    return target;
}

// The one place that says what an upload sends: what the publish report lists (scripts, style sheet,
// pictures) and the page, found in the project's folder; not the project file nor the report.
std::vector<FileToUpload> filesToUpload(const TkvlAppletAgent& project, const std::string& folder,
                                        const std::string& fileName) {
    std::vector<FileToUpload> files;
    for (const PublishedFile& published : filesForTheWebServer(project, fileName, folder)) {
        const std::string& name = published.name;
        std::error_code error;
        if (!fs::is_regular_file(folder + name, error)) {
            std::fprintf(stderr, "veskaro-cli: %s%s is missing, so it is not uploaded\n", folder.c_str(), name.c_str());
            continue;
        }
        files.push_back({name, folder + name, published.kind == PublishedKind::Page});
    }
    return files;
}

class PrintedProgress : public UploadProgress {
public:
    PrintedProgress(bool dryRun, bool quiet, ConsoleProgress& console)
        : m_dryRun(dryRun), m_quiet(quiet), m_console(console) {
        m_console.offerStop(true);
    }
    ~PrintedProgress() override { m_console.offerStop(false); }
    PrintedProgress(const PrintedProgress&) = delete;
    PrintedProgress& operator=(const PrintedProgress&) = delete;

    void sending(const std::string&, std::uint64_t, std::uint64_t) override {}
    void finished(const PlannedFile& file, double seconds) override { print(file, seconds); }
    bool stopRequested() override { return ConsoleProgress::interrupted(); }

    void print(const PlannedFile& file, double seconds) const {
        if (m_quiet)
            return;
        switch (file.action) {
        case PlanAction::Upload:
            if (m_dryRun)
                std::printf("would upload %s (%llu bytes)\n", file.name.c_str(),
                            static_cast<unsigned long long>(file.size));
            else
                std::printf("uploaded  %s (%llu bytes, %.2f s)\n", file.name.c_str(),
                            static_cast<unsigned long long>(file.size), seconds);
            break;
        case PlanAction::Unchanged:
            std::printf("unchanged %s\n", file.name.c_str());
            break;
        case PlanAction::Remove:
            std::printf(m_dryRun ? "would remove %s\n" : "removed   %s\n", file.name.c_str());
            break;
        case PlanAction::KeepStale:
            std::printf("kept      %s (no longer used; --delete-stale removes it)\n", file.name.c_str());
            break;
        }
    }

private:
    bool m_dryRun;
    bool m_quiet;
    ConsoleProgress& m_console;
};

std::string messageOf(const std::exception& error) {
    return dynamic_cast<const std::bad_alloc*>(&error) ? "out of memory" : error.what();
}

bool loadProject(const std::string& path, TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress) {
    project.SetDefaults();
    try {
        if (project.LoadFromFile(path, tree, progress) == LoadOutcome::NotOurs)
            throw VeskaroError(kForeignProjectMessage);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "veskaro-cli: %s\n", messageOf(error).c_str());
        return false;
    }
    return true;
}

ConnectOptions connectOptionsFor(const UploadOptions& options, std::string& refusedFingerprint) {
    ConnectOptions connect;
    connect.knownHostsFile = defaultKnownHostsFile();
    connect.bytesPerSecond = options.limitKilobytes * 1024;
    connect.trustNewKey = [&options, &refusedFingerprint](const std::string&, const std::string& fingerprint) {
        if (fingerprint == options.acceptedKey)
            return true;
        refusedFingerprint = fingerprint;
        return false;
    };
    const std::string environment = options.passwordEnvironment;
    connect.askSecret = [environment](const std::string& prompt) -> std::optional<std::string> {
        if (environment.empty())
            return askOnTerminal(prompt);
        const char* value = std::getenv(environment.c_str());
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    return connect;
}

int upload(const UploadOptions& options, const UploadTarget& target, const std::vector<FileToUpload>& files,
           ConsoleProgress& console) {
    if (target.protocol == UploadProtocol::Ftp)
        std::fprintf(stderr, "veskaro-cli: warning: ftp:// sends the password and the files unencrypted; "
                             "use sftp:// or ftps:// where the server offers them\n");
    std::string refusedFingerprint;
    const auto start = std::chrono::steady_clock::now();
    try {
        const ConnectOptions connect = connectOptionsFor(options, refusedFingerprint);
        const std::unique_ptr<RemoteFolder> folder = openRemoteFolder(target, connect);
        PrintedProgress progress(options.dryRun, options.quiet, console);
        const UploadOutcome outcome =
            runUpload(*folder, files, {{options.full, options.deleteStale}, options.dryRun}, progress);
        if (options.dryRun) {
            for (const PlannedFile& file : outcome.plan.files)
                progress.print(file, 0);
            std::printf("Dry run: nothing was changed on the server.\n");
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!options.quiet && !options.dryRun)
            std::printf("%llu bytes sent in %.2f s%s\n", static_cast<unsigned long long>(outcome.bytesSent), seconds,
                        outcome.manifestWritten ? ", the manifest among them" : "");
        std::printf("%zu uploaded, %zu unchanged, %zu removed\n", outcome.plan.count(PlanAction::Upload),
                    outcome.plan.count(PlanAction::Unchanged), outcome.plan.count(PlanAction::Remove));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "veskaro-cli: upload failed: %s\n", messageOf(failure).c_str());
        if (!refusedFingerprint.empty())
            std::fprintf(stderr, "veskaro-cli: if this is the server's key, run again with --accept-host-key %s\n",
                         refusedFingerprint.c_str());
        return kFailed;
    }
    return kDone;
}

int publishAndUpload(const UploadOptions& options) {
    std::error_code error;
    const fs::path projectPath = fs::absolute(options.project, error);
    if (error) {
        std::fprintf(stderr, "veskaro-cli: %s cannot be resolved: %s\n", options.project.c_str(),
                     error.message().c_str());
        return kUsageOrLoadError;
    }
    ConsoleProgress console(stderr, ConsoleProgress::styleFor(stderr, options.quiet));
    PlainItemTree tree;
    TkvlAppletAgent project;
    if (!loadProject(projectPath.string(), project, tree, console))
        return kUsageOrLoadError;
    const UploadTarget target = targetOf(options, project.options());
    std::string folder = projectPath.parent_path().string();
    EnsureTrailingBackslash(folder);
    const std::string fileName = projectPath.filename().string();
    const bool published = fs::is_regular_file(folder + projectBaseName(fileName) + ".html", error);
    if (!published && options.dryRun && !options.publishFirst) {
        std::fprintf(stderr,
                     "veskaro-cli: %s has not been published yet, and a dry run changes nothing: publish it "
                     "first\n",
                     options.project.c_str());
        return kFailed;
    }
    if (options.publishFirst || !published) {
        const int cacheMegabytes = pictureCacheMegabytes();
        try {
            const Places places = Places::ofThisSystem();
            Publisher publisher(places);
            publisher.setPictureCache(pictureCacheIn(places.pictureCacheFolder(), cacheMegabytes));
            publisher.SaveAndPublish(project, folder, fileName, tree, console);
            publisher.ClearPreviewFolder();
            if (PictureCache* cache = publisher.pictureCache())
                if (const std::optional<std::string> notice = cache->takeNotice())
                    std::fprintf(stderr, "veskaro-cli: %s\n", notice->c_str());
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "veskaro-cli: publishing failed: %s\n", messageOf(failure).c_str());
            return kFailed;
        }
    }
    return upload(options, target, filesToUpload(project, folder, fileName), console);
}

} // namespace

bool isUploadCommand(const std::vector<std::string>& args) {
    if (args.empty())
        return false;
    if (args.front() == "upload")
        return true;
    return args.front() == "publish" && std::find(args.begin(), args.end(), "--upload") != args.end();
}

int runUploadCommand(const std::vector<std::string>& args) {
    try {
        return publishAndUpload(parseUploadOptions(args));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "veskaro-cli: %s\nTry 'veskaro-cli --help'.\n", error.what());
        return kUsageOrLoadError;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "veskaro-cli: %s\n", messageOf(error).c_str());
        return kFailed;
    }
}

} // namespace veskaro
