#include "imaging/BmpCodec.h"

#include "imaging/DecodeLimits.h"
#include "imaging/LittleEndian.h"
#include "imaging/PictureError.h"
#include "imaging/RgbImageCheck.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace veskaro {

namespace {

constexpr const char* kPrefix = kBmpErrorPrefix;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMaxHeaderSize = 124;

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kEmbeddedJpeg = 4,
    kEmbeddedPng = 5,
    kAlphaBitFields = 6,
};

using Colour = std::array<std::uint8_t, 3>;

/// One colour channel of a 16- or 32-bit pixel, scaled so that its largest value gives 255.
class ChannelMask {
public:
    ChannelMask() = default;
    explicit ChannelMask(std::uint32_t mask)
        : m_mask(mask), m_shift(mask ? std::countr_zero(mask) : 0), m_maximum(mask >> m_shift) {}

    std::uint32_t bits() const { return m_mask; }
    bool empty() const { return m_mask == 0; }
    bool contiguous() const { return (m_maximum & (m_maximum + 1)) == 0; }
    std::uint8_t apply(std::uint32_t pixel) const {
        const std::uint64_t value = (pixel & m_mask) >> m_shift;
        return static_cast<std::uint8_t>((value * 255 + m_maximum / 2) / m_maximum);
    }

private:
    std::uint32_t m_mask = 0;
    int m_shift = 0;
    std::uint32_t m_maximum = 0;
};

std::array<ChannelMask, 4> defaultMasks(int bitsPerPixel) {
    if (bitsPerPixel == 16)
        return {ChannelMask(0x7C00), ChannelMask(0x03E0), ChannelMask(0x001F), ChannelMask()};
    if (bitsPerPixel == 32)
        return {ChannelMask(0xFF0000), ChannelMask(0x00FF00), ChannelMask(0x0000FF), ChannelMask()};
    return {};
}

/// The facts of a bitmap's headers that decoding needs.
struct BmpLayout {
    std::uint32_t headerSize = 0;
    std::uint32_t pixelOffset = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // always positive; topDown tells the row order
    bool topDown = false;
    int bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t coloursUsed = 0;
    std::uint32_t declaredFileSize = 0;
    std::uint32_t declaredPixelBytes = 0;
    std::array<ChannelMask, 4> masks; // red, green, blue and alpha, which may be empty
    bool masksInHeader = false;
};

/// Reads the rest of a file byte by byte through a buffer; -1 marks the end.
class BufferedBytes {
public:
    explicit BufferedBytes(ByteSource& source) : m_source(source) {}

    int next() {
        if (m_position == m_count) {
            m_count = m_source.read(m_buffer.data(), m_buffer.size());
            m_position = 0;
            if (m_count == 0)
                return -1;
        }
        return m_buffer[m_position++];
    }

private:
    ByteSource& m_source;
    std::array<std::uint8_t, 65536> m_buffer{};
    std::size_t m_count = 0;
    std::size_t m_position = 0;
};

class BmpDecoder {
public:
    BmpDecoder(ByteSource& source, const std::string& name) : m_source(source), m_name(name) {}

    LoadedPicture decode() {
        readHeaders();
        checkLayout();
        readMasks();
        readPalette();
        skipToPixels();
        LoadedPicture picture;
        picture.format = PictureFormat::Bmp;
        picture.sourceWidth = static_cast<int>(m_layout.width);
        picture.sourceHeight = static_cast<int>(m_layout.height);
        picture.image.width = picture.sourceWidth;
        picture.image.height = picture.sourceHeight;
        if (m_layout.compression == kRle8 || m_layout.compression == kRle4)
            decodeRunLengths(picture.image);
        else
            decodeRows(picture.image);
        return picture;
    }

private:
    [[noreturn]] void fail(const std::string& what) const { throwPictureError(kPrefix, m_name, what); }

    [[noreturn]] void failTruncated() const {
        if (const int error = m_source.readError())
            fail(ioErrorText(error));
        fail("the file ends before the picture is complete");
    }

    void read(void* buffer, std::size_t size) {
        if (!m_source.readExactly(buffer, size))
            failTruncated();
        m_position += size;
    }

