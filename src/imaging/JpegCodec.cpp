#include "imaging/JpegCodec.h"

#include "imaging/DecodeLimits.h"
#include "imaging/EncoderSettings.h"
#include "imaging/FaithfulQuality.h"
#include "imaging/MemorySource.h"
#include "imaging/PictureError.h"
#include "imaging/RgbImageCheck.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace veskaro {

namespace {

// Our own message codes follow libjpeg's; the scan limit, raised inside libjpeg, goes through its table for
// application messages.
enum OwnCode { kTooManyScans = 1000, kNotWritable = 1001 };
const char* const kAddonMessages[] = {"the picture has more than %d scans; a JPEG this slow to decode is refused"};

// The coefficients of a progressive picture are checked against kMaxDecodeMemory before decoding; libjpeg's
// own limit leaves room for its row buffers beside them.
constexpr long kMaxLibraryMemory = static_cast<long>(kMaxDecodeMemory) + 256L * 1024 * 1024;

constexpr std::size_t kSourceBufferSize = 65536;

/// libjpeg's error manager with the jump back to the trapped call; it reports through its fields.
struct ErrorTrap {
    jpeg_error_mgr manager; // first: libjpeg hands back its address
    std::jmp_buf jump;
    int code;
    int parameter;
    char text[JMSG_LENGTH_MAX];
};

ErrorTrap* trapOf(j_common_ptr info) {
    return reinterpret_cast<ErrorTrap*>(info->err);
}

void raiseTrapped(j_common_ptr info) {
    ErrorTrap* trap = trapOf(info);
    trap->code = info->err->msg_code;
    trap->parameter = info->err->msg_parm.i[0];
    info->err->format_message(info, trap->text);
    std::longjmp(trap->jump, 1);
}

// A libjpeg warning means damaged data that it would paper over with grey; we refuse the file instead.
void raiseWarnings(j_common_ptr info, int level) {
    if (level < 0)
        raiseTrapped(info);
}

void raiseCode(j_common_ptr info, int code) {
    info->err->msg_code = code;
    info->err->error_exit(info);
}

void installErrorTrap(ErrorTrap& trap, jpeg_error_mgr*& slot) {
    slot = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = raiseTrapped;
    trap.manager.emit_message = raiseWarnings;
    trap.manager.addon_message_table = kAddonMessages;
    trap.manager.first_addon_message = kTooManyScans;
    trap.manager.last_addon_message = kTooManyScans;
}

/// Runs one libjpeg call with the trap set; returns false when libjpeg raised an error or a warning.
/// The step must own nothing with a destructor: the jump back leaves its frame without unwinding.
template <typename Step> bool trapped(ErrorTrap& trap, const Step& step) {
    if (setjmp(trap.jump) != 0)
        return false;
    step();
    return true;
}

/// Feeds libjpeg from a ByteSource.
struct SourceBridge {
    jpeg_source_mgr manager; // first: libjpeg hands back its address
    ByteSource* source;
    bool started;
    JOCTET buffer[kSourceBufferSize];
};

void startSource(j_decompress_ptr) {}

boolean fillSource(j_decompress_ptr info) {
    auto* bridge = reinterpret_cast<SourceBridge*>(info->src);
    const std::size_t count = bridge->source->read(bridge->buffer, kSourceBufferSize);
    if (count == 0) {
        auto* common = reinterpret_cast<j_common_ptr>(info);
        if (bridge->source->readError() != 0)
            raiseCode(common, JERR_FILE_READ);
        if (!bridge->started)
            raiseCode(common, JERR_INPUT_EMPTY);
        info->err->msg_code = JWRN_JPEG_EOF;
        info->err->emit_message(common, -1);
        // Not reached with our warning handler; libjpeg's own convention would go on with a fake end marker.
        bridge->buffer[0] = 0xFF;
        bridge->buffer[1] = JPEG_EOI;
        bridge->manager.next_input_byte = bridge->buffer;
        bridge->manager.bytes_in_buffer = 2;
        return TRUE;
    }
    bridge->started = true;
    bridge->manager.next_input_byte = bridge->buffer;
    bridge->manager.bytes_in_buffer = count;
    return TRUE;
}

void skipSource(j_decompress_ptr info, long count) {
    jpeg_source_mgr* manager = info->src;
    while (count > static_cast<long>(manager->bytes_in_buffer)) {
        count -= static_cast<long>(manager->bytes_in_buffer);
        fillSource(info);
    }
    if (count > 0) {
        manager->next_input_byte += count;
        manager->bytes_in_buffer -= static_cast<std::size_t>(count);
    }
}

void endSource(j_decompress_ptr) {}

int nextSourceByte(j_decompress_ptr info) {
    jpeg_source_mgr* manager = info->src;
    if (manager->bytes_in_buffer == 0)
        manager->fill_input_buffer(info);
    --manager->bytes_in_buffer;
    return *manager->next_input_byte++;
}

// libjpeg reads a segment length below 2 as an empty segment and carries on; such a file is damaged.
boolean skipSegment(j_decompress_ptr info) {
    const int high = nextSourceByte(info);
    const int length = high << 8 | nextSourceByte(info);
    if (length < 2)
        raiseCode(reinterpret_cast<j_common_ptr>(info), JERR_BAD_LENGTH);
    info->src->skip_input_data(info, length - 2);
    return TRUE;
}

void checkScanCount(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxJpegScans) {
        info->err->msg_parm.i[0] = kMaxJpegScans;
        raiseCode(info, kTooManyScans);
    }
}

