#include "upload/Upload.h"

#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <unistd.h>

namespace veskaro {

namespace {

using Clock = std::chrono::steady_clock;

// A manifest lists a few dozen files; anything much larger is not one of ours.
constexpr std::size_t kLargestManifest = 1 << 20;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The manifest travels like every other file, from a local file that lives as long as the upload needs it.
class LocalScratchFile {
public:
    explicit LocalScratchFile(const std::string& bytes) {
        std::string pattern = (std::filesystem::temp_directory_path() / "veskaro-manifest-XXXXXX").string();
        const int descriptor = ::mkstemp(pattern.data());
        if (descriptor < 0)
            throw VeskaroError("The manifest cannot be written in the temporary folder: " + ioErrorText(errno));
        ::close(descriptor);
        m_path = pattern;
        writeFileAtomically(m_path, bytes);
    }
    ~LocalScratchFile() { std::remove(m_path.c_str()); }
    LocalScratchFile(const LocalScratchFile&) = delete;
    LocalScratchFile& operator=(const LocalScratchFile&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

class Uploader {
public:
    Uploader(RemoteFolder& folder, UploadProgress& progress) : m_folder(folder), m_progress(progress) {}

    void removeLeftovers(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            m_folder.remove(name);
    }

    // Sends the file under a temporary name and renames it in: name is whole, old or new, at every moment.
    void sendInPlace(const std::string& localPath, const std::string& name, std::uint64_t size, bool exists) {
        stopWhenAsked();
        const std::string temporary = uploadTemporaryName();
        try {
            m_folder.put(localPath, temporary, [&](std::uint64_t sent) {
                m_progress.sending(name, sent, size);
                return !m_progress.stopRequested();
            });
        } catch (const VeskaroError&) {
            removeQuietly(temporary);
            throw;
        }
        replace(temporary, name, exists);
        m_bytesSent += size;
    }

    void removeFile(const std::string& name) {
        stopWhenAsked();
        m_folder.remove(name);
    }

    std::uint64_t bytesSent() const { return m_bytesSent; }

private:
    void stopWhenAsked() {
        if (m_progress.stopRequested())
            throw VeskaroError(kUploadStoppedMessage);
    }

    void replace(const std::string& temporary, const std::string& name, bool exists) {
        if (!exists || (m_folder.renamesOver() && !m_renameOverRefused)) {
            try {
                m_folder.rename(temporary, name);
                return;
            } catch (const VeskaroError&) {
                // A server that claims to rename over a file may still refuse to; then the old file is
                // moved aside, below. Any other failure fails the move aside too.
                if (!exists) {
                    removeQuietly(temporary);
                    throw;
                }
                m_renameOverRefused = true;
            }
        }
        replaceThroughAside(temporary, name);
    }

    // Between the two renames name is missing for a moment, but never half-written; the old file stays
    // under a temporary name until the new one is in, and a stop in between leaves it for the next upload
    // to remove.
    void replaceThroughAside(const std::string& temporary, const std::string& name) {
        const std::string aside = uploadTemporaryName();
        try {
            m_folder.rename(name, aside);
        } catch (const VeskaroError&) {
            removeQuietly(temporary);
            throw;
        }
        try {
            m_folder.rename(temporary, name);
        } catch (const VeskaroError&) {
            restoreQuietly(aside, name);
            removeQuietly(temporary);
            throw;
        }
        m_folder.remove(aside);
    }

    void removeQuietly(const std::string& name) {
        try {
            m_folder.remove(name);
        } catch (const VeskaroError&) {
            // The next upload removes what is left of the program's own temporaries.
        }
    }

    void restoreQuietly(const std::string& aside, const std::string& name) {
        try {
            m_folder.rename(aside, name);
        } catch (const VeskaroError&) {
            // The error that led here is the one to report.
        }
    }

    RemoteFolder& m_folder;
    UploadProgress& m_progress;
    std::uint64_t m_bytesSent = 0;
    bool m_renameOverRefused = false;
};

std::set<std::string> namesIn(const std::vector<RemoteEntry>& listing) {
    std::set<std::string> names;
    for (const RemoteEntry& entry : listing)
        if (entry.isFile)
            names.insert(entry.name);
    return names;
}

const std::string& pageNameOf(const std::vector<FileToUpload>& files) {
    const auto page = std::find_if(files.begin(), files.end(), [](const FileToUpload& file) { return file.isPage; });
    if (page == files.end())
        throw VeskaroError("Nothing to upload: the publish holds no page.");
    return page->name;
}

// A dry run makes no folder; one that is not there yet lists as empty, as it would once made.
std::vector<RemoteEntry> listingOf(RemoteFolder& folder, bool dryRun) {
    if (!dryRun)
        return folder.list();
    try {
        return folder.list();
    } catch (const VeskaroError&) {
        return {};
    }
}

} // namespace

UploadOutcome runUpload(RemoteFolder& folder, const std::vector<FileToUpload>& files, const UploadWishes& wishes,
                        UploadProgress& progress) {
    const std::vector<LocalFile> local = describeLocalFiles(files);
    if (!wishes.dryRun)
        folder.makeFolder();
    const std::vector<RemoteEntry> listing = listingOf(folder, wishes.dryRun);
    const std::set<std::string> present = namesIn(listing);
    const std::string manifestName = manifestNameFor(pageNameOf(files));
    const std::optional<std::string> oldText =
        present.count(manifestName) ? folder.read(manifestName, kLargestManifest) : std::nullopt;

    UploadOutcome outcome;
    outcome.plan = planUpload(local, oldText ? parseManifest(*oldText) : std::nullopt, listing, wishes.plan);
    if (wishes.dryRun)
        return outcome;
    Uploader uploader(folder, progress);
    uploader.removeLeftovers(outcome.plan.leftovers);
    for (const PlannedFile& file : outcome.plan.files) {
        const Clock::time_point start = Clock::now();
        if (file.action == PlanAction::Upload)
            uploader.sendInPlace(file.localPath, file.name, file.size, present.count(file.name) != 0);
        else if (file.action == PlanAction::Remove)
            uploader.removeFile(file.name);
        progress.finished(file, secondsSince(start));
    }
    const std::string newText = manifestText(manifestAfter(outcome.plan));
    if (oldText != newText) {
        const LocalScratchFile manifest(newText);
        uploader.sendInPlace(manifest.path(), manifestName, newText.size(), present.count(manifestName) != 0);
        outcome.manifestWritten = true;
    }
    outcome.bytesSent = uploader.bytesSent();
    return outcome;
}

} // namespace veskaro