    void readHeaders() {
        std::array<std::uint8_t, kFileHeaderSize + 4> start{};
        const std::size_t count = m_source.read(start.data(), start.size());
        if (count == 0 && m_source.readError() == 0)
            fail("the file is empty");
        if (count >= 2 && start[0] == 'B' && start[1] == 'A')
            fail("OS/2 bitmap arrays are not supported");
        if (count < 2 || start[0] != 'B' || start[1] != 'M')
            fail("not a Windows bitmap (the file does not start with \"BM\")");
        if (count < start.size())
            failTruncated();
        m_position = start.size();
        m_layout.declaredFileSize = readLe32(&start[2]);
        m_layout.pixelOffset = readLe32(&start[10]);
        m_layout.headerSize = readLe32(&start[14]);
        const std::uint32_t size = m_layout.headerSize;
        if (size != kCoreHeaderSize && size != 16 && size != kInfoHeaderSize && size != 52 && size != 56 &&
            size != 64 && size != 108 && size != kMaxHeaderSize)
            fail("unknown header size " + std::to_string(size));
        std::array<std::uint8_t, kMaxHeaderSize> header{};
        std::memcpy(header.data(), &start[kFileHeaderSize], 4);
        read(header.data() + 4, size - 4);
        parseHeader(header.data());
    }

    void parseHeader(const std::uint8_t* header) {
        BmpLayout& layout = m_layout;
        std::uint32_t planes = 0;
        if (layout.headerSize == kCoreHeaderSize) {
            layout.width = readLe16(header + 4);
            layout.height = readLe16(header + 6);
            planes = readLe16(header + 8);
            layout.bitsPerPixel = static_cast<int>(readLe16(header + 10));
        } else {
            layout.width = static_cast<std::int32_t>(readLe32(header + 4));
            const std::int64_t height = static_cast<std::int32_t>(readLe32(header + 8));
            layout.topDown = height < 0;
            layout.height = height < 0 ? -height : height;
            planes = readLe16(header + 12);
            layout.bitsPerPixel = static_cast<int>(readLe16(header + 14));
        }
        if (layout.headerSize >= kInfoHeaderSize) {
            layout.compression = readLe32(header + 16);
            layout.declaredPixelBytes = readLe32(header + 20);
            layout.coloursUsed = readLe32(header + 32);
        }
        if (layout.headerSize >= 52 && layout.headerSize != 64) {
            layout.masksInHeader = true;
            for (std::size_t i = 0; i < (layout.headerSize >= 56 ? 4u : 3u); ++i)
                layout.masks[i] = ChannelMask(readLe32(header + 40 + 4 * i));
        }
        if (planes != 1)
            fail("the header gives " + std::to_string(planes) + " colour planes instead of 1");
    }

    bool isOs2Version2() const { return m_layout.headerSize == 16 || m_layout.headerSize == 64; }

    void checkLayout() const {
        const BmpLayout& layout = m_layout;
        if (layout.width <= 0 || layout.height <= 0)
            fail("the header gives an invalid size of " + std::to_string(layout.width) + " x " +
                 std::to_string(layout.height) + " pixels");
        checkCompression();
        const int bits = layout.bitsPerPixel;
        if (bits == 64)
            fail("64-bit bitmaps are not supported");
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            fail("the header gives an invalid " + std::to_string(bits) + " bits a pixel");
        if (layout.topDown && layout.compression != kRgb && layout.compression != kBitFields &&
            layout.compression != kAlphaBitFields)
            fail("a run-length compressed bitmap cannot be stored top-down");
        if (const std::string problem = pictureSizeProblem(layout.width, layout.height); !problem.empty())
            fail(problem);
        checkDeclaredSizes();
    }

    // Sizes the header claims beyond what the file holds mean it was cut short or is damaged.
    void checkDeclaredSizes() const {
        const std::uint64_t fileSize = m_source.size();
        const std::uint64_t pixelEnd = std::uint64_t{m_layout.pixelOffset} + m_layout.declaredPixelBytes;
        if (m_layout.declaredFileSize > fileSize || pixelEnd > fileSize)
            fail("the file ends before the picture is complete (its header gives " +
                 std::to_string(std::max<std::uint64_t>(m_layout.declaredFileSize, pixelEnd)) +
                 " bytes, the file has " + std::to_string(fileSize) + ")");
    }

