#include "imaging/GifCodec.h"

#include "imaging/DecodeLimits.h"
#include "imaging/GifCanvas.h"
#include "imaging/GifEstimate.h"
#include "imaging/GifLzwDecoder.h"
#include "imaging/GifTailCheck.h"
#include "imaging/PictureError.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <vector>

#include <gif_lib.h>

namespace veskaro {

namespace {

constexpr const char* kPrefix = kGifErrorPrefix;

/// What giflib reads from: the source, and whether a read came up short.
struct GifInput {
    ByteSource* source;
    bool shortRead;
};

int readGifBytes(GifFileType* gif, GifByteType* buffer, int size) {
    auto* input = static_cast<GifInput*>(gif->UserData);
    const std::size_t wanted = size > 0 ? static_cast<std::size_t>(size) : 0;
    const std::size_t count = input->source->read(buffer, wanted);
    if (count < wanted)
        input->shortRead = true;
    return static_cast<int>(count);
}

// The images that make up the first frame are decoded together; these bound the work a hostile file can ask for.
constexpr int kMaxImagesInFrame = 1024;
constexpr GraphicsControlBlock kNoControl{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};

class GifDecoder {
public:
    GifDecoder(ByteSource& source, const std::string& name, const LoadOptions& options)
        : m_input{&source, false}, m_name(name), m_memoryNeeded(options.memoryNeeded) {
        int error = 0;
        m_gif = DGifOpen(&m_input, readGifBytes, &error);
        if (!m_gif)
            failOpen(error);
    }
    ~GifDecoder() {
        int error = 0;
        DGifCloseFile(m_gif, &error);
    }
    GifDecoder(const GifDecoder&) = delete;
    GifDecoder& operator=(const GifDecoder&) = delete;

    /// Decodes the first frame: the first image and the images shown together with it. The frame ends at
    /// an image given a display time, or before an image that covers the whole screen: old animations
    /// without display times are played one image after another.
    LoadedPicture decode() {
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(m_gif, &type) == GIF_ERROR)
                failLibrary(m_gif->Error);
            if (type == EXTENSION_RECORD_TYPE) {
                readExtension();
                continue;
            }
            if (type != IMAGE_DESC_RECORD_TYPE)
                return finishAtTrailer();
            if (DGifGetImageDesc(m_gif) == GIF_ERROR)
                failLibrary(m_gif->Error);
            const GifImageDesc& description = m_gif->Image;
            const GifPlacement place{description.Left, description.Top, description.Width, description.Height,
                                     description.Interlace};
            if (m_canvas && coversScreen(place)) {
                checkLaterImage(place);
                skipImageData();
                return finishBeforeTail();
            }
            drawImage(place);
            const bool shownAlone = m_control.DelayTime > 0;
            m_control = kNoControl;
            if (shownAlone)
                return finishBeforeTail();
        }
    }

private:
    [[noreturn]] void fail(const std::string& what) const { throwPictureError(kPrefix, m_name, what); }

    [[noreturn]] void failOpen(int error) const {
        if (error == D_GIF_ERR_NOT_GIF_FILE || (m_input.shortRead && m_input.source->size() < 3))
            fail(m_input.source->size() == 0 && m_input.source->readError() == 0
                     ? "the file is empty"
                     : "not a GIF picture (the file does not start with \"GIF\")");
        failLibrary(error);
    }

    // giflib reports a short read under several codes, and some failures under none at all.
    [[noreturn]] void failLibrary(int error) const {
        if (const int readError = m_input.source->readError())
            fail(ioErrorText(readError));
        if (m_input.shortRead)
            fail("the file ends before the picture is complete");
        switch (error) {
        case D_GIF_ERR_WRONG_RECORD:
            fail("the file holds a block of unknown type");
        case D_GIF_ERR_NOT_ENOUGH_MEM:
            fail("not enough memory to decode the picture");
        case 0:
        case D_GIF_ERR_READ_FAILED: // without a short read: giflib's word for a code size it does not take
            fail("the picture data is damaged");
        default:
            if (const char* text = GifErrorString(error))
                fail(text);
            fail("giflib error " + std::to_string(error));
        }
    }

