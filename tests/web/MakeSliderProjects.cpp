// Makes the slider projects that the browser tests publish with veskaro-cli and then open, each named
// "index.vsk" in its own folder below the output folder, with solid-coloured source pictures:
//   three  three items (red, green, blue), linked and described
//   one    the red item alone
//   none   no items
//   odd    three items with other button colours (white on transparent, black on white when active), a
//          longer delay, and what visitors stumble on: an empty link, an empty description, and a
//          description beyond ASCII
//   many   thirty items in a wide, low slider: one row holds the buttons only at full size
//   seven  seven items, linked and described, for the pages that load their pictures when needed

#include "imaging/BmpCodec.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"

#include <cstdint>
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

struct Item {
    const Picture& picture;
    std::string link;
    std::string description;
};

RgbImage solid(const Picture& picture, int width, int height) {
    RgbImage image(width, height);
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
        image.pixels[i] = picture.red;
        image.pixels[i + 1] = picture.green;
        image.pixels[i + 2] = picture.blue;
    }
    return image;
}

std::vector<Item> described(int count) {
    std::vector<Item> items;
    for (int k = 0; k < count; ++k)
        items.push_back({kPictures[k % 3], "#image" + std::to_string(k + 1), kPictures[k % 3].name});
    return items;
}

// Short timings keep the tests quick: an image stays 700 ms, fades in over 200 ms, or over 400 ms when a
// visitor asks for it; change() sets what a project does otherwise. Source pictures are named relative
// to the project, as veskaro-cli allows.
template <typename Change>
void makeProject(const fs::path& folder, const std::vector<Item>& items, int width, int height, Change change) {
    fs::create_directories(folder / "pictures");
    TkvlAppletAgent project;
    project.SetDefaults();
    TAppletData data = project.GetAppletData();
    data.reserved.clear();
    data.sliderWidth = std::to_string(width);
    data.sliderHeight = std::to_string(height);
    data.transDurAuto = "200";
    data.transDurManual = "400";
    data.switchImageDelay = "700";
    change(data);
    project.SetAppletData(data);
    for (std::size_t k = 0; k < items.size(); ++k) {
        const std::string source = std::string("pictures/") + items[k].picture.name + ".bmp";
        if (!fs::exists(folder / source))
            writeBmp((folder / source).string(), solid(items[k].picture, width, height));
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = source;
        item.ILink = items[k].link;
        item.IToolTip = items[k].description;
        item.ILevel = "0";
        project.InsertItem(static_cast<int>(k), item);
    }
    SilentProgressView progress;
    project.SaveToFile((folder / "index.vsk").string(), progress);
}

void makeProject(const fs::path& folder, const std::vector<Item>& items) {
    makeProject(folder, items, 640, 480, [](TAppletData&) {});
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_slider_projects OUTPUT-FOLDER\n";
        return 2;
    }
    const fs::path output = argv[1];
    try {
        makeProject(output / "three", described(3));
        makeProject(output / "one", described(1));
        makeProject(output / "none", {});
        makeProject(output / "odd",
                    {{kPictures[0], "", "Caf\xc3\xa9 in Z\xc3\xbcrich"},
                     {kPictures[1], "#image2", ""},
                     {kPictures[2], "#image3", "Blue"}},
                    640, 480, [](TAppletData& data) {
                        data.pSliderName = "Odd Slider";
                        data.navBtnTextColorNormal = "FFFFFF";
                        data.navBtnBgColorNormal = "transparent";
                        data.navBtnTextColorActive = "000000";
                        data.navBtnBgColorActive = "FFFFFF";
                        data.switchImageDelay = "1500";
                    });
        makeProject(output / "many", described(30), 1200, 160, [](TAppletData& data) { data.pSliderName = "Many"; });
        makeProject(output / "seven", described(7));
    } catch (const std::exception& error) {
        std::cerr << "make_slider_projects: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
