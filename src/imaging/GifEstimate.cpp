#include "imaging/GifEstimate.h"

#include "imaging/DecodeLimits.h"
#include "imaging/GifBlockWalker.h"
#include "imaging/LittleEndian.h"

#include <algorithm>
#include <array>

namespace veskaro {

namespace {

constexpr int kDisposeToPrevious = 3;

class GifEstimate : GifBlockWalker {
public:
    explicit GifEstimate(ByteSource& source) : GifBlockWalker(source) {}

    std::uint64_t bytes() {
        std::array<std::uint8_t, 13> header{};
        if (!m_source.readExactly(header.data(), header.size()) || !skipColourTable(header[10]))
            return 0;
        m_screenWidth = readLe16(&header[6]);
        m_screenHeight = readLe16(&header[8]);
        // Every image is counted, also those after the first frame, which are never decoded: the estimate
        // may err only upwards.
        for (int introducer = nextByte(); introducer == kGifExtensionIntroducer || introducer == kGifImageSeparator;
             introducer = nextByte())
            if (!(introducer == kGifExtensionIntroducer ? readExtension() : readImage()))
                break;
        if (m_canvasPixels == 0)
            return 0;
        return gifPeakBytes(m_canvasPixels, m_largestImageBytes);
    }

private:
    bool skipColourTable(std::uint8_t packed) { return (packed & 0x80) == 0 || skip(3u << ((packed & 0x07) + 1)); }

    bool skipSubBlocks() {
        for (int length = nextByte(); length != 0; length = nextByte())
            if (length < 0 || !skip(static_cast<std::size_t>(length)))
                return false;
        return true;
    }

    bool readExtension() {
        const int label = nextByte();
        if (label != kGifGraphicControlLabel)
            return label >= 0 && skipSubBlocks();
        // The decoder refuses a graphic control of another length; until then it counts as none.
        const int length = nextByte();
        if (length != 4)
            return length == 0 || (length > 0 && skip(static_cast<std::size_t>(length)) && skipSubBlocks());
        std::array<std::uint8_t, 4> control{};
        if (!m_source.readExactly(control.data(), control.size()))
            return false;
        m_restoresNext = (control[0] >> 2 & 0x07) == kDisposeToPrevious;
        return skipSubBlocks();
    }

    bool readImage() {
        std::array<std::uint8_t, 9> descriptor{};
        if (!m_source.readExactly(descriptor.data(), descriptor.size()))
            return false;
        const std::uint64_t left = readLe16(&descriptor[0]), top = readLe16(&descriptor[2]);
        const std::uint64_t width = readLe16(&descriptor[4]), height = readLe16(&descriptor[6]);
        if (m_canvasPixels == 0 && !startCanvas(left + width, top + height))
            return false;
        // An image the decoder refuses for its size takes no memory; the decoder stops there.
        if (width > 0 && height > 0 && pictureSizeProblem(std::int64_t(width), std::int64_t(height)).empty()) {
            const std::uint64_t restored =
                m_restoresNext ? 3 * std::min(width, m_canvasWidth) * std::min(height, m_canvasHeight) : 0;
            m_largestImageBytes = std::max(m_largestImageBytes, width * height + restored);
        }
        m_restoresNext = false;
        return skipColourTable(descriptor[8]) && nextByte() >= 0 && skipSubBlocks();
    }

    // A screen without a size is as large as the first image needs, as the decoder takes it.
    bool startCanvas(std::uint64_t firstRight, std::uint64_t firstBottom) {
        m_canvasWidth = m_screenWidth > 0 ? m_screenWidth : firstRight;
        m_canvasHeight = m_screenHeight > 0 ? m_screenHeight : firstBottom;
        if (!pictureSizeProblem(std::int64_t(m_canvasWidth), std::int64_t(m_canvasHeight)).empty())
            return false;
        m_canvasPixels = m_canvasWidth * m_canvasHeight;
        return true;
    }

    std::uint64_t m_screenWidth = 0;
    std::uint64_t m_screenHeight = 0;
    std::uint64_t m_canvasWidth = 0;
    std::uint64_t m_canvasHeight = 0;
    std::uint64_t m_canvasPixels = 0;
    std::uint64_t m_largestImageBytes = 0;
    bool m_restoresNext = false; // the last graphic control asks for the canvas under the next image back
};

} // namespace

std::uint64_t gifDecodeBytes(ByteSource& source) {
    return GifEstimate(source).bytes();
}

} // namespace veskaro
