#pragma once

#include "upload/RemoteFolder.h"
#include "upload/UploadPlan.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veskaro {

/// What an upload tells while it runs, and how it is asked to stop.
class UploadProgress {
public:
    virtual ~UploadProgress() = default;
    /// Tells that name is on its way, with the bytes sent of its size.
    virtual void sending(const std::string& name, std::uint64_t sent, std::uint64_t size) = 0;
    /// Tells that the upload is done with a file of the plan (uploaded, found unchanged, removed or kept),
    /// after seconds of work on it.
    virtual void finished(const PlannedFile& file, double seconds) = 0;
    /// Returns true once the upload should stop; asked between files and while one travels.
    virtual bool stopRequested() = 0;
};

/// An UploadProgress that tells nothing and never stops.
class SilentUploadProgress : public UploadProgress {
public:
    void sending(const std::string&, std::uint64_t, std::uint64_t) override {}
    void finished(const PlannedFile&, double) override {}
    bool stopRequested() override { return false; }
};

/// What an upload is asked to do.
struct UploadWishes {
    PlanWishes plan;
    bool dryRun = false; // make the plan, change nothing
};

/// What an upload did.
struct UploadOutcome {
    UploadPlan plan;
    std::uint64_t bytesSent = 0; // the files' bytes, the manifest's among them
    bool manifestWritten = false;
};

/// Brings the remote folder up to the publish. First the temporaries an interrupted upload left there are
/// removed; then the manifest and the listing decide what travels; then the changed pictures, scripts and
/// style sheet go, each under a temporary name renamed over the old file, then the page the same way, then
/// stale files are removed (when wished), then the manifest. So a visitor never gets a page that names a
/// file not yet complete. Where the server will not rename over a file, the old one is moved aside first
/// and removed once the new one is in. A dry run lists and reads, and changes nothing. A stop or a failure
/// throws VeskaroError and leaves every file whole: the earlier one or the new one.
UploadOutcome runUpload(RemoteFolder& folder, const std::vector<FileToUpload>& files, const UploadWishes& wishes,
                        UploadProgress& progress);

} // namespace veskaro
