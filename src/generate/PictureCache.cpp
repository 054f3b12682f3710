#include "generate/PictureCache.h"

#include "imaging/PictureFormats.h"
#include "platform/Blake3.h"
#include "platform/FileIdentity.h"
#include "platform/PathText.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <utility>
#include <vector>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

constexpr const char* kEntryMagic = "veskaro-picture-cache 2";
constexpr const char* kRecordMagic = "veskaro-source-record 1";
constexpr const char* kEntrySuffix = ".picture";
constexpr const char* kRecordSuffix = ".source";

// A source written this recently may be written again within the same tick of its clock, keeping its size
// and time while its bytes change; its digest is not recorded, so the next run hashes it again.
constexpr auto kSettledAge = std::chrono::seconds(2);
// A temporary file older than this belongs to a run that died: no write takes so long.
constexpr auto kAbandonedAge = std::chrono::hours(1);

std::int64_t nanosecondsOf(fs::file_time_type time) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

std::optional<SourceStamp> stampOf(const std::string& path, fs::file_time_type* modified = nullptr) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(pathOf(path), error);
    if (error)
        return std::nullopt;
    const fs::file_time_type time = fs::last_write_time(pathOf(path), error);
    const std::optional<FileIdentity> identity = fileIdentityOf(path);
    if (error || !identity)
        return std::nullopt;
    if (modified)
        *modified = time;
    return SourceStamp{size, nanosecondsOf(time), identity->device, identity->number};
}

std::string stampText(const SourceStamp& stamp) {
    return std::to_string(stamp.size) + ' ' + std::to_string(stamp.modifiedNs) + ' ' + std::to_string(stamp.device) +
           ' ' + std::to_string(stamp.number);
}

// The entry's own check against cuts and damage, not against forgery (the key guards against files of
// other origins): 64-bit words mixed by bijective steps, so that any one changed word changes the result,
// several times as fast as SHA-256, which would take most of a cached publish's time.
std::string checksumOf(std::string_view bytes) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ bytes.size();
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        hash = std::rotl(hash ^ (word * 0xC2B2AE3D27D4EB4Full), 31) * 0x9E3779B97F4A7C15ull;
    }
    for (; at < bytes.size(); ++at)
        hash = std::rotl(hash ^ std::uint8_t(bytes[at]), 8) * 0x94D049BB133111EBull;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

const PictureFormatInfo* formatNamed(const std::string& extension) {
    for (const PictureFormatInfo& info : writtenPictureFormats())
        if (extension == info.extensions[0])
            return &info;
    return nullptr;
}

// Splits off the line that starts at position, without its LF; false when there is no whole line.
bool takeLine(const std::string& bytes, std::size_t& position, std::string& line) {
    const std::size_t end = bytes.find('\n', position);
    if (end == std::string::npos)
        return false;
    line.assign(bytes, position, end - position);
    position = end + 1;
    return true;
}

bool hasSuffix(const std::string& name, const std::string& suffix) {
    return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool isCacheFileName(const std::string& name) {
    return hasSuffix(name, kEntrySuffix) || hasSuffix(name, kRecordSuffix);
}

// Reads an entry's bytes back into its picture: the key it carries must be the one asked for, and the
// picture must have the length and checksum the entry says.
std::optional<EncodedSliderPicture> parseEntry(std::string bytes, const std::string& keyText) {
    std::size_t position = 0;
    std::string magic, key, header;
    if (!takeLine(bytes, position, magic) || magic != kEntryMagic || !takeLine(bytes, position, key) ||
        key != "key " + keyText || !takeLine(bytes, position, header))
        return std::nullopt;
    std::istringstream fields(header);
    std::string word, extension, checksum;
    int width = 0, height = 0;
    std::uint64_t length = 0;
    if (!(fields >> word >> extension >> width >> height >> length >> checksum) || word != "picture")
        return std::nullopt;
    const PictureFormatInfo* format = formatNamed(extension);
    if (!format || length != bytes.size() - position)
        return std::nullopt;
    if (checksumOf(std::string_view(bytes).substr(position)) != checksum)
        return std::nullopt;
    // The picture is what follows the header: moved to the front in place rather than copied out.
    bytes.erase(0, position);
    return EncodedSliderPicture{format->format, width, height, std::move(bytes)};
}

std::string entryText(const std::string& keyText, const EncodedSliderPicture& picture) {
    return std::string(kEntryMagic) + "\nkey " + keyText + "\npicture " + formatInfo(picture.format).extensions[0] +
           ' ' + std::to_string(picture.scaledWidth) + ' ' + std::to_string(picture.scaledHeight) + ' ' +
           std::to_string(picture.bytes.size()) + ' ' + checksumOf(picture.bytes) + '\n' + picture.bytes;
}

struct CacheFile {
    fs::path path;
    std::uint64_t size;
    fs::file_time_type used;
};

// The cache's own files, and separately the temporary files runs left behind.
std::vector<CacheFile> cacheFiles(const std::string& folder, std::vector<CacheFile>* temporaries = nullptr) {
    std::vector<CacheFile> files;
    std::error_code error;
    for (fs::directory_iterator it(pathOf(folder), error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored))
            continue;
        const std::string name = textOf(it->path().filename());
        const bool temporary = isTemporaryFileName(name);
        if (!isCacheFileName(name) && !temporary)
            continue;
        CacheFile file{it->path(), it->file_size(ignored), it->last_write_time(ignored)};
        if (!temporary)
            files.push_back(std::move(file));
        else if (temporaries)
            temporaries->push_back(std::move(file));
    }
    return files;
}

} // namespace

