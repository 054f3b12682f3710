#include "imaging/GifLzwDecoder.h"

namespace veskaro {

GifLzwDecoder::GifLzwDecoder(int minimumCodeSize, std::uint8_t* pixels, std::size_t pixelCount)
    : m_minimumCodeSize(minimumCodeSize), m_clearCode(1 << minimumCodeSize), m_endCode(m_clearCode + 1),
      m_pixels(pixels), m_pixelCount(pixelCount) {
    for (int code = 0; code < m_clearCode; ++code) {
        const auto index = static_cast<std::size_t>(code);
        m_suffix[index] = static_cast<std::uint16_t>(code);
        m_first[index] = static_cast<std::uint16_t>(code);
        m_length[index] = 1;
    }
    reset();
}

void GifLzwDecoder::reset() {
    m_codeSize = m_minimumCodeSize + 1;
    m_nextCode = m_endCode + 1;
    m_previous = kNoCode;
}

GifLzwDecoder::Status GifLzwDecoder::feed(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (m_status == Status::Ended)
            m_status = Status::DataAfterEnd;
        // Codes read from the last byte after a full image may be its padding; a further byte shows they were not.
        if (m_extraCodes)
            m_status = Status::TooManyPixels;
        if (m_status != Status::Open)
            return m_status;
        m_bits |= static_cast<std::uint32_t>(data[i]) << m_bitCount;
        m_bitCount += 8;
        while (m_bitCount >= m_codeSize && m_status == Status::Open) {
            const int code = static_cast<int>(m_bits & ((1u << m_codeSize) - 1));
            m_bits >>= m_codeSize;
            m_bitCount -= m_codeSize;
            takeCode(code);
        }
    }
    return m_status;
}

void GifLzwDecoder::takeCode(int code) {
    if (m_written == m_pixelCount && code != m_clearCode) {
        if (code == m_endCode)
            m_status = m_extraCodes ? Status::TooManyPixels : Status::Ended;
        else
            m_extraCodes = true;
        return;
    }
    if (code == m_clearCode) {
        reset();
        return;
    }
    if (code == m_endCode) {
        m_status = Status::Ended;
        return;
    }
    if (m_previous == kNoCode) {
        if (code > m_clearCode) {
            m_status = Status::InvalidCode;
            return;
        }
        emit(code);
        m_previous = code;
        return;
    }
    if (code < m_nextCode) {
        emit(code);
        addEntry(m_previous, m_first[static_cast<std::size_t>(code)]);
    } else if (code == m_nextCode && m_nextCode < kTableSize) {
        // The code about to be defined: the previous string followed by its own first value.
        addEntry(m_previous, m_first[static_cast<std::size_t>(m_previous)]);
        emit(code);
    } else {
        m_status = Status::InvalidCode;
        return;
    }
    m_previous = code;
}

void GifLzwDecoder::addEntry(int prefix, std::uint16_t suffix) {
    // A full table stays as it is until a clear code: encoders may defer the clear.
    if (m_nextCode >= kTableSize)
        return;
    const auto entry = static_cast<std::size_t>(m_nextCode);
    const auto from = static_cast<std::size_t>(prefix);
    m_prefix[entry] = static_cast<std::uint16_t>(prefix);
    m_suffix[entry] = suffix;
    m_first[entry] = m_first[from];
    m_length[entry] = static_cast<std::uint16_t>(m_length[from] + 1);
    ++m_nextCode;
    if (m_nextCode == (1 << m_codeSize) && m_codeSize < kMaxCodeSize)
        ++m_codeSize;
}

void GifLzwDecoder::emit(int code) {
    auto index = static_cast<std::size_t>(code);
    const std::size_t length = m_length[index];
    for (std::size_t i = length; i-- > 0;) {
        m_stack[i] = m_suffix[index];
        index = m_prefix[index];
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (m_written == m_pixelCount) {
            m_status = Status::TooManyPixels;
            return;
        }
        if (m_stack[i] > 0xFF) {
            m_status = Status::ValueTooLarge;
            return;
        }
        m_pixels[m_written++] = static_cast<std::uint8_t>(m_stack[i]);
    }
}

} // namespace veskaro