    void checkCompression() const {
        const std::uint32_t compression = m_layout.compression;
        const int bits = m_layout.bitsPerPixel;
        if (isOs2Version2() && compression == 3)
            fail("OS/2 Huffman-compressed bitmaps are not supported");
        if (isOs2Version2() && compression == 4)
            fail("OS/2 RLE24-compressed bitmaps are not supported");
        switch (compression) {
        case kRgb:
            return;
        case kRle8:
        case kRle4:
            if (bits != (compression == kRle8 ? 8 : 4))
                fail("run-length compression RLE" + std::to_string(compression == kRle8 ? 8 : 4) + " with " +
                     std::to_string(bits) + " bits a pixel is invalid");
            return;
        case kBitFields:
        case kAlphaBitFields:
            if (bits != 16 && bits != 32)
                fail("bit fields with " + std::to_string(bits) + " bits a pixel are invalid");
            return;
        case kEmbeddedJpeg:
            fail("bitmaps holding an embedded JPEG picture are not supported");
        case kEmbeddedPng:
            fail("bitmaps holding an embedded PNG picture are not supported");
        default:
            fail("unknown compression method " + std::to_string(compression));
        }
    }

    void readMasks() {
        BmpLayout& layout = m_layout;
        const bool bitFields = layout.compression == kBitFields || layout.compression == kAlphaBitFields;
        if (!bitFields) {
            // Masks in a V4 or V5 header count only with bit fields: without them the default formats hold,
            // and an alpha mask there must not make a paletted or plain bitmap read alpha from its pixels.
            layout.masks = defaultMasks(layout.bitsPerPixel);
        } else if (!layout.masksInHeader) {
            // An info header keeps its masks after it: red, green, blue and, for alpha bit fields, alpha.
            std::array<std::uint8_t, 16> masks{};
            read(masks.data(), layout.compression == kAlphaBitFields ? 16 : 12);
            for (std::size_t i = 0; i < 4; ++i)
                layout.masks[i] = ChannelMask(readLe32(&masks[4 * i]));
        }
        if (layout.bitsPerPixel == 16 || layout.bitsPerPixel == 32)
            checkMasks();
    }

    void checkMasks() const {
        static constexpr std::array<const char*, 4> names{"red", "green", "blue", "alpha"};
        for (std::size_t i = 0; i < 4; ++i) {
            const ChannelMask& mask = m_layout.masks[i];
            if (mask.empty() && i < 3)
                fail(std::string("the colour masks give ") + names[i] + " no bits");
            if (!mask.contiguous())
                fail(std::string("the colour mask of ") + names[i] + " is not one run of bits");
        }
        for (std::size_t i = 0; i < 4; ++i)
            if (m_layout.bitsPerPixel == 16 && m_layout.masks[i].bits() > 0xFFFF)
                fail(std::string("the colour mask of ") + names[i] + " reaches past 16 bits");
    }

