#include "PictureFixtures.h"

#include "imaging/LittleEndian.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include <gif_lib.h>
#include <jpeglib.h>

namespace veskaro::test {

namespace {

void putBe16(std::string& out, int value) {
    out += static_cast<char>(value >> 8 & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

} // namespace

RgbImage colourPattern(int width, int height) {
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = image.row(y) + 3 * x;
            pixel[0] = static_cast<std::uint8_t>(x * 37 + y * 11);
            pixel[1] = static_cast<std::uint8_t>(x * 5 + y * 53);
            pixel[2] = static_cast<std::uint8_t>((x ^ y) * 29);
        }
    return image;
}

RgbImage smoothPattern(int width, int height) {
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = image.row(y) + 3 * x;
            pixel[0] = static_cast<std::uint8_t>(255 * x / std::max(1, width - 1));
            pixel[1] = static_cast<std::uint8_t>(255 * y / std::max(1, height - 1));
            pixel[2] = static_cast<std::uint8_t>(255 * (x + y) / std::max(1, width + height - 2));
        }
    return image;
}

RgbImage fineGrain(int width, int height) {
    RgbImage image(width, height);
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = (state * 1103515245u + 12345u) & 0x7fffffffu;
            std::fill_n(image.row(y) + 3 * x, 3, static_cast<std::uint8_t>(98 + (state >> 8) % 61));
        }
    return image;
}

PixelRect wholeOf(const RgbImage& image) {
    return {0, 0, image.width, image.height};
}

// ------------------------------------------------------------------------------------------- BMP

std::string makeBmp(const BmpSpec& spec) {
    const bool core = spec.headerSize == 12;
    std::string header;
    appendLe32(header, spec.headerSize);
    if (core) {
        appendLe16(header, static_cast<std::uint32_t>(spec.width));
        appendLe16(header, static_cast<std::uint32_t>(spec.height));
        appendLe16(header, spec.planes);
        appendLe16(header, spec.bitsPerPixel);
    } else {
        appendLe32(header, static_cast<std::uint32_t>(spec.width));
        appendLe32(header, static_cast<std::uint32_t>(spec.height));
        appendLe16(header, spec.planes);
        appendLe16(header, spec.bitsPerPixel);
        appendLe32(header, spec.compression);
        appendLe32(header, spec.declaredPixelBytes);
        appendLe32(header, 2835);
        appendLe32(header, 2835);
        appendLe32(header, static_cast<std::uint32_t>(spec.coloursUsed >= 0 ? spec.coloursUsed : spec.palette.size()));
        appendLe32(header, 0);
    }
    std::string masks;
    for (const std::uint32_t mask : spec.masks)
        appendLe32(masks, mask);
    if (spec.headerSize > 40) {
        header += masks;
        masks.clear();
    }
    header.resize(spec.headerSize, '\0');
    std::string palette;
    for (const Colour& colour : spec.palette) {
        palette += static_cast<char>(colour[2]);
        palette += static_cast<char>(colour[1]);
        palette += static_cast<char>(colour[0]);
        if (!core)
            palette += '\0';
    }
    const std::size_t naturalOffset = 14 + header.size() + masks.size() + palette.size();
    const std::size_t offset = spec.pixelOffset >= 0 ? static_cast<std::size_t>(spec.pixelOffset) : naturalOffset;
    std::string body = header + masks + palette;
    body.resize(std::max(body.size(), offset - 14), '\0');
    body += spec.pixelData;
    std::string file = "BM";
    appendLe32(file, static_cast<std::uint32_t>(spec.declaredFileSize >= 0 ? spec.declaredFileSize : 14 + body.size()));
    appendLe32(file, 0);
    appendLe32(file, static_cast<std::uint32_t>(offset));
    return file + body;
}

std::string packIndexRows(const std::vector<std::vector<int>>& rows, int bitsPerPixel, bool topDown) {
    std::string out;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const std::vector<int>& row = rows[topDown ? n : rows.size() - 1 - n];
        std::string packed((row.size() * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4, '\0');
        for (std::size_t x = 0; x < row.size(); ++x) {
            const std::size_t bit = x * static_cast<std::size_t>(bitsPerPixel);
            packed[bit / 8] = static_cast<char>(packed[bit / 8] | row[x] << (8 - bitsPerPixel - bit % 8));
        }
        out += packed;
    }
    return out;
}

// ------------------------------------------------------------------------------------------- GIF

namespace {

int appendToString(GifFileType* gif, const GifByteType* bytes, int size) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    return size;
}

