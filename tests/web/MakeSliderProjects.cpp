// Makes the slider projects that the browser tests publish with veskaro-cli and then open, each named
// "index.vsk" in its own folder below the output folder, with solid-coloured source pictures:
//   three  three items (red, green, blue), linked and described
//   one    the red item alone
//   none   no items
//   odd    three items with other button colours (white on transparent, black on white when active), a
//          longer delay, and what visitors stumble on: an empty link, an empty description, and a
//          description beyond ASCII
//   many   thirty items in a wide, low slider: one row holds the buttons only at full size
//   sharp  seven items, linked and described, with every picture option on: JPEG, BMP and GIF sources
//          large enough for copies at twice the size, and the fifth a JPEG too small for one
// With "photos" after the folder it makes only "photos": 24 photo-like JPEGs of 1600 x 1200 (smooth
// shading, edges, texture and grain, as a camera gives an encoder to work on) with every picture option on.

#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
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
// A source picture of an item: where it lies below the project, and what writes it there.
struct Source {
    std::string path;
    std::function<void(const fs::path&)> write;
};

template <typename Change, typename SourceOf>
void makeProject(const fs::path& folder, const std::vector<Item>& items, int width, int height, Change change,
                 SourceOf sourceOf, const ProjectOptions& options = {}) {
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
    project.setOptions(options);
    for (std::size_t k = 0; k < items.size(); ++k) {
        const Source source = sourceOf(k);
        if (!fs::exists(folder / source.path))
            source.write(folder / source.path);
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = source.path;
        item.ILink = items[k].link;
        item.IToolTip = items[k].description;
        item.ILevel = "0";
        project.InsertItem(static_cast<int>(k), item);
    }
    SilentProgressView progress;
    project.SaveToFile((folder / "index.vsk").string(), progress);
}

// Each item's picture as a BMP of the slider's size in its colour, one file for each colour.
template <typename Change>
void makeProject(const fs::path& folder, const std::vector<Item>& items, int width, int height, Change change) {
    makeProject(folder, items, width, height, change, [&](std::size_t k) {
        const Picture& picture = items[k].picture;
        return Source{std::string("pictures/") + picture.name + ".bmp",
                      [&picture, width, height](const fs::path& path) {
                          writeBmp(path.string(), solid(picture, width, height));
                      }};
    });
}

void makeProject(const fs::path& folder, const std::vector<Item>& items) {
    makeProject(folder, items, 640, 480, [](TAppletData&) {});
}

ProjectOptions everyPictureOption() {
    ProjectOptions options;
    for (const char* name : {"Pictures.HighDensity", "Pictures.WebP", "Pictures.LazyLoad"})
        options.set(name, "1");
    return options;
}

IndexedImage solidIndexed(const Picture& picture, int width, int height) {
    IndexedImage image{width, height, {{picture.red, picture.green, picture.blue}}, {}};
    image.indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return image;
}

// The sources of "sharp": item k's picture in its colour, 1280 x 960 (twice the slider) as JPEG but the
// third (a BMP), the fourth (a GIF) and the fifth (a JPEG of 800 x 600, too small for a 2x copy).
Source sharpSource(std::size_t k, const Picture& picture) {
    const std::string name = "pictures/" + std::to_string(k + 1) + picture.name;
    if (k == 2)
        return {name + ".bmp",
                [&picture](const fs::path& path) { writeBmp(path.string(), solid(picture, 1280, 960)); }};
    if (k == 3)
        return {name + ".gif",
                [&picture](const fs::path& path) { writeGif(path.string(), solidIndexed(picture, 1280, 960)); }};
    const int width = k == 4 ? 800 : 1280;
    return {name + ".jpg", [&picture, width](const fs::path& path) {
                writeJpeg(path.string(), solid(picture, width, width * 3 / 4));
            }};
}

