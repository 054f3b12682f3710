// Writes the fuzzers' seed files into a folder: <folder>/jpeg, <folder>/gif and <folder>/bmp.

#include "FuzzSeeds.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_fuzz_seeds FOLDER\n");
        return 2;
    }
    using veskaro::PictureFormat;
    for (const auto& [format, name] :
         {std::pair{PictureFormat::Jpeg, "jpeg"}, {PictureFormat::Gif, "gif"}, {PictureFormat::Bmp, "bmp"}}) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / name;
        std::filesystem::create_directories(folder);
        int n = 0;
        for (const std::string& seed : veskaro::fuzz::fuzzSeeds(format))
            std::ofstream(folder / ("seed" + std::to_string(n++)), std::ios::binary) << seed;
    }
    return 0;
}