ColorMapObject* makeColourMap(const std::vector<Colour>& colours) {
    if (colours.empty())
        return nullptr;
    const int size = std::max(2, static_cast<int>(std::bit_ceil(colours.size())));
    ColorMapObject* map = GifMakeMapObject(size, nullptr);
    for (int i = 0; i < size; ++i) {
        const Colour colour =
            static_cast<std::size_t>(i) < colours.size() ? colours[static_cast<std::size_t>(i)] : Colour{};
        map->Colors[i] = {colour[0], colour[1], colour[2]};
    }
    return map;
}

void check(int result, const char* what) {
    if (result == GIF_ERROR)
        throw std::runtime_error(std::string("giflib failed to write a fixture: ") + what);
}

/// Returns the file order of an image's rows: top-down, or the four passes of interlacing.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    static constexpr std::array<std::pair<int, int>, 4> passes{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
    for (const auto& [start, step] : passes)
        for (int y = start; y < height; y += step)
            order.push_back(y);
    return order;
}

} // namespace

std::string makeGif(const GifSpec& spec) {
    std::string bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, appendToString, &error);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = makeColourMap(spec.globalColours);
    check(EGifPutScreenDesc(gif, spec.screenWidth, spec.screenHeight, 8, 0, global), "screen");
    GifFreeMapObject(global);
    for (const GifImageSpec& image : spec.images) {
        if (image.hasControl) {
            const GraphicsControlBlock control{image.disposal, false, image.delay, image.transparentIndex};
            GifByteType extension[4];
            EGifGCBToExtension(&control, extension);
            check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension), "graphic control");
        }
        ColorMapObject* local = makeColourMap(image.localColours);
        check(EGifPutImageDesc(gif, image.left, image.top, image.width, image.height, image.interlaced, local),
              "image descriptor");
        GifFreeMapObject(local);
        for (const int y : rowOrder(image.height, image.interlaced)) {
            std::vector<GifPixelType> row(image.indices.begin() + static_cast<std::ptrdiff_t>(y) * image.width,
                                          image.indices.begin() + static_cast<std::ptrdiff_t>(y + 1) * image.width);
            check(EGifPutLine(gif, row.data(), image.width), "line");
        }
    }
    check(EGifCloseFile(gif, &error), "close");
    return bytes;
}

std::string makeRawGif(int width, int height, const std::vector<Colour>& colours, int minimumCodeSize,
                       const std::vector<int>& codes, const std::string& afterCodes) {
    std::string out = "GIF89a";
    appendLe16(out, static_cast<std::uint32_t>(width));
    appendLe16(out, static_cast<std::uint32_t>(height));
    const int tableBits = colours.empty() ? 1 : std::max(1, static_cast<int>(std::bit_width(colours.size() - 1)));
    out += static_cast<char>(colours.empty() ? 0 : 0x80 | (tableBits - 1));
    out += '\0';
    out += '\0';
    if (!colours.empty())
        for (std::size_t i = 0; i < (std::size_t{1} << tableBits); ++i)
            for (const std::uint8_t channel : i < colours.size() ? colours[i] : Colour{})
                out += static_cast<char>(channel);
    out += ',';
    appendLe16(out, 0);
    appendLe16(out, 0);
    appendLe16(out, static_cast<std::uint32_t>(width));
    appendLe16(out, static_cast<std::uint32_t>(height));
    out += '\0';
    out += static_cast<char>(minimumCodeSize);
    // Pack the codes the way a decoder will read them: the width grows as the table fills.
    const int clear = 1 << minimumCodeSize;
    int size = minimumCodeSize + 1, next = clear + 2;
    bool previous = false;
    std::uint32_t bits = 0;
    int count = 0;
    std::string data;
    for (const int code : codes) {
        bits |= static_cast<std::uint32_t>(code) << count;
        count += size;
        for (; count >= 8; count -= 8, bits >>= 8)
            data += static_cast<char>(bits & 0xFF);
        if (code == clear) {
            size = minimumCodeSize + 1;
            next = clear + 2;
            previous = false;
        } else if (code != clear + 1) {
            if (previous && next < 4096 && ++next == (1 << size) && size < 12)
                ++size;
            previous = true;
        }
    }
    if (count > 0)
        data += static_cast<char>(bits & 0xFF);
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::string block = data.substr(at, 255);
        out += static_cast<char>(block.size());
        out += block;
    }
    out += '\0';
    return out + afterCodes + ";";
}

// ------------------------------------------------------------------------------------------- JPEG

