#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace veskaro {

/// Decodes the LZW-compressed pixels of one GIF image, one data sub-block at a time, into a buffer of
/// exactly the image's pixel count. giflib's own line decoder accepts streams with too many pixels or
/// garbage after the end code; this one reports them so the caller can refuse the file.
class GifLzwDecoder {
public:
    enum class Status {
        Open,          // waiting for more data
        Ended,         // the end code came
        InvalidCode,   // a code that is not yet in the table
        TooManyPixels, // more pixels than the image holds
        ValueTooLarge, // a pixel value above 255, which no colour table holds
        DataAfterEnd,  // bytes after the end code
    };

    /// Starts decoding with the image's minimum code size (1 to 11) into pixels[0 .. pixelCount).
    GifLzwDecoder(int minimumCodeSize, std::uint8_t* pixels, std::size_t pixelCount);

    /// Decodes one sub-block of data and returns the status after it; after an error it stays put.
    Status feed(const std::uint8_t* data, std::size_t size);

    Status status() const { return m_status; }
    std::size_t pixelsWritten() const { return m_written; }

private:
    static constexpr int kMaxCodeSize = 12;
    static constexpr int kTableSize = 1 << kMaxCodeSize;
    static constexpr int kNoCode = -1;

    void reset();
    void takeCode(int code);
    void addEntry(int prefix, std::uint16_t suffix);
    void emit(int code);

    int m_minimumCodeSize;
    int m_clearCode;
    int m_endCode;
    int m_codeSize = 0;
    int m_nextCode = 0;
    int m_previous = kNoCode;
    std::uint32_t m_bits = 0;
    int m_bitCount = 0;

    std::array<std::uint16_t, kTableSize> m_prefix{};
    std::array<std::uint16_t, kTableSize> m_suffix{};
    std::array<std::uint16_t, kTableSize> m_first{};
    std::array<std::uint16_t, kTableSize> m_length{};
    std::array<std::uint16_t, kTableSize> m_stack{};

    std::uint8_t* m_pixels;
    std::size_t m_pixelCount;
    std::size_t m_written = 0;
    bool m_extraCodes = false; // codes for pixels the image has no room for, unless they are the last byte's padding
    Status m_status = Status::Open;
};

} // namespace veskaro