    void readPalette() {
        const BmpLayout& layout = m_layout;
        if (layout.pixelOffset < m_position)
            fail("the pixel data offset " + std::to_string(layout.pixelOffset) + " points into the header");
        if (layout.bitsPerPixel > 8)
            return;
        const std::size_t entrySize = layout.headerSize == kCoreHeaderSize ? 3 : 4;
        const std::uint64_t room = (layout.pixelOffset - m_position) / entrySize;
        const std::uint64_t possible = std::uint64_t{1} << layout.bitsPerPixel;
        const std::uint64_t declared = layout.coloursUsed ? layout.coloursUsed : possible;
        if (layout.coloursUsed > room)
            fail("the header declares " + std::to_string(layout.coloursUsed) +
                 " palette colours, but there is room for only " + std::to_string(room));
        // A palette longer than the bit depth allows has entries no pixel can use; one cut short by the
        // pixel data offset has only the entries that fit.
        const std::size_t count = static_cast<std::size_t>(std::min({declared, possible, room}));
        if (count == 0)
            fail("the palette is missing");
        std::vector<std::uint8_t> entries(count * entrySize);
        read(entries.data(), entries.size());
        m_palette.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* entry = &entries[i * entrySize];
            m_palette[i] = {entry[2], entry[1], entry[0]};
        }
    }

    void skipToPixels() {
        const std::uint64_t gap = m_layout.pixelOffset - m_position;
        if (m_layout.pixelOffset > m_source.size())
            failTruncated();
        std::array<std::uint8_t, 4096> scratch{};
        for (std::uint64_t left = gap; left > 0;) {
            const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(left, scratch.size()));
            read(scratch.data(), step);
            left -= step;
        }
    }

    const Colour& paletteColour(std::uint32_t index) const {
        if (index >= m_palette.size())
            fail("a pixel uses colour " + std::to_string(index) + " but the palette has only " +
                 std::to_string(m_palette.size()) + " colours");
        return m_palette[index];
    }

    void decodeRows(RgbImage& image) {
        const BmpLayout& layout = m_layout;
        const std::uint64_t dataBytes = (static_cast<std::uint64_t>(layout.width) * layout.bitsPerPixel + 7) / 8;
        const std::uint64_t rowBytes = (dataBytes + 3) / 4 * 4;
        // Some writers leave out the padding of the last row; the pixels themselves must all be there.
        // Checking before allocating keeps a truncated file from taking memory.
        const std::uint64_t needed = rowBytes * static_cast<std::uint64_t>(layout.height - 1) + dataBytes;
        if (m_layout.pixelOffset + needed > m_source.size())
            failTruncated();
        image.pixels.resize(image.rowBytes() * static_cast<std::size_t>(image.height));
        const std::size_t pixelCount = image.pixels.size() / 3;
        std::vector<std::uint8_t> alpha(m_layout.masks[3].empty() ? 0 : pixelCount);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
        for (int fileRow = 0; fileRow < image.height; ++fileRow) {
            read(row.data(), fileRow + 1 < image.height ? row.size() : static_cast<std::size_t>(dataBytes));
            const int y = layout.topDown ? fileRow : image.height - 1 - fileRow;
            convertRow(row.data(), image.row(y), image.width);
            if (!alpha.empty())
                readAlpha(row.data(), &alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width)],
                          image.width);
        }
        // Writers that do not use the alpha channel often leave it all zero: such a picture is opaque.
        if (std::any_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a != 0; }))
            composeOnWhite(image, alpha);
    }

    void readAlpha(const std::uint8_t* in, std::uint8_t* out, int width) const {
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x)
            out[x] = m_layout.masks[3].apply(m_layout.bitsPerPixel == 16 ? readLe16(in + 2 * x) : readLe32(in + 4 * x));
    }

    // Transparent pixels show the white canvas the picture is put on, as transparent GIF pixels do.
    static void composeOnWhite(RgbImage& image, const std::vector<std::uint8_t>& alpha) {
        for (std::size_t i = 0; i < alpha.size(); ++i) {
            const unsigned a = alpha[i];
            for (std::size_t c = 0; c < 3; ++c) {
                std::uint8_t& value = image.pixels[3 * i + c];
                value = static_cast<std::uint8_t>((value * a + 255 * (255 - a) + 127) / 255);
            }
        }
    }

    void convertRow(const std::uint8_t* in, std::uint8_t* out, int width) const {
        const int bits = m_layout.bitsPerPixel;
        for (int x = 0; x < width; ++x, out += 3) {
            const std::size_t ux = static_cast<std::size_t>(x);
            if (bits == 24) {
                out[0] = in[3 * ux + 2];
                out[1] = in[3 * ux + 1];
                out[2] = in[3 * ux];
                continue;
            }
            if (bits == 16 || bits == 32) {
                const std::uint32_t pixel = bits == 16 ? readLe16(in + 2 * ux) : readLe32(in + 4 * ux);
                for (std::size_t c = 0; c < 3; ++c)
                    out[c] = m_layout.masks[c].apply(pixel);
                continue;
            }
            const std::size_t bit = ux * static_cast<std::size_t>(bits);
            const std::uint32_t index = in[bit / 8] >> (8 - bits - bit % 8) & ((1u << bits) - 1);
            std::memcpy(out, paletteColour(index).data(), 3);
        }
    }

    void decodeRunLengths(RgbImage& image) {
        image.pixels.assign(image.rowBytes() * static_cast<std::size_t>(image.height), 0xFF);
        RunLengthState state{image, 0, 0};
        BufferedBytes bytes(m_source);
        for (;;) {
            const int count = bytes.next();
            const int value = bytes.next();
            if (value < 0)
                return endOfRunLengths(state);
            if (count > 0)
                putRun(state, count, value);
            else if (value == 0)
                nextLine(state);
            else if (value == 1)
                return;
            else if (value == 2)
                moveBy(state, bytes);
            else
                putLiteral(state, value, bytes);
        }
    }

    struct RunLengthState {
        RgbImage& image;
        int x; // column of the next pixel
        int y; // row of the next pixel, counted from the bottom
    };

    void putPixel(RunLengthState& state, std::uint32_t index) const {
        if (state.y >= state.image.height)
            fail("the run-length data continues past the last row");
        if (state.x >= state.image.width)
            fail("a run goes past the end of row " + std::to_string(state.y));
        std::uint8_t* out = state.image.row(state.image.height - 1 - state.y) + 3 * static_cast<std::size_t>(state.x);
        std::memcpy(out, paletteColour(index).data(), 3);
        ++state.x;
    }

    void putRun(RunLengthState& state, int count, int value) const {
        const bool rle4 = m_layout.compression == kRle4;
        for (int i = 0; i < count; ++i) {
            const int index = rle4 ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value;
            putPixel(state, static_cast<std::uint32_t>(index));
        }
    }

    void putLiteral(RunLengthState& state, int count, BufferedBytes& bytes) {
        const bool rle4 = m_layout.compression == kRle4;
        const int byteCount = rle4 ? (count + 1) / 2 : count;
        int pixel = 0;
        for (int i = 0; i < byteCount; ++i) {
            const int value = bytes.next();
            if (value < 0)
                failTruncated();
            if (!rle4) {
                putPixel(state, static_cast<std::uint32_t>(value));
                continue;
            }
            putPixel(state, static_cast<std::uint32_t>(value >> 4));
            if (++pixel < count)
                putPixel(state, static_cast<std::uint32_t>(value & 0x0F));
            ++pixel;
        }
        // Literal runs are padded to a whole number of 16-bit words.
        if (byteCount % 2 == 1 && bytes.next() < 0)
            failTruncated();
    }

    void nextLine(RunLengthState& state) const {
        if (state.y >= state.image.height)
            fail("the run-length data continues past the last row");
        state.x = 0;
        ++state.y;
    }

    void moveBy(RunLengthState& state, BufferedBytes& bytes) const {
        const int dx = bytes.next();
        const int dy = bytes.next();
        if (dx < 0 || dy < 0)
            failTruncated();
        state.x += dx;
        state.y += dy;
        if (state.x > state.image.width || state.y > state.image.height)
            fail("a run-length move goes past the edge of the picture");
    }

    // Data that stops without its end marker is accepted only once every row has been given.
    void endOfRunLengths(const RunLengthState& state) const {
        const bool complete =
            state.y >= state.image.height || (state.y == state.image.height - 1 && state.x == state.image.width);
        if (!complete)
            failTruncated();
    }

    ByteSource& m_source;
    const std::string& m_name;
    BmpLayout m_layout;
    std::vector<Colour> m_palette;
    std::uint64_t m_position = 0;
};

} // namespace