// A cheap, repeatable stream of pseudo-random numbers (xorshift), enough for grain.
class Grain {
public:
    explicit Grain(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    int next(int spread) {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<int>(m_state % static_cast<std::uint32_t>(2 * spread + 1)) - spread;
    }

private:
    std::uint32_t m_state;
};

std::uint8_t clamped(double value) {
    return static_cast<std::uint8_t>(std::lround(std::min(255.0, std::max(0.0, value))));
}

// Texture as leaves, grass or gravel give it: random values on a grid of cells a few pixels wide, blended
// between neighbours, so that it stays after the picture is reduced, as a photograph's detail does.
class Texture {
public:
    Texture(Grain& grain, int width, int height, int cell)
        : m_columns(width / cell + 2), m_cell(cell),
          m_values(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(height / cell + 2)) {
        for (double& value : m_values)
            value = grain.next(100) / 100.0;
    }
    double at(int x, int y) const {
        const double fx = static_cast<double>(x % m_cell) / m_cell, fy = static_cast<double>(y % m_cell) / m_cell;
        const std::size_t i = static_cast<std::size_t>(y / m_cell) * static_cast<std::size_t>(m_columns) +
                              static_cast<std::size_t>(x / m_cell);
        const std::size_t below = i + static_cast<std::size_t>(m_columns);
        return (m_values[i] * (1 - fx) + m_values[i + 1] * fx) * (1 - fy) +
               (m_values[below] * (1 - fx) + m_values[below + 1] * fx) * fy;
    }

private:
    int m_columns;
    int m_cell;
    std::vector<double> m_values;
};

// A picture an encoder meets in a photograph: a sky-like gradient, soft waves of colour, a sharp-edged
// disc, textured ground in the lower part and fine grain, different for every seed. On the 24 pictures a
// publish weighs about what the photo corpus does (WebP at twice the slider's size tens of KB each).
RgbImage photoLike(int seed, int width, int height) {
    RgbImage image(width, height);
    Grain grain(static_cast<std::uint32_t>(seed));
    const Texture coarse(grain, width, height, 9), fine(grain, width, height, 4);
    const double phase = seed * 0.7;
    const double discX = width * (0.25 + 0.05 * (seed % 10)), discY = height * (0.3 + 0.04 * (seed % 7));
    const double radius = height * 0.18;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.row(y);
        const double v = static_cast<double>(y) / height;
        const double ground = std::clamp((v - 0.45) * 4, 0.0, 1.0); // no texture in the sky
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width;
            const double wave = std::sin(9 * u + phase) * std::cos(7 * v - phase) * 40;
            const double detail = ground * (coarse.at(x, y) * 45 + fine.at(x, y) * 25);
            const bool inDisc = std::hypot(x - discX, y - discY) < radius;
            const double base[3] = {inDisc ? 220 : 90 + 100 * v + wave + detail,
                                    inDisc ? 180 - 60 * u : 120 + wave * 0.5 + detail,
                                    inDisc ? 60 : 200 - 80 * v - wave + detail * 0.5};
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = clamped(base[c] + grain.next(6));
        }
    }
    return image;
}

void makePhotoProject(const fs::path& folder) {
    const std::vector<Item> items = described(24);
    makeProject(
        folder, items, 640, 480, [](TAppletData& data) { data.pSliderName = "Photos"; },
        [](std::size_t k) {
            return Source{"pictures/photo" + std::to_string(k + 1) + ".jpg", [k](const fs::path& path) {
                              writeJpeg(path.string(), photoLike(static_cast<int>(k), 1600, 1200), 92);
                          }};
        },
        everyPictureOption());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::string_view(argv[2]) != "photos")) {
        std::cerr << "usage: make_slider_projects OUTPUT-FOLDER [photos]\n";
        return 2;
    }
    const fs::path output = argv[1];
    try {
        if (argc == 3) {
            makePhotoProject(output / "photos");
            return 0;
        }
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
        const std::vector<Item> sharp = described(7);
        makeProject(
            output / "sharp", sharp, 640, 480, [](TAppletData& data) { data.pSliderName = "Sharp"; },
            [&sharp](std::size_t k) { return sharpSource(k, sharp[k].picture); }, everyPictureOption());
    } catch (const std::exception& error) {
        std::cerr << "make_slider_projects: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
