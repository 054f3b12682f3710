#include "TestFolders.h"

#include "generate/PictureCache.h"
#include "platform/Blake3.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

using namespace veskaro;
using veskaro::test::namesIn;
using veskaro::test::readBytes;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

namespace {

PictureCacheKey keyOf(const std::string& digest, int width = 64) {
    PictureCacheKey key;
    key.sourceDigest = digest;
    key.named = PictureFormat::Jpeg;
    key.sliderWidth = width;
    key.sliderHeight = 48;
    key.encoder = "jpeg-quality=90";
    return key;
}

EncodedSliderPicture pictureOf(const std::string& bytes) {
    return {PictureFormat::Jpeg, 64, 40, bytes};
}

void age(const fs::path& path, std::chrono::seconds by) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - by);
}

class PictureCacheTest : public testing::Test {
protected:
    std::string folder() const { return m_root / "cache/"; }
    // The one entry file the cache holds.
    fs::path onlyEntry() const {
        for (const std::string& name : namesIn(folder()))
            if (name.ends_with(".picture"))
                return fs::path(folder()) / name;
        return {};
    }
    fs::path onlyEntryFor(const std::string& digest) const {
        return fs::path(folder()) / (blake3Hex(keyOf(digest).text()) + ".picture");
    }

    TemporaryFolder m_root;
    PictureCache m_cache{folder(), 1 << 20};
};

} // namespace