LoadedPicture decodeBmp(ByteSource& source, const std::string& name) {
    return BmpDecoder(source, name).decode();
}

std::string encodeBmp(const RgbImage& image, const std::string& name) {
    if (const std::string problem = writableImageProblem(image); !problem.empty())
        throwPictureError(kPrefix, name, problem);
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(image.width) * 3 + 3) / 4 * 4;
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(image.height);
    const std::uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + pixelBytes;
    if (fileSize > 0xFFFFFFFFu)
        throwPictureError(kPrefix, name, "the picture is too large for a Windows bitmap");
    std::string out;
    out.reserve(static_cast<std::size_t>(fileSize));
    out += "BM";
    appendLe32(out, static_cast<std::uint32_t>(fileSize));
    appendLe32(out, 0);
    appendLe32(out, kFileHeaderSize + kInfoHeaderSize);
    appendLe32(out, kInfoHeaderSize);
    appendLe32(out, static_cast<std::uint32_t>(image.width));
    appendLe32(out, static_cast<std::uint32_t>(image.height));
    appendLe16(out, 1);
    appendLe16(out, 24);
    appendLe32(out, kRgb);
    appendLe32(out, static_cast<std::uint32_t>(pixelBytes));
    appendLe32(out, 2835); // 72 dots an inch, in pixels a metre
    appendLe32(out, 2835);
    appendLe32(out, 0);
    appendLe32(out, 0);
    const std::string padding(static_cast<std::size_t>(rowBytes) - image.rowBytes(), '\0');
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = image.row(y);
        for (int x = 0; x < image.width; ++x, row += 3) {
            out += static_cast<char>(row[2]);
            out += static_cast<char>(row[1]);
            out += static_cast<char>(row[0]);
        }
        out += padding;
    }
    return out;
}

void writeBmp(const std::string& path, const RgbImage& image) {
    writeFileAtomically(path, encodeBmp(image, path));
}

} // namespace veskaro
