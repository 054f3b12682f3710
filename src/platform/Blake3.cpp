#include "platform/Blake3.h"

#include "platform/Sha256.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VESKARO_WIDE_VECTORS 1
#include <cpuid.h>
#endif

namespace veskaro {

namespace {

using Words = std::array<std::uint32_t, 8>;
using Block = std::array<std::uint32_t, 16>;

constexpr Words kInitialValue = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                 0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};
// Where each message word comes from in the next round.
constexpr std::array<std::size_t, 16> kPermutation = {2, 6, 3, 10, 7, 0, 4, 13, 1, 11, 12, 5, 9, 14, 15, 8};
constexpr std::size_t kRounds = 7;
constexpr std::size_t kBlockBytes = 64;
constexpr std::size_t kBlocksPerChunk = Blake3::kChunkBytes / kBlockBytes;
constexpr std::uint32_t kChunkStart = 1, kChunkEnd = 2, kParent = 4, kRoot = 8;
constexpr std::size_t kLanes = 8;

// Eight chunks or eight parents at once, lane k holding node k's words; the compiler spreads the vectors over
// what the processor has. The round function is written once for plain words and for these vectors, which
// have the same operators.
using Lanes = std::uint32_t __attribute__((vector_size(4 * kLanes)));
using LaneBytes = std::uint8_t __attribute__((vector_size(4 * kLanes)));

// Turning by 16 or 8 moves whole bytes: one shuffle instead of two shifts and an or.
template <int kBits, typename Word> inline __attribute__((always_inline)) void rotateRight(Word& value) {
    if constexpr (std::is_same_v<Word, Lanes> && kBits == 16) {
        value =
            Lanes(__builtin_shufflevector(LaneBytes(value), LaneBytes(value), 2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14,
                                          15, 12, 13, 18, 19, 16, 17, 22, 23, 20, 21, 26, 27, 24, 25, 30, 31, 28, 29));
    } else if constexpr (std::is_same_v<Word, Lanes> && kBits == 8) {
        value =
            Lanes(__builtin_shufflevector(LaneBytes(value), LaneBytes(value), 1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13,
                                          14, 15, 12, 17, 18, 19, 16, 21, 22, 23, 20, 25, 26, 27, 24, 29, 30, 31, 28));
    } else {
        value = (value >> kBits) | (value << (32 - kBits));
    }
}

template <typename Word>
inline __attribute__((always_inline)) void mix(std::array<Word, 16>& v, std::size_t a, std::size_t b, std::size_t c,
                                               std::size_t d, const Word& x, const Word& y) {
    v[a] += v[b] + x;
    v[d] ^= v[a];
    rotateRight<16>(v[d]);
    v[c] += v[d];
    v[b] ^= v[c];
    rotateRight<12>(v[b]);
    v[a] += v[b] + y;
    v[d] ^= v[a];
    rotateRight<8>(v[d]);
    v[c] += v[d];
    v[b] ^= v[c];
    rotateRight<7>(v[b]);
}

// Seven rounds over the state, the message words permuted between rounds.
template <typename Word>
inline __attribute__((always_inline)) void rounds(std::array<Word, 16>& v, std::array<Word, 16> message) {
#pragma GCC unroll 7
    for (std::size_t round = 0; round < kRounds; ++round) {
        const std::array<Word, 16>& m = message;
        mix(v, 0, 4, 8, 12, m[0], m[1]);
        mix(v, 1, 5, 9, 13, m[2], m[3]);
        mix(v, 2, 6, 10, 14, m[4], m[5]);
        mix(v, 3, 7, 11, 15, m[6], m[7]);
        mix(v, 0, 5, 10, 15, m[8], m[9]);
        mix(v, 1, 6, 11, 12, m[10], m[11]);
        mix(v, 2, 7, 8, 13, m[12], m[13]);
        mix(v, 3, 4, 9, 14, m[14], m[15]);
        std::array<Word, 16> permuted;
        for (std::size_t i = 0; i < 16; ++i)
            permuted[i] = message[kPermutation[i]];
        message = permuted;
    }
}

Block littleEndianWords(const std::uint8_t* bytes) {
    Block words;
    std::memcpy(words.data(), bytes, kBlockBytes);
    if constexpr (std::endian::native == std::endian::big)
        for (std::uint32_t& word : words)
            word = __builtin_bswap32(word);
    return words;
}

Block blockWords(const std::uint8_t* bytes, std::size_t length) {
    std::array<std::uint8_t, kBlockBytes> padded{};
    std::copy(bytes, bytes + length, padded.begin());
    return littleEndianWords(padded.data());
}

/// What the last compression of a node takes; hashed once it is known whether the node is the root.
struct Output {
    Words value;
    Block block;
    std::uint64_t counter;
    std::uint32_t length;
    std::uint32_t flags;
};

Words compress(const Output& in, std::uint32_t extraFlags = 0) {
    std::array<std::uint32_t, 16> v{};
    std::copy(in.value.begin(), in.value.end(), v.begin());
    std::copy(kInitialValue.begin(), kInitialValue.begin() + 4, v.begin() + 8);
    v[12] = std::uint32_t(in.counter);
    v[13] = std::uint32_t(in.counter >> 32);
    v[14] = in.length;
    v[15] = in.flags | extraFlags;
    rounds(v, in.block);
    Words out;
    for (std::size_t i = 0; i < 8; ++i)
        out[i] = v[i] ^ v[i + 8];
    return out;
}

// Returns the chunk's last block, ready for its last compression; length may be 0 only for the empty message.
Output chunkOutput(const std::uint8_t* bytes, std::size_t length, std::uint64_t counter) {
    Words value = kInitialValue;
    std::size_t at = 0;
    std::uint32_t start = kChunkStart;
    for (; length - at > kBlockBytes; at += kBlockBytes, start = 0)
        value = compress({value, blockWords(bytes + at, kBlockBytes), counter, kBlockBytes, start});
    return {value, blockWords(bytes + at, length - at), counter, std::uint32_t(length - at), start | kChunkEnd};
}

Output parentOutput(const Words& left, const Words& right) {
    Block block;
    std::copy(left.begin(), left.end(), block.begin());
    std::copy(right.begin(), right.end(), block.begin() + 8);
    return {kInitialValue, block, 0, kBlockBytes, kParent};
}

using LaneWords = std::array<Lanes, 8>;

inline __attribute__((always_inline)) void fill(Lanes& lanes, std::uint32_t word) {
    for (std::size_t lane = 0; lane < kLanes; ++lane)
        lanes[lane] = word;
}

// Turns words first..first+7 of eight blocks, stride bytes apart, into eight vectors, one per word, by
// interleaving in three steps: pairs of words, pairs of pairs, halves. Message bytes are little-endian;
// chaining values are words already.
template <bool kFromBytes>
inline __attribute__((always_inline)) void transposeWords(const std::uint8_t* blocks, std::size_t stride,
                                                          std::size_t first, Lanes* out) {
    std::array<Lanes, kLanes> row;
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        std::memcpy(&row[lane], blocks + lane * stride + 4 * first, sizeof(Lanes));
        if constexpr (kFromBytes && std::endian::native == std::endian::big)
            for (std::size_t i = 0; i < kLanes; ++i)
                row[lane][i] = __builtin_bswap32(row[lane][i]);
    }
    std::array<Lanes, kLanes> pairs, quads;
    for (std::size_t k = 0; k < kLanes; k += 2) {
        pairs[k] = __builtin_shufflevector(row[k], row[k + 1], 0, 8, 1, 9, 4, 12, 5, 13);
        pairs[k + 1] = __builtin_shufflevector(row[k], row[k + 1], 2, 10, 3, 11, 6, 14, 7, 15);
    }
    for (std::size_t k = 0; k < kLanes; k += 4)
        for (std::size_t j = 0; j < 2; ++j) {
            quads[k + 2 * j] = __builtin_shufflevector(pairs[k + j], pairs[k + j + 2], 0, 1, 8, 9, 4, 5, 12, 13);
            quads[k + 2 * j + 1] = __builtin_shufflevector(pairs[k + j], pairs[k + j + 2], 2, 3, 10, 11, 6, 7, 14, 15);
        }
    for (std::size_t k = 0; k < 4; ++k) {
        out[k] = __builtin_shufflevector(quads[k], quads[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        out[k + 4] = __builtin_shufflevector(quads[k], quads[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}

// One compression in each lane of eight blocks, stride bytes apart.
template <bool kFromBytes>
inline __attribute__((always_inline)) void compressLanes(LaneWords& value, const std::uint8_t* blocks,
                                                         std::size_t stride, const Lanes& counterLow,
                                                         const Lanes& counterHigh, std::uint32_t flags) {
    std::array<Lanes, 16> message;
    transposeWords<kFromBytes>(blocks, stride, 0, &message[0]);
    transposeWords<kFromBytes>(blocks, stride, 8, &message[8]);
    std::array<Lanes, 16> v{};
    for (std::size_t i = 0; i < 8; ++i)
        v[i] = value[i];
    for (std::size_t i = 0; i < 4; ++i)
        fill(v[i + 8], kInitialValue[i]);
    v[12] = counterLow;
    v[13] = counterHigh;
    fill(v[14], kBlockBytes);
    fill(v[15], flags);
    rounds(v, message);
    for (std::size_t i = 0; i < 8; ++i)
        value[i] = v[i] ^ v[i + 8];
}

inline __attribute__((always_inline)) void storeLanes(const LaneWords& value, Words* out) {
    for (std::size_t lane = 0; lane < kLanes; ++lane)
        for (std::size_t i = 0; i < 8; ++i)
            out[lane][i] = value[i][lane];
}

inline __attribute__((always_inline)) LaneWords initialLanes() {
    LaneWords value{};
    for (std::size_t i = 0; i < 8; ++i)
        fill(value[i], kInitialValue[i]);
    return value;
}

inline __attribute__((always_inline)) void hashEightChunks(const std::uint8_t* chunks, std::uint64_t counter,
                                                           Words* out) {
    LaneWords value = initialLanes();
    Lanes counterLow{}, counterHigh{};
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        counterLow[lane] = std::uint32_t(counter + lane);
        counterHigh[lane] = std::uint32_t((counter + lane) >> 32);
    }
    for (std::size_t block = 0; block < kBlocksPerChunk; ++block) {
        const std::uint32_t flags = (block == 0 ? kChunkStart : 0) | (block + 1 == kBlocksPerChunk ? kChunkEnd : 0);
        compressLanes<true>(value, chunks + block * kBlockBytes, Blake3::kChunkBytes, counterLow, counterHigh, flags);
    }
    storeLanes(value, out);
}

// The parents of sixteen chaining values, each pair side by side; out may be where they are.
inline __attribute__((always_inline)) void hashEightParents(const Words* children, Words* out) {
    LaneWords value = initialLanes();
    compressLanes<false>(value, reinterpret_cast<const std::uint8_t*>(children), 2 * sizeof(Words), Lanes{}, Lanes{},
                         kParent);
    storeLanes(value, out);
}

// The chaining value of a whole subtree of chunks: its chunks eight at a time, then each level of parents
// eight at a time down to the last eight.
inline __attribute__((always_inline)) Words hashSubtreeWith(const std::uint8_t* chunks, std::uint64_t counter) {
    std::array<Words, Blake3::kSubtreeChunks> values;
    for (std::size_t k = 0; k < Blake3::kSubtreeChunks; k += kLanes)
        hashEightChunks(chunks + k * Blake3::kChunkBytes, counter + k, &values[k]);
    std::size_t count = Blake3::kSubtreeChunks;
    for (; count > kLanes; count /= 2)
        for (std::size_t k = 0; k < count; k += 2 * kLanes)
            hashEightParents(&values[k], &values[k / 2]);
    for (; count > 1; count /= 2)
        for (std::size_t k = 0; k < count; k += 2)
            values[k / 2] = compress(parentOutput(values[k], values[k + 1]));
    return values[0];
}

void hashEightChunksPortably(const std::uint8_t* chunks, std::uint64_t counter, Words* out) {
    hashEightChunks(chunks, counter, out);
}

Words hashSubtreePortably(const std::uint8_t* chunks, std::uint64_t counter) {
    return hashSubtreeWith(chunks, counter);
}

#ifdef VESKARO_WIDE_VECTORS

__attribute__((target("avx2"))) void hashEightChunksWithAvx2(const std::uint8_t* chunks, std::uint64_t counter,
                                                             Words* out) {
    hashEightChunks(chunks, counter, out);
}

__attribute__((target("avx2"))) Words hashSubtreeWithAvx2(const std::uint8_t* chunks, std::uint64_t counter) {
    return hashSubtreeWith(chunks, counter);
}

// AVX2 needs the processor's instructions and the system's saving of the wide registers.
bool hasAvx2() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & (1u << 27)))
        return false;
    unsigned low = 0, high = 0;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 6u) != 6u || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return false;
    return ebx & (1u << 5);
}

