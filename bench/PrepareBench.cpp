// Prepares slider pictures the way a save does and reports the time each took and the peak memory.
//
//   veskaro-prep SOURCE OUTPUT WIDTH HEIGHT
//       one picture: OUTPUT names the file to write; its extension is replaced by the source format's
//   veskaro-prep --batch OUTDIR WIDTH HEIGHT SOURCE...
//       every SOURCE in one process, each written to OUTDIR with its own stem

#include "imaging/PictureFormat.h"
#include "imaging/SliderPicture.h"
#include "platform/MemoryUse.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace veskaro;

namespace {

long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string withoutExtension(const std::string& path) {
    const std::filesystem::path p(path);
    return (p.parent_path() / p.stem()).string();
}

double prepareTimed(const std::string& source, const std::string& base, int width, int height) {
    const auto start = std::chrono::steady_clock::now();
    const PictureFormat format = formatFromExtension(source);
    const std::string path = base + preparedExtension(format);
    const EncodedPictures picture = encodeSliderPictures(source, {{path, format, 1, {}}}, width, height);
    writeFileAtomically(path, picture.bytes.front());
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-40s %8.1f ms  %4dx%-4d  peak so far %6.1f MiB\n", std::filesystem::path(source).filename().c_str(),
                ms, picture.fit.scaledWidth, picture.fit.scaledHeight, peakMemoryKiB() / 1024.0);
    return ms;
}

int usage() {
    std::fprintf(stderr, "usage: veskaro-prep SOURCE OUTPUT WIDTH HEIGHT\n"
                         "       veskaro-prep --batch OUTDIR WIDTH HEIGHT SOURCE...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const WorkMemory memory; // as a save prepares its pictures
    try {
        if (args.size() >= 5 && args[0] == "--batch") {
            const int width = std::stoi(args[2]), height = std::stoi(args[3]);
            double total = 0;
            for (std::size_t i = 4; i < args.size(); ++i)
                total += prepareTimed(args[i],
                                      (std::filesystem::path(args[1]) / std::filesystem::path(args[i]).stem()).string(),
                                      width, height);
            std::printf("total %.1f ms for %zu pictures, peak memory %.1f MiB\n", total, args.size() - 4,
                        peakMemoryKiB() / 1024.0);
            return 0;
        }
        if (args.size() == 4) {
            prepareTimed(args[0], withoutExtension(args[1]), std::stoi(args[2]), std::stoi(args[3]));
            std::printf("peak memory %.1f MiB\n", peakMemoryKiB() / 1024.0);
            return 0;
        }
        return usage();
    } catch (const VeskaroError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    } catch (const std::invalid_argument&) {
        return usage();
    }
}
