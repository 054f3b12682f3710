#include "platform/Sha256.h"

#include "platform/TextFile.h"

#include <algorithm>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VESKARO_SHA_EXTENSIONS 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace veskaro {

namespace {

constexpr std::array<std::uint32_t, 64> kRoundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::array<std::uint32_t, 8> kInitialState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr std::uint32_t rotateRight(std::uint32_t value, int bits) {
    return (value >> bits) | (value << (32 - bits));
}

#ifdef VESKARO_SHA_EXTENSIONS

// Hashing every source picture of a first publish with the portable rounds took longer than a tenth of
// the publish; the processor's SHA instructions, where it has them, do it several times as fast.
bool hasShaExtensions() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const bool ssse3 = ecx & (1u << 9), sse41 = ecx & (1u << 19);
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return false;
    return ssse3 && sse41 && (ebx & (1u << 29));
}

// Four rounds at a time on the state split as ABEF and CDGH, with the message schedule of the SHA
// instructions: each group of four words from the four before it. The state stays in registers from one
// block to the next.
__attribute__((target("sha,sse4.1,ssse3"))) void
compressWithShaExtensions(std::array<std::uint32_t, 8>& state, const std::uint8_t* blocks, std::size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bll, 0x0405060700010203ll);
    __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0])), 0xB1);
    __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4])), 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    for (const std::uint8_t* block = blocks; count > 0; --count, block += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i words[4];
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group) {
            __m128i& current = words[group % 4];
            if (group < 4) {
                current =
                    _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * group)), byteSwap);
            } else {
                const __m128i& last = words[(group + 3) % 4];
                const __m128i& beforeLast = words[(group + 2) % 4];
                __m128i next = _mm_sha256msg1_epu32(current, words[(group + 1) % 4]);
                next = _mm_add_epi32(next, _mm_alignr_epi8(last, beforeLast, 4));
                current = _mm_sha256msg2_epu32(next, last);
            }
            __m128i message = _mm_add_epi32(
                current, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRoundConstants[std::size_t(4 * group)])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
            message = _mm_shuffle_epi32(message, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}

const bool kShaExtensions = hasShaExtensions();

#endif

} // namespace

Sha256::Sha256() : m_state(kInitialState) {}

void Sha256::update(std::string_view bytes) {
    m_messageBytes += bytes.size();
    const auto* next = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t left = bytes.size();
    if (m_blockUsed > 0) {
        const std::size_t taken = std::min(left, m_block.size() - m_blockUsed);
        std::copy(next, next + taken, m_block.begin() + static_cast<std::ptrdiff_t>(m_blockUsed));
        m_blockUsed += taken;
        next += taken;
        left -= taken;
        if (m_blockUsed < m_block.size())
            return;
        compressBlocks(m_block.data(), 1);
        m_blockUsed = 0;
    }
    // Whole blocks straight from the input; only a tail waits in m_block.
    const std::size_t whole = left / m_block.size();
    compressBlocks(next, whole);
    next += whole * m_block.size();
    left -= whole * m_block.size();
    std::copy(next, next + left, m_block.begin());
    m_blockUsed = left;
}

Sha256::Digest Sha256::finish() {
    const std::uint64_t messageBits = m_messageBytes * 8;
    // The padding: one set bit, zeros up to 8 bytes short of a block, then the length in bits, big-endian.
    std::string padding(1, '\x80');
    const std::size_t used = (m_blockUsed + 1) % 64;
    padding.append(used <= 56 ? 56 - used : 120 - used, '\0');
    for (int shift = 56; shift >= 0; shift -= 8)
        padding.push_back(static_cast<char>((messageBits >> shift) & 0xff));
    update(padding);
    Digest digest{};
    for (std::size_t i = 0; i < m_state.size(); ++i)
        for (std::size_t j = 0; j < 4; ++j)
            digest[i * 4 + j] = static_cast<std::uint8_t>(m_state[i] >> (24 - 8 * j));
    *this = Sha256();
    return digest;
}

void Sha256::compressBlocks(const std::uint8_t* blocks, std::size_t count) {
#ifdef VESKARO_SHA_EXTENSIONS
    if (kShaExtensions) {
        if (count > 0)
            compressWithShaExtensions(m_state, blocks, count);
        return;
    }
#endif
    for (std::size_t k = 0; k < count; ++k)
        compressBlock(blocks + 64 * k);
}

void Sha256::compressBlock(const std::uint8_t* block) {
    std::array<std::uint32_t, 64> w{};
    for (std::size_t i = 0; i < 16; ++i)
        w[i] = std::uint32_t(block[i * 4]) << 24 | std::uint32_t(block[i * 4 + 1]) << 16 |
               std::uint32_t(block[i * 4 + 2]) << 8 | std::uint32_t(block[i * 4 + 3]);
    for (std::size_t i = 16; i < 64; ++i) {
        const std::uint32_t s0 = rotateRight(w[i - 15], 7) ^ rotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = rotateRight(w[i - 2], 17) ^ rotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = m_state;
    for (std::size_t i = 0; i < 64; ++i) {
        const std::uint32_t s1 = rotateRight(e, 6) ^ rotateRight(e, 11) ^ rotateRight(e, 25);
        const std::uint32_t choice = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + s1 + choice + kRoundConstants[i] + w[i];
        const std::uint32_t s0 = rotateRight(a, 2) ^ rotateRight(a, 13) ^ rotateRight(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + s0 + majority;
    }
    const std::array<std::uint32_t, 8> rounds = {a, b, c, d, e, f, g, h};
    for (std::size_t i = 0; i < m_state.size(); ++i)
        m_state[i] += rounds[i];
}

std::string hexOf(const Sha256::Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 15]);
    }
    return text;
}

std::string sha256Hex(std::string_view bytes) {
    Sha256 hash;
    hash.update(bytes);
    return hexOf(hash.finish());
}

std::string sha256HexOfFile(const std::string& path) {
    Sha256 hash;
    forEachPieceOfFile(path, [&](std::string_view piece) { hash.update(piece); });
    return hexOf(hash.finish());
}

} // namespace veskaro
