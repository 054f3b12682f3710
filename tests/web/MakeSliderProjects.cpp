// Makes the slider projects that the browser tests publish with veskaro-cli and then open: three
// projects (three items, one item, none) named "index.vsk" in folders "three", "one" and "none" below the
// output folder, each with solid-coloured source pictures, one colour per image.

#include "imaging/BmpCodec.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>

namespace fs = std::filesystem;
using namespace veskaro;

namespace {

struct Picture {
    const char* name;
    std::uint8_t red, green, blue;
};

constexpr Picture kPictures[] = {{"Red", 255, 0, 0}, {"Green", 0, 255, 0}, {"Blue", 0, 0, 255}};

RgbImage solid(const Picture& picture) {
    RgbImage image(640, 480);
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
        image.pixels[i] = picture.red;
        image.pixels[i + 1] = picture.green;
        image.pixels[i + 2] = picture.blue;
    }
    return image;
}

// Short timings keep the tests quick: an image stays 700 ms, fades in over 200 ms, or over 400 ms when
// a visitor asks for it. Source pictures are named relative to the project, as veskaro-cli allows.
void makeProject(const fs::path& folder, int itemCount) {
    fs::create_directories(folder / "pictures");
    TkvlAppletAgent project;
    project.SetDefaults();
    TAppletData data = project.GetAppletData();
    data.reserved.clear();
    data.transDurAuto = "200";
    data.transDurManual = "400";
    data.switchImageDelay = "700";
    project.SetAppletData(data);
    for (int k = 0; k < itemCount; ++k) {
        const std::string source = std::string("pictures/") + kPictures[k].name + ".bmp";
        writeBmp((folder / source).string(), solid(kPictures[k]));
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = source;
        item.ILink = "#image" + std::to_string(k + 1);
        item.IToolTip = kPictures[k].name;
        item.ILevel = "0";
        project.InsertItem(k, item);
    }
    SilentProgressView progress;
    project.SaveToFile((folder / "index.vsk").string(), progress);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_slider_projects OUTPUT-FOLDER\n";
        return 2;
    }
    const fs::path output = argv[1];
    try {
        makeProject(output / "three", 3);
        makeProject(output / "one", 1);
        makeProject(output / "none", 0);
    } catch (const std::exception& error) {
        std::cerr << "make_slider_projects: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
