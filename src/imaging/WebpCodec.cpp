#include "imaging/WebpCodec.h"

#include "imaging/PictureError.h"
#include "imaging/RgbImageCheck.h"

#include <cstdint>
#include <unordered_set>

#include <webp/decode.h>
#include <webp/encode.h>

namespace veskaro {

namespace {

// Lossless level 6 is libwebp's default effort (method 4, quality 75).
constexpr int kLosslessLevel = 6;

[[noreturn]] void fail(const std::string& name, const std::string& what) {
    throwPictureError(kWebpErrorPrefix, name, what);
}

std::string encodingErrorText(WebPEncodingError error) {
    switch (error) {
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY:
        return "not enough memory to encode the picture";
    case VP8_ENC_ERROR_BAD_DIMENSION:
        return "the picture's size cannot be stored in a WebP file";
    case VP8_ENC_ERROR_PARTITION0_OVERFLOW:
    case VP8_ENC_ERROR_PARTITION_OVERFLOW:
    case VP8_ENC_ERROR_FILE_TOO_BIG:
        return "the encoded picture would be too large for a WebP file";
    case VP8_ENC_ERROR_INVALID_CONFIGURATION:
        return "the encoder settings are invalid";
    default:
        return "the encoder failed (libwebp error " + std::to_string(static_cast<int>(error)) + ")";
    }
}

/// Owns a picture handed to libwebp and the memory its encoding is written into.
class WebpPicture {
public:
    WebpPicture() {
        WebPPictureInit(&m_picture);
        WebPMemoryWriterInit(&m_writer);
        m_picture.writer = WebPMemoryWrite;
        m_picture.custom_ptr = &m_writer;
    }
    ~WebpPicture() {
        WebPPictureFree(&m_picture);
        WebPMemoryWriterClear(&m_writer);
    }
    WebpPicture(const WebpPicture&) = delete;
    WebpPicture& operator=(const WebpPicture&) = delete;

    WebPPicture& picture() { return m_picture; }
    std::string bytes() const { return {reinterpret_cast<const char*>(m_writer.mem), m_writer.size}; }

private:
    WebPPicture m_picture{};
    WebPMemoryWriter m_writer{};
};

void checkEncodable(const RgbImage& image, const std::string& name) {
    if (const std::string problem = writableImageProblem(image); !problem.empty())
        fail(name, problem);
    if (image.width > WEBP_MAX_DIMENSION || image.height > WEBP_MAX_DIMENSION)
        fail(name, "the picture is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                       " pixels; a WebP file holds at most " + std::to_string(WEBP_MAX_DIMENSION) + " pixels a side");
}

std::string encodeWith(const WebPConfig& config, const RgbImage& image, const std::string& name) {
    checkEncodable(image, name);
    if (!WebPValidateConfig(&config))
        fail(name, encodingErrorText(VP8_ENC_ERROR_INVALID_CONFIGURATION));
    WebpPicture owner;
    WebPPicture& picture = owner.picture();
    picture.width = image.width;
    picture.height = image.height;
    // Lossless works on ARGB, lossy on YUV: importing straight into the one the encoder uses saves a copy.
    picture.use_argb = config.lossless;
    if (!WebPPictureImportRGB(&picture, image.pixels.data(), static_cast<int>(image.rowBytes())))
        fail(name, encodingErrorText(VP8_ENC_ERROR_OUT_OF_MEMORY));
    if (!WebPEncode(&config, &picture))
        fail(name, encodingErrorText(picture.error_code));
    return owner.bytes();
}

} // namespace

std::string encodeWebp(const RgbImage& image, int quality, const std::string& name, int method) {
    if (quality < 0 || quality > 100)
        fail(name, "the quality " + std::to_string(quality) + " is outside 0 to 100");
    if (method < 0 || method > 6)
        fail(name, "the method " + std::to_string(method) + " is outside 0 to 6");
    WebPConfig config;
    // The photo preset spends bits on textured areas, where a slider's photographs show blocking first.
    if (!WebPConfigPreset(&config, WEBP_PRESET_PHOTO, static_cast<float>(quality)))
        fail(name, "this libwebp does not match the one the program was built with");
    config.method = method;
    return encodeWith(config, image, name);
}

std::string encodeWebpLossless(const RgbImage& image, const std::string& name) {
    WebPConfig config;
    if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, kLosslessLevel))
        fail(name, "this libwebp does not match the one the program was built with");
    return encodeWith(config, image, name);
}

RgbImage decodeWebp(const std::string& bytes, const std::string& name) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    int width = 0, height = 0;
    if (!WebPGetInfo(data, bytes.size(), &width, &height))
        fail(name, "the bytes are not a WebP picture");
    RgbImage image(width, height);
    if (!WebPDecodeRGBInto(data, bytes.size(), image.pixels.data(), image.pixels.size(),
                           static_cast<int>(image.rowBytes())))
        fail(name, "the picture cannot be decoded");
    return image;
}

std::string encodeFaithfulWebp(const RgbImage& image, const PixelRect& content, int quality, const std::string& name) {
    return encodeFaithfully(
        image, content, quality, kWebpQualityRaise, [&](int trial) { return encodeWebp(image, trial, name); },
        [&](const std::string& bytes) { return decodeWebp(bytes, name); });
}

bool hasAtMostColours(const RgbImage& image, int limit) {
    std::unordered_set<std::uint32_t> colours;
    std::uint32_t last = 0xFFFFFFFF; // no 24-bit colour: the first pixel is always counted
    for (std::size_t i = 0; i + 2 < image.pixels.size(); i += 3) {
        const std::uint32_t colour =
            std::uint32_t{image.pixels[i]} << 16 | std::uint32_t{image.pixels[i + 1]} << 8 | image.pixels[i + 2];
        // Runs of one colour are what few-colour pictures are made of; they cost no lookup.
        if (colour == last)
            continue;
        last = colour;
        colours.insert(colour);
        if (colours.size() > static_cast<std::size_t>(limit))
            return false;
    }
    return true;
}

bool webpLosslessIsBetter(bool fewColours, std::size_t lossyBytes, std::size_t losslessBytes) {
    return fewColours && losslessBytes < lossyBytes;
}

EncodedWebp encodeWebpFor(const RgbImage& image, const PixelRect& content, bool gifSource, int quality,
                          const std::string& name) {
    EncodedWebp lossy{encodeFaithfulWebp(image, content, quality, name), false};
    // A photograph lossless is several times its lossy size; only flat pictures are worth the second encode.
    if (!gifSource || !hasAtMostColours(image, kLosslessColourLimit))
        return lossy;
    EncodedWebp lossless{encodeWebpLossless(image, name), true};
    return webpLosslessIsBetter(true, lossy.bytes.size(), lossless.bytes.size()) ? lossless : lossy;
}

} // namespace veskaro
