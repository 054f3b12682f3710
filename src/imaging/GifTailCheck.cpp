#include "imaging/GifTailCheck.h"

#include "imaging/GifBlockWalker.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace veskaro {

namespace {

constexpr const char* kCutShort = "the file ends before the picture is complete";

class TailWalker : GifBlockWalker {
public:
    TailWalker(ByteSource& source, int screenWidth, int screenHeight, bool hasGlobalColours)
        : GifBlockWalker(source), m_screenWidth(screenWidth), m_screenHeight(screenHeight),
          m_hasGlobalColours(hasGlobalColours) {}

    std::string problem() {
        for (;;) {
            const int introducer = nextByte();
            if (introducer == kGifTrailer)
                return {};
            if (introducer < 0)
                return kCutShort;
            std::string found;
            if (introducer == kGifExtensionIntroducer)
                found = checkExtension();
            else if (introducer == kGifImageSeparator)
                found = checkImage();
            else
                found = "the file holds a block of unknown type after the first image";
            if (!found.empty())
                return found;
        }
    }

private:
    /// Skips a chain of data sub-blocks up to its terminator; firstLength receives the first block's size.
    bool skipSubBlocks(int* firstLength = nullptr) {
        for (bool first = true;; first = false) {
            const int length = nextByte();
            if (length < 0)
                return false;
            if (first && firstLength)
                *firstLength = length;
            if (length == 0)
                return true;
            if (!skip(static_cast<std::size_t>(length)))
                return false;
        }
    }

    std::string checkExtension() {
        const int label = nextByte();
        int firstLength = -1;
        if (label < 0 || !skipSubBlocks(&firstLength))
            return kCutShort;
        if (label == kGifGraphicControlLabel && firstLength != 4)
            return "a graphic control block has the wrong length";
        return {};
    }

    std::string checkImage() {
        std::array<std::uint8_t, 9> descriptor{};
        if (!m_source.readExactly(descriptor.data(), descriptor.size()))
            return kCutShort;
        const int left = descriptor[0] | descriptor[1] << 8;
        const int top = descriptor[2] | descriptor[3] << 8;
        const bool localColours = (descriptor[8] & 0x80) != 0;
        if (localColours && !skip(3u << ((descriptor[8] & 0x07) + 1)))
            return kCutShort;
        if (!localColours && !m_hasGlobalColours)
            return "a later image has no colour table";
        if (left >= m_screenWidth || top >= m_screenHeight)
            return "a later image lies outside the picture's screen";
        const int codeSize = nextByte();
        if (codeSize < 0)
            return kCutShort;
        if (codeSize < 1 || codeSize > 8)
            return "a later image has the invalid LZW code size " + std::to_string(codeSize);
        return skipSubBlocks() ? std::string{} : kCutShort;
    }

    int m_screenWidth;
    int m_screenHeight;
    bool m_hasGlobalColours;
};

} // namespace

std::string gifTailProblem(ByteSource& source, int screenWidth, int screenHeight, bool hasGlobalColours) {
    return TailWalker(source, screenWidth, screenHeight, hasGlobalColours).problem();
}

} // namespace veskaro
