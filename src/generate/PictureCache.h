#pragma once

#include "generate/PublishedPictures.h"
#include "imaging/PictureFormat.h"
#include "imaging/SliderPicture.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace veskaro {

/// Everything a kept picture was made from. Two keys with the same text make the same bytes; a field that
/// changes the output and is missing here would hand out a stale picture, so a new kind of output (another
/// size, another format prepared from the same source) names itself in output and its settings in encoder.
struct PictureCacheKey {
    std::string sourceDigest;                  // BLAKE3 of the source file's bytes, in hexadecimal
    PictureFormat named = PictureFormat::Jpeg; // the format the source's extension names
    int sliderWidth = 0;
    int sliderHeight = 0;
    std::string output = "slider"; // which of the source's prepared pictures
    std::string encoder;           // the encoder settings that shape the bytes, as "name=value" words
    int preparationVersion = kPreparationVersion;

    /// Returns the key as one line of text, which entries carry to be told apart from any other.
    std::string text() const;
};

/// What the cache knows of a source file when it was hashed: a file with the same size, time and identity
/// is taken to hold the same bytes.
struct SourceStamp {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t device = 0;
    std::uint64_t number = 0;

    bool operator==(const SourceStamp&) const = default;
};

/// A source's digest and the stamp it was taken with.
struct SourceDigest {
    std::string digest;
    SourceStamp stamp;
};

/// Prepared pictures kept between runs in a per-user folder, so that a publish prepares only what changed.
/// An entry is one encoded picture in a file of its own, named after its key and carrying its key, length
/// and checksum: a cut, corrupt or foreign file is ignored and made again. Entries and the small records that
/// remember each source path's digest are written atomically, so several runs share the folder safely. The
/// entries used longest ago go when the folder grows past its bound. A cache that cannot be written only
/// makes publishing slower: the first such failure becomes a notice, and nothing throws. Safe to use from
/// several threads at once.
class PictureCache {
public:
    /// Keeps pictures in folder (ending in the delimiter, made when first written) within limitBytes.
    PictureCache(std::string folder, std::uint64_t limitBytes);

    const std::string& folder() const { return m_folder; }
    std::uint64_t limitBytes() const { return m_limitBytes; }

    /// Returns the digest of the source file at path, read again only when its size, modification time or
    /// file identity differ from what the record of that path holds; none when the file cannot be read.
    std::optional<SourceDigest> sourceDigest(const std::string& path);
    /// Tells whether the file at path still has the stamp its digest was taken with.
    static bool unchangedSince(const std::string& path, const SourceStamp& stamp);

    /// Returns the picture kept under key, when its entry is whole, and marks it as just used.
    std::optional<EncodedSliderPicture> find(const PictureCacheKey& key);
    /// Keeps picture under key.
    void store(const PictureCacheKey& key, const EncodedSliderPicture& picture);

    /// Removes the entries used longest ago until the folder is within its bound, and temporary files that
    /// runs which died left there long ago.
    void trim();
    /// Removes every file of the cache; returns how many it removed.
    std::size_t clear();
    /// Returns the bytes the cache's files take.
    std::uint64_t diskUse() const;

    /// Returns how many finds found their picture, and how many did not, since the cache was made.
    std::size_t hits() const { return m_hits; }
    std::size_t misses() const { return m_misses; }

    /// Returns, once, the words for the first write that failed; none when there was none or it was told.
    std::optional<std::string> takeNotice();

private:
    std::string entryPath(const std::string& keyText) const;
    std::string recordPath(const std::string& sourcePath) const;
    std::optional<std::string> recordedDigest(const std::string& sourcePath, const SourceStamp& stamp) const;
    void writeCacheFile(const std::string& path, const std::string& bytes);
    void noteFailure(const std::string& notice);

    std::string m_folder;
    std::uint64_t m_limitBytes;
    std::atomic<std::size_t> m_hits = 0;
    std::atomic<std::size_t> m_misses = 0;
    std::mutex m_mutex; // guards what follows
    bool m_failed = false;
    std::optional<std::string> m_notice;
};

/// Returns the key of a picture prepared from the source at sourcePath, whose bytes hash to sourceDigest: the
/// output's format, scale and encoder settings, and the largest scale prepared from the same decode, since an
/// own-size picture made beside a 2x one comes from another decode than one made alone.
PictureCacheKey preparedPictureKey(const std::string& sourceDigest, const std::string& sourcePath,
                                   const PublishedPicture& output, int largestScale, SliderSize slider);

/// Returns a cache in folder bounded to megabytes, or none when megabytes is 0 or there is no folder.
std::shared_ptr<PictureCache> pictureCacheIn(const std::string& folder, int megabytes);

} // namespace veskaro