/// Owns a decompressor and everything libjpeg calls back into.
class Decompressor {
public:
    Decompressor(ByteSource& source, const std::string& name) : m_source(source), m_name(name) {
        installErrorTrap(m_trap, m_info.err);
        if (!trapped(m_trap, [&] { createWithSegmentChecks(); })) {
            jpeg_destroy_decompress(&m_info);
            fail(m_trap.code, m_trap.text);
        }
        m_bridge.manager.init_source = startSource;
        m_bridge.manager.fill_input_buffer = fillSource;
        m_bridge.manager.skip_input_data = skipSource;
        m_bridge.manager.resync_to_restart = jpeg_resync_to_restart;
        m_bridge.manager.term_source = endSource;
        m_bridge.source = &source;
        m_info.src = &m_bridge.manager;
        m_progress.progress_monitor = checkScanCount;
        m_info.progress = &m_progress;
        m_info.mem->max_memory_to_use = kMaxLibraryMemory;
    }
    ~Decompressor() { jpeg_destroy_decompress(&m_info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct& info() { return m_info; }

    /// Runs a libjpeg call; throws VeskaroError when libjpeg raised an error or a warning.
    template <typename Step> void call(const Step& step) {
        if (!trapped(m_trap, step))
            fail(m_trap.code, describeTrappedError());
    }

    [[noreturn]] void fail(int code, const std::string& what) const {
        throwPictureError(jpegErrorPrefix(code), m_name, what);
    }

private:
    // libjpeg reads APP0 (JFIF) and APP14 (Adobe) itself; every other segment it skips is checked here.
    void createWithSegmentChecks() {
        jpeg_create_decompress(&m_info);
        jpeg_set_marker_processor(&m_info, JPEG_COM, skipSegment);
        for (int marker = JPEG_APP0 + 1; marker <= JPEG_APP0 + 15; ++marker)
            if (marker != JPEG_APP0 + 14)
                jpeg_set_marker_processor(&m_info, marker, skipSegment);
    }

    std::string describeTrappedError() const {
        switch (m_trap.code) {
        case JERR_BAD_PRECISION:
            return "unsupported JPEG variant: " + std::to_string(m_trap.parameter) +
                   "-bit samples; only 8-bit JPEG pictures can be read";
        case JERR_SOF_UNSUPPORTED:
            return "unsupported JPEG variant: " + processName(m_trap.parameter) + " (" + m_trap.text + ")";
        case JERR_FILE_READ:
            return ioErrorText(m_source.readError());
        case JERR_INPUT_EMPTY:
            return "the file is empty";
        case JWRN_JPEG_EOF:
            return "the file ends before the picture is complete";
        case JERR_IMAGE_TOO_BIG:
            return pictureSideProblem(m_info.image_width, m_info.image_height);
        case JERR_OUT_OF_MEMORY:
        case JERR_NO_BACKING_STORE:
            return "not enough memory to decode the picture";
        default:
            return m_trap.text;
        }
    }

    static std::string processName(int marker) {
        switch (marker) {
        case 0xC3:
        case 0xCB:
            return "lossless";
        case 0xC7:
        case 0xCF:
            return "hierarchical lossless";
        default:
            return "hierarchical";
        }
    }

    ByteSource& m_source;
    const std::string& m_name;
    ErrorTrap m_trap{};
    jpeg_decompress_struct m_info{};
    SourceBridge m_bridge{};
    jpeg_progress_mgr m_progress{};
};

// The coefficient buffer libjpeg keeps for a picture read in several scans: 64 coefficients of two bytes
// per block, each component's blocks padded to its sampling factors.
std::uint64_t coefficientBytes(const jpeg_decompress_struct& info) {
    std::uint64_t bytes = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        const auto padded = [](std::uint64_t blocks, int factor) {
            const auto f = static_cast<std::uint64_t>(factor);
            return (blocks + f - 1) / f * f;
        };
        bytes += padded(component.width_in_blocks, component.h_samp_factor) *
                 padded(component.height_in_blocks, component.v_samp_factor) * DCTSIZE2 * sizeof(JCOEF);
    }
    return bytes;
}

// Refuses a picture whose reduced decode would hand on too many pixels, or that needs more memory than
// allowed held while it decodes; the declared size alone refuses only what no decode can read.
void checkDecodeFits(Decompressor& decompressor) {
    jpeg_decompress_struct& info = decompressor.info();
    bool heldWhole = false;
    decompressor.call([&] { heldWhole = jpeg_has_multiple_scans(&info); });
    std::string problem =
        heldWhole ? decodeMemoryProblem(info.image_width, info.image_height, coefficientBytes(info)) : "";
    if (problem.empty())
        problem = decodedSizeProblem(info.image_width, info.image_height, info.output_width, info.output_height);
    if (!problem.empty())
        decompressor.fail(JERR_IMAGE_TOO_BIG, problem);
}

/// Returns the largest of the reductions 8, 4 and 2 that keeps the output at least the asked size, or 1.
unsigned reductionFor(const jpeg_decompress_struct& info, const LoadOptions& options) {
    if (!options.minimumSize)
        return 1;
    const PictureSize least =
        options.minimumSize(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
    for (unsigned denominator : {8u, 4u, 2u}) {
        const auto width = static_cast<int>((info.image_width + denominator - 1) / denominator);
        const auto height = static_cast<int>((info.image_height + denominator - 1) / denominator);
        if (width >= least.width && height >= least.height)
            return denominator;
    }
    return 1;
}

// Adobe's CMYK files store the inks inverted, as most writers do; others store them plainly.
void cmykToRgb(const std::uint8_t* in, std::uint8_t* out, std::size_t pixels, bool inverted) {
    for (std::size_t i = 0; i < pixels; ++i, in += 4, out += 3) {
        const unsigned k = inverted ? in[3] : 255u - in[3];
        for (std::size_t c = 0; c < 3; ++c) {
            const unsigned ink = inverted ? in[c] : 255u - in[c];
            out[c] = static_cast<std::uint8_t>((ink * k + 127) / 255);
        }
    }
}

void readRows(Decompressor& decompressor, RgbImage& image) {
    jpeg_decompress_struct& info = decompressor.info();
    const bool cmyk = info.out_color_space == JCS_CMYK;
    const std::size_t rowBytes = image.rowBytes();
    constexpr JDIMENSION kRowsAtOnce = 8;
    std::vector<std::uint8_t> cmykRows(cmyk ? static_cast<std::size_t>(image.width) * 4 * kRowsAtOnce : 0);
    // Reserving does not touch the memory: rows take it as they arrive, so a file that breaks off early
    // costs only what it held.
    image.pixels.reserve(rowBytes * static_cast<std::size_t>(image.height));
    while (info.output_scanline < info.output_height) {
        const JDIMENSION wanted = std::min(kRowsAtOnce, info.output_height - info.output_scanline);
        const std::size_t done = image.pixels.size();
        image.pixels.resize(done + rowBytes * wanted);
        std::array<JSAMPROW, kRowsAtOnce> rows{};
        for (JDIMENSION i = 0; i < wanted; ++i)
            rows[i] =
                cmyk ? &cmykRows[static_cast<std::size_t>(image.width) * 4 * i] : &image.pixels[done + rowBytes * i];
        JDIMENSION got = 0;
        decompressor.call([&] { got = jpeg_read_scanlines(&info, rows.data(), wanted); });
        image.pixels.resize(done + rowBytes * got);
        if (cmyk)
            cmykToRgb(cmykRows.data(), &image.pixels[done], static_cast<std::size_t>(image.width) * got,
                      info.saw_Adobe_marker);
    }
}

// Reads the header and settles the output's colours and reduction, so that its size is known.
void readLayout(Decompressor& decompressor, const LoadOptions& options) {
    jpeg_decompress_struct& info = decompressor.info();
    decompressor.call([&] { jpeg_read_header(&info, TRUE); });
    const std::string problem = pictureSideProblem(info.image_width, info.image_height);
    if (!problem.empty())
        decompressor.fail(JERR_IMAGE_TOO_BIG, problem);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = reductionFor(info, options);
    decompressor.call([&] { jpeg_calc_output_dimensions(&info); });
}

// What decoding takes once the layout is settled: the output's pixels, and the coefficients a picture of
// several scans holds whole.
JpegDecodeCost costOf(Decompressor& decompressor) {
    jpeg_decompress_struct& info = decompressor.info();
    bool heldWhole = false;
    decompressor.call([&] { heldWhole = jpeg_has_multiple_scans(&info); });
    return {std::uint64_t{info.output_width} * info.output_height * 3, heldWhole ? coefficientBytes(info) : 0};
}

} // namespace

JpegDecodeCost jpegDecodeCost(ByteSource& source, const std::string& name, const LoadOptions& options) {
    Decompressor decompressor(source, name);
    readLayout(decompressor, options);
    return costOf(decompressor);
}

PictureSize jpegPictureSize(ByteSource& source, const std::string& name) {
    Decompressor decompressor(source, name);
    jpeg_decompress_struct& info = decompressor.info();
    decompressor.call([&] { jpeg_read_header(&info, TRUE); });
    return {static_cast<int>(info.image_width), static_cast<int>(info.image_height)};
}

LoadedPicture decodeJpeg(ByteSource& source, const std::string& name, const LoadOptions& options) {
    Decompressor decompressor(source, name);
    jpeg_decompress_struct& info = decompressor.info();
    readLayout(decompressor, options);
    checkDecodeFits(decompressor);
    if (options.memoryNeeded) {
        const JpegDecodeCost cost = costOf(decompressor);
        options.memoryNeeded(cost.pixelBytes + cost.coefficientBytes);
    }
    decompressor.call([&] { jpeg_start_decompress(&info); });

    LoadedPicture picture;
    picture.format = PictureFormat::Jpeg;
    picture.sourceWidth = static_cast<int>(info.image_width);
    picture.sourceHeight = static_cast<int>(info.image_height);
    picture.image.width = static_cast<int>(info.output_width);
    picture.image.height = static_cast<int>(info.output_height);
    readRows(decompressor, picture.image);
    decompressor.call([&] { jpeg_finish_decompress(&info); });
    return picture;
}

namespace {

/// Owns a compressor writing into memory that libjpeg allocates.
class Compressor {
public:
    explicit Compressor(const std::string& name) : m_name(name) {
        installErrorTrap(m_trap, m_info.err);
        if (!trapped(m_trap, [&] { jpeg_create_compress(&m_info); })) {
            jpeg_destroy_compress(&m_info);
            fail(m_trap.code, m_trap.text);
        }
        call([&] { jpeg_mem_dest(&m_info, &m_buffer, &m_size); });
    }
    ~Compressor() {
        jpeg_destroy_compress(&m_info);
        std::free(m_buffer);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    jpeg_compress_struct& info() { return m_info; }
    std::string bytes() const { return {reinterpret_cast<const char*>(m_buffer), m_size}; }

    template <typename Step> void call(const Step& step) {
        if (!trapped(m_trap, step))
            fail(m_trap.code, m_trap.text);
    }

    [[noreturn]] void fail(int code, const std::string& what) const {
        throwPictureError(jpegErrorPrefix(code), m_name, what);
    }

private:
    const std::string& m_name;
    ErrorTrap m_trap{};
    jpeg_compress_struct m_info{};
    unsigned char* m_buffer = nullptr;
    unsigned long m_size = 0;
};

} // namespace

std::string encodeJpeg(const RgbImage& image, int quality, const std::string& name) {
    Compressor compressor(name);
    if (const std::string problem = writableImageProblem(image); !problem.empty())
        compressor.fail(kNotWritable, problem);
    jpeg_compress_struct& info = compressor.info();
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    compressor.call([&] {
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, quality, TRUE);
    });
    info.optimize_coding = TRUE;
    // No chroma subsampling: slider pictures are small, and thin coloured lines must stay sharp.
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    compressor.call([&] { jpeg_start_compress(&info, TRUE); });
    for (int y = 0; y < image.height; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(image.row(y)); // libjpeg only reads the row
        compressor.call([&] { jpeg_write_scanlines(&info, &row, 1); });
    }
    compressor.call([&] { jpeg_finish_compress(&info); });
    return compressor.bytes();
}

RgbImage decodeJpegBytes(const std::string& bytes, const std::string& name) {
    MemorySource source(bytes.data(), bytes.size());
    return decodeJpeg(source, name, {}).image;
}

std::string encodeFaithfulJpeg(const RgbImage& image, const PixelRect& content, int quality, int highest,
                               const std::string& name) {
    const QualityRaise raise{kLeastSimilarity, highest, kQualityTrials, kJpegLeastQualityStep, kJpegQualitySlope};
    return encodeFaithfully(
        image, content, quality, raise, [&](int trial) { return encodeJpeg(image, trial, name); },
        [&](const std::string& bytes) { return decodeJpegBytes(bytes, name); });
}

void writeJpeg(const std::string& path, const RgbImage& image, int quality) {
    writeFileAtomically(path, encodeJpeg(image, quality, path));
}

} // namespace veskaro