namespace {

/// Compresses rows with libjpeg into memory; fixtures are trusted, so libjpeg's own error exit stands.
class FixtureCompressor {
public:
    FixtureCompressor(int width, int height, int components, J_COLOR_SPACE space) {
        m_info.err = jpeg_std_error(&m_errors);
        jpeg_create_compress(&m_info);
        jpeg_mem_dest(&m_info, &m_buffer, &m_size);
        m_info.image_width = static_cast<JDIMENSION>(width);
        m_info.image_height = static_cast<JDIMENSION>(height);
        m_info.input_components = components;
        m_info.in_color_space = space;
        jpeg_set_defaults(&m_info);
        jpeg_set_quality(&m_info, 90, TRUE);
    }
    ~FixtureCompressor() {
        jpeg_destroy_compress(&m_info);
        std::free(m_buffer);
    }
    FixtureCompressor(const FixtureCompressor&) = delete;
    FixtureCompressor& operator=(const FixtureCompressor&) = delete;

    jpeg_compress_struct& info() { return m_info; }

    std::string compress(const std::vector<std::uint8_t>& samples) {
        jpeg_start_compress(&m_info, TRUE);
        const std::size_t rowBytes = m_info.image_width * static_cast<std::size_t>(m_info.input_components);
        while (m_info.next_scanline < m_info.image_height) {
            auto* row = const_cast<JSAMPROW>(&samples[m_info.next_scanline * rowBytes]);
            jpeg_write_scanlines(&m_info, &row, 1);
        }
        jpeg_finish_compress(&m_info);
        return {reinterpret_cast<const char*>(m_buffer), m_size};
    }

private:
    jpeg_error_mgr m_errors{};
    jpeg_compress_struct m_info{};
    unsigned char* m_buffer = nullptr;
    unsigned long m_size = 0;
};

jpeg_scan_info scan(int component, int from, int to, int high, int low) {
    jpeg_scan_info info{};
    info.comps_in_scan = component < 0 ? 3 : 1;
    for (int c = 0; c < info.comps_in_scan; ++c)
        info.component_index[c] = component < 0 ? c : component;
    info.Ss = from;
    info.Se = to;
    info.Ah = high;
    info.Al = low;
    return info;
}

} // namespace

std::string makeProgressiveJpeg(const RgbImage& image, int scans) {
    FixtureCompressor compressor(image.width, image.height, 3, JCS_RGB);
    jpeg_compress_struct& info = compressor.info();
    std::vector<jpeg_scan_info> script;
    constexpr int kBands = 63 * 3;
    if (scans <= 10) {
        jpeg_simple_progression(&info);
    } else if (scans > kBands && scans <= 1 + kBands * 14) {
        // The DC of all components, then each AC coefficient of each component on its own, first with its
        // top bits and then one refining bit at a time.
        script.push_back(scan(-1, 0, 0, 0, 0));
        const int extra = scans - 1 - kBands;
        for (int band = 0; band < kBands; ++band) {
            const int component = band % 3, coefficient = band / 3 + 1;
            const int depth = extra / kBands + (band < extra % kBands ? 1 : 0);
            script.push_back(scan(component, coefficient, coefficient, 0, depth));
            for (int low = depth - 1; low >= 0; --low)
                script.push_back(scan(component, coefficient, coefficient, low + 1, low));
        }
        info.scan_info = script.data();
        info.num_scans = static_cast<int>(script.size());
    } else {
        throw std::invalid_argument("a progressive fixture has up to 10 or 190 to 2647 scans");
    }
    return compressor.compress(image.pixels);
}

std::string makeGreyJpeg(const RgbImage& image) {
    FixtureCompressor compressor(image.width, image.height, 1, JCS_GRAYSCALE);
    std::vector<std::uint8_t> grey;
    for (std::size_t i = 0; i < image.pixels.size(); i += 3)
        grey.push_back(image.pixels[i]);
    return compressor.compress(grey);
}

std::string makeAdobeCmykJpeg(int width, int height, const std::vector<std::uint8_t>& cmyk) {
    FixtureCompressor compressor(width, height, 4, JCS_CMYK);
    return compressor.compress(cmyk);
}

std::string makeJpegHeaderOnly(int sof, int precision, int width, int height) {
    std::string out = "\xFF\xD8";
    out += '\xFF';
    out += static_cast<char>(sof);
    putBe16(out, 11);
    out += static_cast<char>(precision);
    putBe16(out, height);
    putBe16(out, width);
    out.append("\x01\x01\x11\x00", 4);
    out += "\xFF\xDA";
    putBe16(out, 8);
    out.append("\x01\x01\x00\x00\x3F\x00", 6);
    return out;
}

} // namespace veskaro::test
