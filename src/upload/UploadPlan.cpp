#include "upload/UploadPlan.h"

#include "platform/Sha256.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace veskaro {

namespace {

constexpr const char* kManifestHeader = "veskaro-manifest 1";
constexpr const char* kManifestEnding = ".veskaro-manifest";
constexpr const char* kTemporaryPrefix = "veskaro-upload-";
constexpr const char* kTemporarySuffix = ".part";
constexpr std::size_t kTemporaryDigits = 16;
constexpr std::size_t kDigestDigits = 64;

bool isLowerHex(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::optional<ManifestEntry> entryOf(const std::string& line) {
    const std::size_t firstSpace = line.find(' ');
    const std::size_t secondSpace = firstSpace == std::string::npos ? firstSpace : line.find(' ', firstSpace + 1);
    if (secondSpace == std::string::npos)
        return std::nullopt;
    ManifestEntry entry;
    entry.sha256 = line.substr(0, firstSpace);
    const char* sizeStart = line.data() + firstSpace + 1;
    const char* sizeEnd = line.data() + secondSpace;
    const auto [end, error] = std::from_chars(sizeStart, sizeEnd, entry.size);
    entry.name = line.substr(secondSpace + 1);
    if (entry.sha256.size() != kDigestDigits || !isLowerHex(entry.sha256) || error != std::errc() || end != sizeEnd ||
        sizeStart == sizeEnd || entry.name.empty() || entry.name.find('/') != std::string::npos)
        return std::nullopt;
    return entry;
}

const LocalFile& pageOf(const std::vector<LocalFile>& local) {
    const auto page = std::find_if(local.begin(), local.end(), [](const LocalFile& file) { return file.file.isPage; });
    if (page == local.end())
        throw VeskaroError("Nothing to upload: the publish holds no page.");
    return *page;
}

bool needsUpload(const LocalFile& file, const std::map<std::string, ManifestEntry>& recorded,
                 const std::map<std::string, std::uint64_t>& present, const PlanWishes& wishes) {
    const auto entry = recorded.find(file.file.name);
    const auto there = present.find(file.file.name);
    return wishes.full || entry == recorded.end() || entry->second.sha256 != file.sha256 || there == present.end() ||
           there->second != file.size;
}

PlannedFile plannedOf(const LocalFile& file, PlanAction action) {
    return {file.file.name, action, file.size, file.sha256, file.file.localPath, file.file.isPage};
}

} // namespace

std::size_t UploadPlan::count(PlanAction action) const {
    return static_cast<std::size_t>(
        std::count_if(files.begin(), files.end(), [action](const PlannedFile& file) { return file.action == action; }));
}

std::string manifestNameFor(const std::string& pageName) {
    return pageName.substr(0, pageName.rfind('.')) + kManifestEnding;
}

std::string manifestText(const std::vector<ManifestEntry>& entries) {
    std::string text = std::string(kManifestHeader) + "\n";
    for (const ManifestEntry& entry : entries)
        text += entry.sha256 + " " + std::to_string(entry.size) + " " + entry.name + "\n";
    return text;
}

std::optional<std::vector<ManifestEntry>> parseManifest(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kManifestHeader)
        return std::nullopt;
    std::vector<ManifestEntry> entries;
    while (std::getline(in, line))
        if (const std::optional<ManifestEntry> entry = entryOf(line))
            entries.push_back(*entry);
    return entries;
}

std::string uploadTemporaryName() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::random_device device;
    std::mt19937_64 random((std::uint64_t(device()) << 32) ^ device());
    std::uint64_t bits = random();
    std::string digits;
    for (std::size_t i = 0; i < kTemporaryDigits; ++i, bits >>= 4)
        digits.push_back(kDigits[bits & 15]);
    return kTemporaryPrefix + digits + kTemporarySuffix;
}

bool isUploadTemporaryName(const std::string& name) {
    const std::size_t prefix = std::char_traits<char>::length(kTemporaryPrefix);
    const std::size_t suffix = std::char_traits<char>::length(kTemporarySuffix);
    return name.size() == prefix + kTemporaryDigits + suffix && name.starts_with(kTemporaryPrefix) &&
           name.ends_with(kTemporarySuffix) && isLowerHex(name.substr(prefix, kTemporaryDigits));
}

std::vector<LocalFile> describeLocalFiles(const std::vector<FileToUpload>& files) {
    std::vector<LocalFile> local;
    for (const FileToUpload& file : files) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(file.localPath, error);
        if (error)
            throw VeskaroError("The published file " + file.localPath + " cannot be read: " + error.message());
        local.push_back({file, size, sha256HexOfFile(file.localPath)});
    }
    return local;
}

UploadPlan planUpload(const std::vector<LocalFile>& local, const std::optional<std::vector<ManifestEntry>>& manifest,
                      const std::vector<RemoteEntry>& listing, const PlanWishes& wishes) {
    UploadPlan plan;
    plan.manifestName = manifestNameFor(pageOf(local).file.name);
    std::map<std::string, std::uint64_t> present;
    for (const RemoteEntry& entry : listing) {
        if (entry.isFile && isUploadTemporaryName(entry.name))
            plan.leftovers.push_back(entry.name);
        else if (entry.isFile)
            present[entry.name] = entry.size;
    }
    std::map<std::string, ManifestEntry> recorded;
    for (const ManifestEntry& entry : manifest.value_or(std::vector<ManifestEntry>{}))
        recorded[entry.name] = entry;

    std::set<std::string> published;
    for (const bool page : {false, true})
        for (const LocalFile& file : local)
            if (file.file.isPage == page && published.insert(file.file.name).second)
                plan.files.push_back(plannedOf(
                    file, needsUpload(file, recorded, present, wishes) ? PlanAction::Upload : PlanAction::Unchanged));
    // Only what the manifest lists and the folder still holds is stale: nothing else there is ours.
    for (const auto& [name, entry] : recorded)
        if (!published.count(name) && present.count(name) && name != plan.manifestName)
            plan.files.push_back({name, wishes.deleteStale ? PlanAction::Remove : PlanAction::KeepStale, entry.size,
                                  entry.sha256, "", false});
    return plan;
}

std::vector<ManifestEntry> manifestAfter(const UploadPlan& plan) {
    std::vector<ManifestEntry> entries;
    for (const PlannedFile& file : plan.files)
        if (file.action != PlanAction::Remove)
            entries.push_back({file.name, file.size, file.sha256});
    // Sorted, so that the same files give the same text whatever the order of the publish.
    std::sort(entries.begin(), entries.end(),
              [](const ManifestEntry& a, const ManifestEntry& b) { return a.name < b.name; });
    return entries;
}

} // namespace veskaro