TEST_F(PictureCacheTest, GivesBackWhatWasKeptUnderTheSameKeyOnly) {
    m_cache.store(keyOf("aa"), pictureOf("the picture"));
    const std::optional<EncodedSliderPicture> found = m_cache.find(keyOf("aa"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->bytes, "the picture");
    EXPECT_EQ(found->format, PictureFormat::Jpeg);
    EXPECT_EQ(found->scaledWidth, 64);
    EXPECT_EQ(found->scaledHeight, 40);
    EXPECT_FALSE(m_cache.find(keyOf("ab")));
    EXPECT_FALSE(m_cache.find(keyOf("aa", 65)));
    PictureCacheKey older = keyOf("aa");
    older.preparationVersion = kPreparationVersion - 1;
    EXPECT_FALSE(m_cache.find(older)) << "a picture an older preparation made is not used";
    PictureCacheKey otherOutput = keyOf("aa");
    otherOutput.output = "slider-2x";
    EXPECT_FALSE(m_cache.find(otherOutput));
    EXPECT_EQ(m_cache.hits(), 1u);
    EXPECT_EQ(m_cache.misses(), 4u);
    EXPECT_FALSE(m_cache.takeNotice());
}

// Each way an entry can be damaged: by a power failure, by another program, by a file copied in.
struct DamagedEntry {
    const char* name;
    std::string (*damage)(std::string entry);
};

void PrintTo(const DamagedEntry& e, std::ostream* out) {
    *out << e.name;
}

class DamagedEntries : public PictureCacheTest, public testing::WithParamInterface<DamagedEntry> {};

TEST_P(DamagedEntries, AreIgnoredAndMadeAgain) {
    m_cache.store(keyOf("aa"), pictureOf("the picture bytes"));
    const fs::path entry = onlyEntry();
    writeBytes(entry, GetParam().damage(readBytes(entry)));
    EXPECT_FALSE(m_cache.find(keyOf("aa")));
    m_cache.store(keyOf("aa"), pictureOf("the picture bytes"));
    ASSERT_TRUE(m_cache.find(keyOf("aa")));
    EXPECT_EQ(m_cache.find(keyOf("aa"))->bytes, "the picture bytes");
}

INSTANTIATE_TEST_SUITE_P(
    PictureCache, DamagedEntries,
    testing::Values(DamagedEntry{"cut", [](std::string entry) { return entry.substr(0, entry.size() - 3); }},
                    DamagedEntry{"lengthened", [](std::string entry) { return entry + "x"; }},
                    DamagedEntry{"flipped",
                                 [](std::string entry) {
                                     entry[entry.size() - 2] ^= 1;
                                     return entry;
                                 }},
                    DamagedEntry{"empty", [](std::string) { return std::string(); }},
                    DamagedEntry{"headerOnly", [](std::string entry) { return entry.substr(0, entry.find('\n') + 1); }},
                    DamagedEntry{"foreignKey",
                                 [](std::string entry) {
                                     const std::size_t at = entry.find("source=aa");
                                     return entry.replace(at, 9, "source=bb");
                                 }},
                    DamagedEntry{"unknownFormat",
                                 [](std::string entry) {
                                     const std::size_t at = entry.find("picture jpg");
                                     return entry.replace(at, 11, "picture tif");
                                 }},
                    DamagedEntry{"otherProgram", [](std::string) { return std::string("PK\x03\x04 an archive"); }}),
    [](const testing::TestParamInfo<DamagedEntry>& row) { return std::string(row.param.name); });

TEST_F(PictureCacheTest, TrimDropsTheEntriesUsedLongestAgo) {
    // Room for three entries of about 1200 bytes, not four.
    PictureCache small(folder(), 4000);
    const std::string kilobyte(1000, 'x');
    for (const char* digest : {"01", "02", "03", "04"})
        small.store(keyOf(digest), pictureOf(kilobyte));
    // Stored in order long ago; the first then used again, just now.
    int hoursAgo = 10;
    for (const char* digest : {"01", "02", "03", "04"}) {
        small.find(keyOf(digest));
        age(onlyEntryFor(digest), std::chrono::hours(hoursAgo--));
    }
    ASSERT_TRUE(small.find(keyOf("01")));
    small.trim();
    EXPECT_LE(small.diskUse(), 4000u);
    EXPECT_TRUE(small.find(keyOf("01"))) << "used last";
    EXPECT_FALSE(small.find(keyOf("02"))) << "used longest ago";
    EXPECT_TRUE(small.find(keyOf("03")));
    EXPECT_TRUE(small.find(keyOf("04")));
}

TEST_F(PictureCacheTest, TrimRemovesOnlyTemporaryFilesLongAbandoned) {
    fs::create_directories(folder());
    writeBytes(folder() + "a.picture.0123456789abcdef.tmp", "old");
    writeBytes(folder() + "b.picture.0123456789abcdee.tmp", "being written");
    writeBytes(folder() + "notes.txt", "the user's");
    age(folder() + "a.picture.0123456789abcdef.tmp", std::chrono::hours(2));
    m_cache.trim();
    EXPECT_EQ(namesIn(folder()), (std::set<std::string>{"b.picture.0123456789abcdee.tmp", "notes.txt"}));
}

TEST_F(PictureCacheTest, ClearRemovesTheCachesFilesAndNothingElse) {
    m_cache.store(keyOf("aa"), pictureOf("one"));
    m_cache.store(keyOf("bb"), pictureOf("two"));
    writeBytes(folder() + "notes.txt", "the user's");
    EXPECT_EQ(m_cache.clear(), 2u);
    EXPECT_EQ(namesIn(folder()), std::set<std::string>{"notes.txt"});
    fs::remove(folder() + "notes.txt");
    m_cache.store(keyOf("aa"), pictureOf("one"));
    m_cache.clear();
    EXPECT_FALSE(fs::exists(folder())) << "an emptied folder goes";
}

TEST_F(PictureCacheTest, KeepsWorkingAfterItsFolderWasClearedAway) {
    m_cache.store(keyOf("aa"), pictureOf("one"));
    PictureCache(folder(), 0).clear();
    ASSERT_FALSE(fs::exists(folder()));
    m_cache.store(keyOf("bb"), pictureOf("two"));
    ASSERT_TRUE(m_cache.find(keyOf("bb")));
    EXPECT_EQ(m_cache.find(keyOf("bb"))->bytes, "two");
    EXPECT_FALSE(m_cache.takeNotice());
}

TEST_F(PictureCacheTest, TwoWorkersThatFindItsFolderMissingBothKeepTheirPictures) {
    // The folder is made by whichever write comes first; the other must not take the folder it finds
    // made meanwhile for a failure. A race, so tried many times over.
    for (int round = 0; round < 200; ++round) {
        PictureCache cache(m_root / ("race" + std::to_string(round) + "/"), 1 << 20);
        std::atomic<bool> go = false;
        const auto keep = [&](const std::string& digest) {
            while (!go)
                std::this_thread::yield();
            cache.store(keyOf(digest), pictureOf(digest));
        };
        std::thread first(keep, "aa"), second(keep, "bb");
        go = true;
        first.join();
        second.join();
        ASSERT_FALSE(cache.takeNotice()) << "round " << round;
        EXPECT_TRUE(cache.find(keyOf("aa")) && cache.find(keyOf("bb"))) << "round " << round;
    }
}

TEST_F(PictureCacheTest, AFolderThatCannotBeMadeSaysSoOnceAndNeverThrows) {
    writeBytes(m_root / "blocked", "a file where the folder would be");
    PictureCache blocked(m_root / "blocked/cache/", 1 << 20);
    blocked.store(keyOf("aa"), pictureOf("one"));
    blocked.store(keyOf("bb"), pictureOf("two"));
    EXPECT_FALSE(blocked.find(keyOf("aa")));
    const std::optional<std::string> notice = blocked.takeNotice();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->find("The picture cache " + (m_root / "blocked/cache/") + " cannot be made"), std::string::npos)
        << *notice;
    EXPECT_NE(notice->find("every picture is prepared anew"), std::string::npos) << *notice;
    EXPECT_FALSE(blocked.takeNotice()) << "said once";
    EXPECT_FALSE(blocked.sourceDigest(m_root / "missing.jpg"));
}