    void readExtension() {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(m_gif, &code, &block) == GIF_ERROR)
            failLibrary(m_gif->Error);
        if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
            // The last graphic control before the image is the one that applies to it.
            if (DGifExtensionToGCB(block[0], block + 1, &m_control) == GIF_ERROR)
                fail("a graphic control block has the wrong length");
        }
        while (block != nullptr)
            if (DGifGetExtensionNext(m_gif, &block) == GIF_ERROR)
                failLibrary(m_gif->Error);
    }

    LoadedPicture finishAtTrailer() {
        if (!m_canvas)
            fail("the file holds no picture");
        return picture();
    }

    // Later frames are not decoded, but a file cut short or damaged after the first one is refused all the same.
    LoadedPicture finishBeforeTail() {
        const std::string problem =
            gifTailProblem(*m_input.source, m_screenWidth, m_screenHeight, m_gif->SColorMap != nullptr);
        if (const int readError = m_input.source->readError())
            fail(ioErrorText(readError));
        if (!problem.empty())
            fail(problem);
        return picture();
    }

    LoadedPicture picture() {
        LoadedPicture picture;
        picture.format = PictureFormat::Gif;
        picture.sourceWidth = m_screenWidth;
        picture.sourceHeight = m_screenHeight;
        picture.image = m_canvas->take();
        return picture;
    }

    void checkLaterImage(const GifPlacement& place) const {
        if (!m_gif->Image.ColorMap && !m_gif->SColorMap)
            fail("a later image has no colour table");
        if (place.left >= m_screenWidth || place.top >= m_screenHeight)
            fail("a later image lies outside the picture's screen");
    }

    bool coversScreen(const GifPlacement& place) const {
        return place.left == 0 && place.top == 0 && place.width >= m_screenWidth && place.height >= m_screenHeight;
    }

    void drawImage(const GifPlacement& place) {
        if (!m_canvas)
            startCanvas(place);
        checkPlace(place);
        const ColorMapObject* map = m_gif->Image.ColorMap ? m_gif->Image.ColorMap : m_gif->SColorMap;
        if (!map || map->ColorCount <= 0)
            fail("the picture has no colour table");
        std::vector<GifCanvas::Colour> colours(static_cast<std::size_t>(map->ColorCount));
        for (std::size_t i = 0; i < colours.size(); ++i)
            colours[i] = {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue};
        const std::uint64_t restored = m_control.DisposalMode == DISPOSE_PREVIOUS
                                           ? 3 * std::uint64_t(std::min(place.width, m_screenWidth)) *
                                                 std::uint64_t(std::min(place.height, m_screenHeight))
                                           : 0;
        need(gifPeakBytes(canvasPixels(), std::uint64_t(place.width) * std::uint64_t(place.height) + restored));
        const std::vector<std::uint8_t> indices = decodePixels(place);
        checkIndices(indices, colours.size());
        m_canvas->draw(place, indices, colours, m_control.TransparentColor, m_control.DisposalMode);
    }

    void startCanvas(const GifPlacement& first) {
        // A screen without a size is taken to be as large as the first image needs, as browsers do.
        m_screenWidth = m_gif->SWidth > 0 ? m_gif->SWidth : first.left + first.width;
        m_screenHeight = m_gif->SHeight > 0 ? m_gif->SHeight : first.top + first.height;
        if (const std::string problem = pictureSizeProblem(m_screenWidth, m_screenHeight); !problem.empty())
            fail(problem);
        need(gifPeakBytes(canvasPixels(), 0));
        m_canvas.emplace(m_screenWidth, m_screenHeight);
    }

    std::uint64_t canvasPixels() const { return std::uint64_t(m_screenWidth) * std::uint64_t(m_screenHeight); }

    // The file may turn out to need more than its estimate said (it may have changed since); whoever keeps
    // the budget is told before the memory is taken.
    void need(std::uint64_t bytes) {
        if (bytes <= m_needed)
            return;
        m_needed = bytes;
        if (m_memoryNeeded)
            m_memoryNeeded(bytes);
    }

    void checkPlace(const GifPlacement& place) {
        if (place.width <= 0 || place.height <= 0)
            fail("an image is empty (" + std::to_string(place.width) + " x " + std::to_string(place.height) +
                 " pixels)");
        if (const std::string problem = pictureSizeProblem(place.width, place.height); !problem.empty())
            fail(problem);
        if (place.left >= m_screenWidth || place.top >= m_screenHeight)
            fail("an image lies outside the picture's " + std::to_string(m_screenWidth) + " x " +
                 std::to_string(m_screenHeight) + " screen");
        m_pixelsDrawn += std::int64_t{place.width} * place.height;
        if (++m_imagesDrawn > kMaxImagesInFrame || m_pixelsDrawn > kMaxPicturePixels)
            fail("the first frame is made of too many images to decode");
    }

    void skipImageData() {
        int codeSize = 0;
        GifByteType* block = nullptr;
        if (DGifGetCode(m_gif, &codeSize, &block) == GIF_ERROR)
            failLibrary(m_gif->Error);
        while (block != nullptr)
            if (DGifGetCodeNext(m_gif, &block) == GIF_ERROR)
                failLibrary(m_gif->Error);
    }

    std::vector<std::uint8_t> decodePixels(const GifPlacement& frame) {
        int codeSize = 0;
        GifByteType* block = nullptr;
        if (DGifGetCode(m_gif, &codeSize, &block) == GIF_ERROR)
            failLibrary(m_gif->Error);
        if (codeSize < 1 || codeSize > 8)
            fail("the image's LZW code size " + std::to_string(codeSize) + " is invalid");
        std::vector<std::uint8_t> indices(static_cast<std::size_t>(frame.width) *
                                          static_cast<std::size_t>(frame.height));
        GifLzwDecoder decoder(codeSize, indices.data(), indices.size());
        while (block != nullptr) {
            checkStatus(decoder.feed(block + 1, block[0]));
            if (DGifGetCodeNext(m_gif, &block) == GIF_ERROR)
                failLibrary(m_gif->Error);
        }
        if (decoder.pixelsWritten() < indices.size())
            fail("the image data ends after " + std::to_string(decoder.pixelsWritten()) + " of its " +
                 std::to_string(indices.size()) + " pixels");
        if (decoder.status() != GifLzwDecoder::Status::Ended)
            fail("the image data has no end code");
        return indices;
    }

    void checkStatus(GifLzwDecoder::Status status) const {
        switch (status) {
        case GifLzwDecoder::Status::Open:
        case GifLzwDecoder::Status::Ended:
            return;
        case GifLzwDecoder::Status::InvalidCode:
            fail("the image data holds an invalid LZW code");
        case GifLzwDecoder::Status::TooManyPixels:
            fail("the image data holds more pixels than the image");
        case GifLzwDecoder::Status::ValueTooLarge:
            fail("a pixel uses a colour beyond the colour table");
        case GifLzwDecoder::Status::DataAfterEnd:
            fail("the image data goes on after its end code");
        }
    }

    void checkIndices(const std::vector<std::uint8_t>& indices, std::size_t colourCount) const {
        for (const std::uint8_t index : indices)
            if (index >= colourCount && index != m_control.TransparentColor)
                fail("a pixel uses colour " + std::to_string(index) + " but the colour table has only " +
                     std::to_string(colourCount) + " colours");
    }

    GifInput m_input;
    const std::string& m_name;
    GifFileType* m_gif = nullptr;
    GraphicsControlBlock m_control = kNoControl; // the last graphic control, for the next image
    std::optional<GifCanvas> m_canvas;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    int m_imagesDrawn = 0;
    std::int64_t m_pixelsDrawn = 0;
    std::function<void(std::uint64_t)> m_memoryNeeded;
    std::uint64_t m_needed = 0; // the most memoryNeeded was told
};