const bool kAvx2 = hasAvx2();
const auto kHashEightChunks = kAvx2 ? hashEightChunksWithAvx2 : hashEightChunksPortably;
const auto kHashSubtree = kAvx2 ? hashSubtreeWithAvx2 : hashSubtreePortably;

#else

const auto kHashEightChunks = hashEightChunksPortably;
const auto kHashSubtree = hashSubtreePortably;

#endif

} // namespace

void Blake3::addValue(const Words& value, std::uint64_t chunks) {
    // Each pair of equal subtrees becomes their parent, as in adding to a binary counter.
    Words merged = value;
    m_chunksDone += chunks;
    for (std::uint64_t total = m_chunksDone / chunks; (total & 1) == 0; total >>= 1)
        merged = compress(parentOutput(m_stack[--m_stackSize], merged));
    m_stack[m_stackSize++] = merged;
}

void Blake3::update(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    std::size_t left = text.size();
    while (left > 0) {
        if (m_buffer.size() == kSubtreeBytes) {
            addValue(kHashSubtree(m_buffer.data(), m_chunksDone), kSubtreeChunks);
            m_buffer.clear();
        }
        // A subtree with more bytes after it cannot hold the root's chunk.
        if (m_buffer.empty() && left > kSubtreeBytes) {
            addValue(kHashSubtree(bytes, m_chunksDone), kSubtreeChunks);
            bytes += kSubtreeBytes;
            left -= kSubtreeBytes;
            continue;
        }
        const std::size_t taken = std::min(left, kSubtreeBytes - m_buffer.size());
        m_buffer.insert(m_buffer.end(), bytes, bytes + taken);
        bytes += taken;
        left -= taken;
    }
}