TEST_F(PictureCacheTest, AnUnchangedSourceIsNotReadAgain) {
    const std::string source = m_root / "beach.jpg";
    writeBytes(source, "first bytes");
    age(source, std::chrono::hours(1));
    const std::optional<SourceDigest> first = m_cache.sourceDigest(source);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->digest, blake3Hex("first bytes"));

    // Bytes changed behind the cache's back, in place, with size and time kept: only a hash would tell, and
    // the record is trusted instead.
    const fs::file_time_type time = fs::last_write_time(source);
    {
        std::fstream file(source, std::ios::in | std::ios::out | std::ios::binary);
        file.write("FIRST", 5);
    }
    fs::last_write_time(source, time);
    EXPECT_EQ(m_cache.sourceDigest(source)->digest, first->digest);

    // A new time is an edit: hashed again.
    age(source, std::chrono::minutes(30));
    EXPECT_EQ(m_cache.sourceDigest(source)->digest, blake3Hex("FIRST bytes"));
}

TEST_F(PictureCacheTest, AFreshlyWrittenSourceIsHashedEachTime) {
    const std::string source = m_root / "beach.jpg";
    writeBytes(source, "first bytes");
    // Written "now" however slowly the test runs: a minute from now.
    const fs::file_time_type time = fs::file_time_type::clock::now() + std::chrono::minutes(1);
    fs::last_write_time(source, time);
    EXPECT_EQ(m_cache.sourceDigest(source)->digest, blake3Hex("first bytes"));
    writeBytes(source, "other bytes");
    fs::last_write_time(source, time);
    EXPECT_EQ(m_cache.sourceDigest(source)->digest, blake3Hex("other bytes"))
        << "a second write within its clock's tick keeps size and time";
}

TEST_F(PictureCacheTest, KnowsWhetherASourceChangedSinceItsDigest) {
    const std::string source = m_root / "beach.jpg";
    writeBytes(source, "first bytes");
    age(source, std::chrono::hours(1));
    const SourceStamp stamp = m_cache.sourceDigest(source)->stamp;
    EXPECT_TRUE(PictureCache::unchangedSince(source, stamp));
    writeBytes(source, "other bytes");
    EXPECT_FALSE(PictureCache::unchangedSince(source, stamp));
    fs::remove(source);
    EXPECT_FALSE(PictureCache::unchangedSince(source, stamp));
}

TEST(PictureCacheIn, IsNoneWhenTurnedOffOrWithoutAFolder) {
    EXPECT_FALSE(pictureCacheIn("/tmp/x/", 0));
    EXPECT_FALSE(pictureCacheIn("", 1024));
    const std::shared_ptr<PictureCache> cache = pictureCacheIn("/tmp/x/", 1024);
    ASSERT_TRUE(cache);
    EXPECT_EQ(cache->limitBytes(), 1024ull << 20);
}