/// Collects what giflib writes.
int appendGifBytes(GifFileType* gif, const GifByteType* bytes, int size) {
    try {
        static_cast<std::string*>(gif->UserData)
            ->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
        return size;
    } catch (...) {
        return 0; // giflib reports the failed write; nothing may unwind through its C frames
    }
}

class GifEncoder {
public:
    explicit GifEncoder(const std::string& name) : m_name(name) {
        int error = 0;
        m_gif = EGifOpen(&m_bytes, appendGifBytes, &error);
        if (!m_gif)
            failLibrary(error);
    }
    ~GifEncoder() {
        int error = 0;
        if (m_gif)
            EGifCloseFile(m_gif, &error);
        GifFreeMapObject(m_colourMap);
    }
    GifEncoder(const GifEncoder&) = delete;
    GifEncoder& operator=(const GifEncoder&) = delete;

    std::string encode(const IndexedImage& image) {
        check(image);
        // A colour table has a power-of-two size of at least 2; the extra entries stay black.
        const int size = std::max(2, static_cast<int>(std::bit_ceil(image.palette.size())));
        m_colourMap = GifMakeMapObject(size, nullptr);
        if (!m_colourMap)
            fail("not enough memory to write the picture");
        std::fill(m_colourMap->Colors, m_colourMap->Colors + size, GifColorType{0, 0, 0});
        for (std::size_t i = 0; i < image.palette.size(); ++i)
            m_colourMap->Colors[i] = {image.palette[i][0], image.palette[i][1], image.palette[i][2]};
        if (EGifPutScreenDesc(m_gif, image.width, image.height, 8, 0, m_colourMap) == GIF_ERROR ||
            EGifPutImageDesc(m_gif, 0, 0, image.width, image.height, false, nullptr) == GIF_ERROR)
            failLibrary(m_gif->Error);
        std::vector<GifPixelType> row(static_cast<std::size_t>(image.width));
        for (int y = 0; y < image.height; ++y) {
            const auto start = image.indices.begin() + static_cast<std::ptrdiff_t>(y) * image.width;
            std::copy(start, start + image.width, row.begin());
            if (EGifPutLine(m_gif, row.data(), image.width) == GIF_ERROR)
                failLibrary(m_gif->Error);
        }
        int error = 0;
        const int closed = EGifCloseFile(m_gif, &error);
        m_gif = nullptr;
        if (closed == GIF_ERROR)
            failLibrary(error);
        return std::move(m_bytes);
    }

private:
    [[noreturn]] void fail(const std::string& what) const { throwPictureError(kPrefix, m_name, what); }

