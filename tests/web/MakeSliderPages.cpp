// Makes the slider pages that the browser tests open, through the page generator: three pages (three
// items, one item, none) in folders "three", "one" and "none" below the output folder, each with its
// style sheet, the two slider scripts and solid-coloured pictures, one colour per image.

#include "model/Folders.h"
#include "model/PlainItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace veskaro;

namespace {

struct Picture {
    const char* name;
    std::uint8_t red, green, blue;
};

constexpr Picture kPictures[] = {{"Red", 255, 0, 0}, {"Green", 0, 255, 0}, {"Blue", 0, 0, 255}};
constexpr int kWidth = 640;
constexpr int kHeight = 480;

void putLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int k = 0; k < size; ++k)
        bytes += static_cast<char>((value >> (8 * k)) & 0xFF);
}

// A 24-bit Windows bitmap of one colour; its rows are padded to four bytes.
std::string solidBitmap(const Picture& picture) {
    const std::uint32_t rowBytes = (kWidth * 3 + 3) / 4 * 4;
    const std::uint32_t pixelBytes = rowBytes * kHeight;
    std::string bytes = "BM";
    putLittleEndian(bytes, 14 + 40 + pixelBytes, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 14 + 40, 4);
    for (const std::uint32_t field : {40u, std::uint32_t{kWidth}, std::uint32_t{kHeight}})
        putLittleEndian(bytes, field, 4);
    putLittleEndian(bytes, 1, 2);
    putLittleEndian(bytes, 24, 2);
    for (int k = 0; k < 6; ++k)
        putLittleEndian(bytes, 0, 4);
    std::string row;
    for (int x = 0; x < kWidth; ++x)
        row += {static_cast<char>(picture.blue), static_cast<char>(picture.green), static_cast<char>(picture.red)};
    row.resize(rowBytes, '\0');
    for (int y = 0; y < kHeight; ++y)
        bytes += row;
    return bytes;
}

// Short timings keep the tests quick: an image stays 500 ms, fades in over 200 ms, or over 400 ms when
// a visitor asks for it.
void makePage(const fs::path& folder, int itemCount, const fs::path& scripts) {
    fs::create_directories(folder);
    TkvlAppletAgent project;
    project.SetDefaults();
    TAppletData data = project.GetAppletData();
    data.transDurAuto = "200";
    data.transDurManual = "400";
    data.switchImageDelay = "500";
    project.SetAppletData(data);
    PlainItemTree tree;
    for (int k = 0; k < itemCount; ++k) {
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IImageFile = "slider" + std::to_string(k) + ".bmp";
        item.ILink = "#image" + std::to_string(k + 1);
        item.IToolTip = kPictures[k].name;
        project.InsertItem(k, item);
        tree.addChild(0, item.IImageFile);
        writeFileAtomically((folder / item.IImageFile).string(), solidBitmap(kPictures[k]));
    }
    SilentProgressView progress;
    project.GenerateHTML((folder / "index.html").string(), tree, progress);
    const auto overwrite = fs::copy_options::overwrite_existing;
    fs::copy_file(GetStagingFolder() + "Slider1.css", folder / "Slider1.css", overwrite);
    for (const char* script : {"jslib.js", "slidervsk.js"})
        fs::copy_file(scripts / script, folder / script, overwrite);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_slider_pages OUTPUT-FOLDER SCRIPT-FOLDER\n";
        return 2;
    }
    const fs::path output = argv[1];
    const fs::path scripts = argv[2];
    try {
        // The generator stages its style sheet in the per-user folders; keep them inside the output.
        fs::create_directories(output / "per-user");
        ::setenv("XDG_DATA_HOME", (output / "per-user").c_str(), 1);
        makePage(output / "three", 3, scripts);
        makePage(output / "one", 1, scripts);
        makePage(output / "none", 0, scripts);
    } catch (const std::exception& error) {
        std::cerr << "make_slider_pages: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