std::string PictureCacheKey::text() const {
    return "version=" + std::to_string(preparationVersion) + " source=" + sourceDigest +
           " named=" + formatInfo(named).extensions[0] + " slider=" + std::to_string(sliderWidth) + 'x' +
           std::to_string(sliderHeight) + " output=" + output + " encoder=" + encoder;
}

PictureCache::PictureCache(std::string folder, std::uint64_t limitBytes)
    : m_folder(std::move(folder)), m_limitBytes(limitBytes) {}

std::string PictureCache::entryPath(const std::string& keyText) const {
    return m_folder + blake3Hex(keyText) + kEntrySuffix;
}

std::string PictureCache::recordPath(const std::string& sourcePath) const {
    return m_folder + blake3Hex(sourcePath) + kRecordSuffix;
}

std::optional<std::string> PictureCache::recordedDigest(const std::string& sourcePath, const SourceStamp& stamp) const {
    std::string bytes;
    try {
        bytes = readFileBytes(recordPath(sourcePath));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::size_t position = 0;
    std::string magic, path, stampLine, digest;
    if (!takeLine(bytes, position, magic) || magic != kRecordMagic || !takeLine(bytes, position, path) ||
        path != "path " + sourcePath || !takeLine(bytes, position, stampLine) ||
        stampLine != "stamp " + stampText(stamp) || !takeLine(bytes, position, digest) || position != bytes.size() ||
        digest.size() != 7 + 64 || digest.compare(0, 7, "digest ") != 0)
        return std::nullopt;
    return digest.substr(7);
}

std::optional<SourceDigest> PictureCache::sourceDigest(const std::string& path) {
    fs::file_time_type modified;
    const std::optional<SourceStamp> stamp = stampOf(path, &modified);
    if (!stamp)
        return std::nullopt;
    if (std::optional<std::string> digest = recordedDigest(path, *stamp))
        return SourceDigest{std::move(*digest), *stamp};
    std::string digest;
    try {
        digest = blake3HexOfFile(path);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (fs::file_time_type::clock::now() - modified >= kSettledAge)
        writeCacheFile(recordPath(path), std::string(kRecordMagic) + "\npath " + path + "\nstamp " + stampText(*stamp) +
                                             "\ndigest " + digest + '\n');
    return SourceDigest{std::move(digest), *stamp};
}

bool PictureCache::unchangedSince(const std::string& path, const SourceStamp& stamp) {
    return stampOf(path) == stamp;
}

std::optional<EncodedSliderPicture> PictureCache::find(const PictureCacheKey& key) {
    const std::string keyText = key.text();
    const std::string path = entryPath(keyText);
    std::optional<EncodedSliderPicture> picture;
    try {
        picture = parseEntry(readFileBytes(path), keyText);
    } catch (const std::exception&) {
        // No entry, or one that cannot be read: the picture is made again.
    }
    ++(picture ? m_hits : m_misses);
    if (picture) {
        // Its time is when it was last used, for trimming; a cache that cannot be written keeps the old one.
        std::error_code ignored;
        fs::last_write_time(pathOf(path), fs::file_time_type::clock::now(), ignored);
    }
    return picture;
}

void PictureCache::store(const PictureCacheKey& key, const EncodedSliderPicture& picture) {
    const std::string keyText = key.text();
    writeCacheFile(entryPath(keyText), entryText(keyText, picture));
}

void PictureCache::writeCacheFile(const std::string& path, const std::string& bytes) {
    {
        // After one failure the cache is taken as unwritable for the rest of the run, rather than failing
        // the same way for every picture.
        const std::lock_guard lock(m_mutex);
        if (m_failed)
            return;
    }
    // The folder is made when a write finds it missing: at the first write, and again after a clearing
    // (by this run or another) removed it.
    for (int attempt = 0;; ++attempt) {
        try {
            // A cache file cut by a power failure fails its checks and is made again; no wait for the disk.
            writeFileAtomically(path, bytes, Durability::WorkFile);
            return;
        } catch (const std::exception& failure) {
            std::error_code error;
            // Another worker may have made the folder between this one's failed write and the check, so the
            // first failure always tries once more where the folder now is.
            if (attempt == 0) {
                fs::create_directories(pathOf(m_folder), error);
                std::error_code ignored; // the message names why the folder could not be made
                if (!fs::is_directory(pathOf(m_folder), ignored)) {
                    noteFailure("The picture cache " + m_folder + " cannot be made (" + error.message() +
                                "): every picture is prepared anew, which takes longer.");
                    return;
                }
                continue;
            }
            noteFailure("The picture cache cannot be written (" + std::string(failure.what()) +
                        "): every picture is prepared anew, which takes longer.");
            return;
        }
    }
}

void PictureCache::noteFailure(const std::string& notice) {
    const std::lock_guard lock(m_mutex);
    if (m_failed)
        return;
    m_failed = true;
    m_notice = notice;
}

std::optional<std::string> PictureCache::takeNotice() {
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_notice, std::nullopt);
}

void PictureCache::trim() {
    std::vector<CacheFile> temporaries;
    std::vector<CacheFile> files = cacheFiles(m_folder, &temporaries);
    const fs::file_time_type now = fs::file_time_type::clock::now();
    std::error_code ignored;
    for (const CacheFile& temporary : temporaries)
        if (now - temporary.used > kAbandonedAge)
            fs::remove(temporary.path, ignored);
    std::uint64_t total = 0;
    for (const CacheFile& file : files)
        total += file.size;
    if (total <= m_limitBytes)
        return;
    std::sort(files.begin(), files.end(), [](const CacheFile& a, const CacheFile& b) { return a.used < b.used; });
    for (const CacheFile& file : files) {
        if (total <= m_limitBytes)
            break;
        // Another run may have removed it or use it still; the next trim finds what is left.
        if (fs::remove(file.path, ignored))
            total -= file.size;
    }
}

std::size_t PictureCache::clear() {
    std::vector<CacheFile> temporaries;
    std::vector<CacheFile> files = cacheFiles(m_folder, &temporaries);
    files.insert(files.end(), temporaries.begin(), temporaries.end());
    std::size_t removed = 0;
    std::error_code ignored;
    for (const CacheFile& file : files)
        removed += fs::remove(file.path, ignored) ? 1 : 0;
    // A folder that holds other files stays.
    fs::remove(pathOf(m_folder), ignored);
    return removed;
}

std::uint64_t PictureCache::diskUse() const {
    std::uint64_t total = 0;
    for (const CacheFile& file : cacheFiles(m_folder))
        total += file.size;
    return total;
}

std::shared_ptr<PictureCache> pictureCacheIn(const std::string& folder, int megabytes) {
    if (megabytes <= 0 || folder.empty())
        return nullptr;
    return std::make_shared<PictureCache>(folder, std::uint64_t(megabytes) << 20);
}

PictureCacheKey preparedPictureKey(const std::string& sourceDigest, const std::string& sourcePath,
                                   const PublishedPicture& output, int largestScale, SliderSize slider) {
    PictureCacheKey key;
    key.sourceDigest = sourceDigest;
    key.named = formatFromExtension(sourcePath);
    key.sliderWidth = slider.width;
    key.sliderHeight = slider.height;
    key.output = formatInfo(output.format).extensions[0] + std::string("@") + std::to_string(output.scale) + "x";
    const EncoderSettings& settings = output.settings;
    key.encoder = "jpeg-quality=" + std::to_string(settings.jpegQuality) +
                  " jpeg-highest=" + std::to_string(settings.jpegHighestQuality) +
                  " gif-diffusion=" + std::to_string(settings.gifDiffusion) +
                  " webp-quality=" + std::to_string(settings.webpQuality) +
                  " webp-lossless=" + (settings.webpMayBeLossless ? "1" : "0") +
                  " decoded-for=" + std::to_string(largestScale) + "x";
    return key;
}

} // namespace veskaro