Blake3::Digest Blake3::finish() {
    // The buffer holds the last chunks, the very last of them perhaps short or empty.
    const std::uint8_t* tail = m_buffer.data();
    const std::size_t used = m_buffer.size();
    const std::size_t whole = used == 0 ? 0 : (used - 1) / kChunkBytes;
    std::size_t chunk = 0;
    for (; chunk + kLanes <= whole; chunk += kLanes) {
        std::array<Words, kLanes> values;
        kHashEightChunks(tail + chunk * kChunkBytes, m_chunksDone, values.data());
        for (const Words& value : values)
            addValue(value, 1);
    }
    for (; chunk < whole; ++chunk)
        addValue(compress(chunkOutput(tail + chunk * kChunkBytes, kChunkBytes, m_chunksDone)), 1);
    Output output = chunkOutput(tail + whole * kChunkBytes, used - whole * kChunkBytes, m_chunksDone);
    while (m_stackSize > 0)
        output = parentOutput(m_stack[--m_stackSize], compress(output));
    const Words root = compress(output, kRoot);
    Digest digest;
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t j = 0; j < 4; ++j)
            digest[4 * i + j] = std::uint8_t(root[i] >> (8 * j));
    m_buffer.clear();
    m_chunksDone = 0;
    return digest;
}

std::string blake3Hex(std::string_view bytes) {
    Blake3 hash;
    hash.update(bytes);
    return hexOf(hash.finish());
}

std::string blake3HexOfFile(const std::string& path) {
    Blake3 hash;
    forEachPieceOfFile(path, [&](std::string_view piece) { hash.update(piece); });
    return hexOf(hash.finish());
}

} // namespace veskaro
