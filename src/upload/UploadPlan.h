#pragma once

#include "upload/RemoteFolder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veskaro {

/// One file of the last publish that belongs on the server.
struct FileToUpload {
    std::string name;      // the plain file name, on the server as in the project's folder
    std::string localPath; // where publishing wrote it
    bool isPage = false;   // the page goes last, once everything it names is in place

    bool operator==(const FileToUpload&) const = default;
};

/// A file as the manifest on the server records it.
struct ManifestEntry {
    std::string name;
    std::uint64_t size = 0;
    std::string sha256; // 64 lower-case hex digits

    bool operator==(const ManifestEntry&) const = default;
};

/// A published file with what its bytes are now.
struct LocalFile {
    FileToUpload file;
    std::uint64_t size = 0;
    std::string sha256;
};

/// What an upload does with one file.
enum class PlanAction {
    Upload,    // missing on the server, of another size there, another hash than the manifest's, or --full
    Unchanged, // the server holds these bytes already
    Remove,    // stale and removed: the manifest lists it, the publish has it no more
    KeepStale, // stale but kept, for want of the wish to remove it
};

/// One file of the plan.
struct PlannedFile {
    std::string name;
    PlanAction action = PlanAction::Unchanged;
    std::uint64_t size = 0;
    std::string sha256;
    std::string localPath; // empty for stale files
    bool isPage = false;
};

/// Everything an upload would do, in the order it does it: uploads of everything but the page, the page,
/// then the stale files; unchanged files among them where they stand in the publish.
struct UploadPlan {
    std::vector<PlannedFile> files;
    std::string manifestName;
    std::vector<std::string> leftovers; // temporaries of an interrupted upload, removed first

    /// Returns how many files have the action.
    std::size_t count(PlanAction action) const;
};

/// What the plan is asked to do beyond the changed files.
struct PlanWishes {
    bool full = false;        // upload every file, changed or not
    bool deleteStale = false; // remove the files the manifest lists and the publish has no more
};

/// Returns the manifest's name for the page pageName: "Demo.html" gives "Demo.veskaro-manifest".
std::string manifestNameFor(const std::string& pageName);

/// Returns the manifest's text: the line "veskaro-manifest 1", then one line "<sha256> <size> <name>"
/// per entry, every line ended by LF.
std::string manifestText(const std::vector<ManifestEntry>& entries);

/// Reads a manifest's text; nothing when it is not one, so that every file counts as unknown. Lines it
/// cannot read are passed over.
std::optional<std::vector<ManifestEntry>> parseManifest(const std::string& text);

/// Returns a new name of the upload's own temporary pattern: "veskaro-upload-<16 hex digits>.part".
std::string uploadTemporaryName();

/// Tells whether name has the pattern of uploadTemporaryName.
bool isUploadTemporaryName(const std::string& name);

/// Returns the published files with their sizes and SHA-256 digests, read from their local paths. Throws
/// VeskaroError naming a file that cannot be read.
std::vector<LocalFile> describeLocalFiles(const std::vector<FileToUpload>& files);

/// Decides what an upload does with each file: local holds the publish, manifest what the server's manifest
/// says (nothing when there is none), listing what the folder holds now.
UploadPlan planUpload(const std::vector<LocalFile>& local, const std::optional<std::vector<ManifestEntry>>& manifest,
                      const std::vector<RemoteEntry>& listing, const PlanWishes& wishes);

/// Returns the manifest the server holds once the plan is carried out: the uploaded and unchanged files,
/// and the stale ones kept, so that a later upload can still remove them; sorted by name.
std::vector<ManifestEntry> manifestAfter(const UploadPlan& plan);

} // namespace veskaro