    [[noreturn]] void failLibrary(int error) const {
        const char* text = GifErrorString(error);
        fail(text ? text : "giflib error " + std::to_string(error));
    }

    void check(const IndexedImage& image) const {
        if (image.width <= 0 || image.height <= 0 || image.width > 0xFFFF || image.height > 0xFFFF)
            fail("cannot write a picture of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                 " pixels");
        if (image.palette.empty() || image.palette.size() > 256)
            fail("the palette has " + std::to_string(image.palette.size()) + " colours; 1 to 256 are possible");
        if (image.indices.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
            fail("the picture's pixels do not match its size");
        const auto largest = std::max_element(image.indices.begin(), image.indices.end());
        if (*largest >= image.palette.size())
            fail("a pixel uses colour " + std::to_string(*largest) + " but the palette has only " +
                 std::to_string(image.palette.size()) + " colours");
    }

    const std::string& m_name;
    std::string m_bytes;
    GifFileType* m_gif = nullptr;
    ColorMapObject* m_colourMap = nullptr;
};

} // namespace

LoadedPicture decodeGif(ByteSource& source, const std::string& name, const LoadOptions& options) {
    return GifDecoder(source, name, options).decode();
}

std::string encodeGif(const IndexedImage& image, const std::string& name) {
    return GifEncoder(name).encode(image);
}

void writeGif(const std::string& path, const IndexedImage& image) {
    writeFileAtomically(path, encodeGif(image, path));
}

} // namespace veskaro
