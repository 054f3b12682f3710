// Measures what the picture readers cost on the largest and the most hostile files they meet: files that
// declare more than the limits, files that declare a lot and hold little, a progressive JPEG with too
// many scans, and the largest pictures the limits let through. Each file is loaded in a child process,
// so that the peak memory printed is that file's alone.
//
//   decode_limits_bench [folder]     (the files are made in the folder, by default a temporary one)

#include "PeakMemory.h"
#include "PictureFixtures.h"

#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureLoader.h"
#include "platform/VeskaroError.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using namespace veskaro;
namespace fs = std::filesystem;

namespace {

struct Case {
    const char* name;
    const char* file;
    std::function<std::string()> make;
};

std::string withDeclaredSize(std::string jpeg, int width, int height) {
    const std::size_t frame =
        jpeg.find("\xFF\xC0") != std::string::npos ? jpeg.find("\xFF\xC0") : jpeg.find("\xFF\xC2");
    jpeg[frame + 5] = static_cast<char>(height >> 8);
    jpeg[frame + 6] = static_cast<char>(height & 0xFF);
    jpeg[frame + 7] = static_cast<char>(width >> 8);
    jpeg[frame + 8] = static_cast<char>(width & 0xFF);
    return jpeg;
}

std::string constantGif(int width, int height) {
    return encodeGif(IndexedImage{width,
                                  height,
                                  {{10, 20, 30}, {200, 100, 50}},
                                  std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)},
                     "bomb.gif");
}

std::string emptyRle(int width, int height) {
    test::BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitsPerPixel = 8;
    spec.compression = 1;
    spec.palette = {{0, 0, 0}};
    spec.pixelData = std::string("\x00\x01", 2);
    return test::makeBmp(spec);
}

std::vector<Case> cases() {
    const RgbImage small = test::smoothPattern(8, 8);
    return {
        {"JPEG declaring 65500 x 65500", "huge.jpg",
         [=] { return withDeclaredSize(encodeJpeg(small, 90, "s"), 65500, 65500); }},
        {"JPEG declaring 10000 x 10000, 8 x 8 of data", "hollow.jpg",
         [=] { return withDeclaredSize(encodeJpeg(small, 90, "s"), 10000, 10000); }},
        {"progressive JPEG declaring 10000 x 10000", "hollow-progressive.jpg",
         [=] { return withDeclaredSize(test::makeProgressiveJpeg(small, 10), 10000, 10000); }},
        {"progressive JPEG of 2000 scans", "scans.jpg",
         [] { return test::makeProgressiveJpeg(test::smoothPattern(256, 256), 2000); }},
        {"JPEG photo 8000 x 6000", "photo.jpg", [] { return encodeJpeg(test::smoothPattern(8000, 6000), 90, "p"); }},
        {"GIF screen 65535 x 65535", "huge.gif",
         [] {
             return test::makeGif({65535,
                                   65535,
                                   {{0, 0, 0}, {1, 1, 1}},
                                   {test::GifImageSpec{0, 0, 1, 1, false, {0}, {}, false, 0, 0, -1}}});
         }},
        {"GIF of 10000 x 10000, one colour", "bomb.gif", [] { return constantGif(10000, 10000); }},
        {"BMP declaring 3000000 x 2000000", "huge.bmp", [] { return emptyRle(3000000, 2000000); }},
        {"BMP RLE8 of 10000 x 10000, no pixels", "bomb.bmp", [] { return emptyRle(10000, 10000); }},
        {"BMP 24-bit 10000 x 10000", "full.bmp", [] { return encodeBmp(test::smoothPattern(10000, 10000), "f"); }},
    };
}

int decodeOne(const char* path, bool reduced) {
    try {
        const LoadedPicture picture = loadPicture(path, reduced ? LoadOptions::atLeast(640, 480) : LoadOptions{});
        std::printf("decoded %d x %d", picture.image.width, picture.image.height);
    } catch (const VeskaroError& error) {
        const char* what = std::strrchr(error.what(), ':');
        std::printf("refused:%.60s", what ? what + 1 : error.what());
    }
    std::printf(" | %.1f", static_cast<double>(test::peakMemoryKilobytes()) / 1024);
    std::fflush(stdout);
    return 0;
}

void measure(const Case& benchCase, const fs::path& file, bool reduced) {
    std::printf("| %s%s | %ju | ", benchCase.name, reduced ? " (for 640 x 480)" : "",
                static_cast<std::uintmax_t>(fs::file_size(file)));
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", "decode_limits_bench", "--decode", file.c_str(), reduced ? "reduced" : "full", nullptr);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf(" | %.0f |\n", milliseconds);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--decode") == 0)
        return decodeOne(argv[2], std::strcmp(argv[3], "reduced") == 0);
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "veskaro-decode-limits";
    fs::create_directories(folder);
    std::printf("| file | bytes | result | peak RSS MB | wall ms |\n|---|---|---|---|---|\n");
    for (const Case& benchCase : cases()) {
        const fs::path file = folder / benchCase.file;
        if (!fs::exists(file))
            std::ofstream(file, std::ios::binary) << benchCase.make();
        measure(benchCase, file, false);
        if (std::string(benchCase.file) == "photo.jpg")
            measure(benchCase, file, true);
    }
    if (argc <= 1)
        fs::remove_all(folder);
    return 0;
}
