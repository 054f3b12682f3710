#include "PictureFixtures.h"
#include "PictureTesting.h"
#include "RecordingProgressView.h"
#include "TestFolders.h"

#include "generate/Publisher.h"
#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PaletteQuantizer.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

#include <map>

using namespace veskaro;
using veskaro::test::errorOf;
using veskaro::test::PerUserFolders;
using veskaro::test::writeBytes;
namespace fs = std::filesystem;

namespace {

RgbImage flat(int width, int height, std::array<std::uint8_t, 3> colour) {
    RgbImage image(width, height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = colour[i % 3];
    return image;
}

class PrepareImages : public testing::Test {
protected:
    void SetUp() override {
        m_project.SetDefaults();
        setSlider("64", "48");
    }

    void setSlider(const std::string& width, const std::string& height) {
        TAppletData data = m_project.GetAppletData();
        data.sliderWidth = width;
        data.sliderHeight = height;
        m_project.SetAppletData(data);
    }

    std::string source(const std::string& name, const std::string& bytes) {
        fs::create_directories(m_folders.root().path() / "pictures");
        const std::string path = m_folders.root() / ("pictures/" + name);
        writeBytes(path, bytes);
        return path;
    }

    void addItem(const std::string& path) {
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IOriginalImagePath = path;
        item.ILevel = "0";
        m_project.InsertItem(m_project.itemCount(), item);
        m_tree.addChild(0, "Image");
    }

    LoadedPicture prepared(const std::string& name) { return loadPicture(m_places.GetPreviewFolder() + name); }

    PerUserFolders m_folders;
    const Places m_places = m_folders.places();
    Publisher m_publisher{m_places};
    TkvlAppletAgent m_project;
    PlainItemTree m_tree;
    veskaro::test::RecordingProgressView m_progress;
};

} // namespace

TEST_F(PrepareImages, MissingSourceWarnsAndKeepsTheItemWhileTheNextIsPrepared) {
    addItem(m_folders.root() / "pictures/gone.jpg");
    TItemData earlier = m_project.GetItem(0);
    earlier.IImageFile = "slider0.jpg";
    earlier.IImageWidth = "64";
    earlier.IImageHeight = "40";
    m_project.SetItem(earlier, 0);
    const RgbImage blue = flat(100, 50, {0, 0, 255});
    addItem("  " + source("b.GIF", encodeGif(quantizeForGif(blue, {0, 0, 100, 50}), "b.gif")) + " ");

    m_publisher.PrepareImages(m_project, m_tree, m_progress);

    EXPECT_EQ(m_tree.captionAt(1), "Warning: Original image not found.");
    EXPECT_EQ(m_tree.captionAt(2), "b.GIF");
    EXPECT_EQ(m_publisher.missingPictures(), std::vector<int>{0});
    EXPECT_EQ(m_project.GetItem(0), earlier);
    const TItemData gif = m_project.GetItem(1);
    EXPECT_EQ(gif.IImageFile, "slider1.gif");
    EXPECT_EQ(gif.IImageWidth, "64");
    EXPECT_EQ(gif.IImageHeight, "32");
    EXPECT_EQ(m_publisher.previewFolder().previewFiles(), TStringArray{"slider1.gif"});
    EXPECT_EQ(veskaro::test::namesIn(m_places.GetPreviewFolder()), std::set<std::string>{"slider1.gif"});
    EXPECT_TRUE(fs::is_empty(m_places.GetTempFolder())) << "the Temp copy is removed";
    EXPECT_EQ(m_progress.calls,
              (std::vector<std::string>{"hint Processing images ...", "busy", "maximum 3", "picture 2/2 b.GIF",
                                        "step 1", "position 0", "hint ", "idle"}));
}

TEST_F(PrepareImages, PutsThePictureOnAWhiteSliderCanvasInItsOwnFormat) {
    addItem(source("wide.bmp", encodeBmp(flat(100, 50, {200, 0, 0}), "wide.bmp")));
    addItem(source("tall.jpeg", encodeJpeg(flat(30, 60, {0, 160, 0}), 95, "tall.jpeg")));
    m_publisher.PrepareImages(m_project, m_tree, m_progress);

    EXPECT_EQ(m_project.GetItem(0).IImageFile, "slider0.bmp");
    const RgbImage wide = prepared("slider0.bmp").image;
    ASSERT_EQ(wide.width, 64);
    ASSERT_EQ(wide.height, 48);
    // 100 x 50 fits as 64 x 32, centred: rows 8 to 39 hold the picture.
    for (int y : {0, 7, 40, 47})
        EXPECT_EQ(wide.row(y)[3 * 30], 255) << y;
    for (int y : {8, 39})
        EXPECT_EQ(std::vector<int>(wide.row(y) + 90, wide.row(y) + 93), (std::vector<int>{200, 0, 0})) << y;

    const TItemData tall = m_project.GetItem(1);
    EXPECT_EQ(tall.IImageFile, "slider1.jpg");
    EXPECT_EQ(tall.IImageWidth, "24");
    EXPECT_EQ(tall.IImageHeight, "48");
    const RgbImage jpeg = prepared("slider1.jpg").image;
    ASSERT_EQ(jpeg.width, 64);
    EXPECT_GT(jpeg.row(24)[3 * 5], 245) << "white left of the picture (columns 0 to 19)";
    EXPECT_LT(jpeg.row(24)[3 * 32], 20) << "green in the middle";
    EXPECT_NEAR(jpeg.row(24)[3 * 32 + 1], 160, 4);
}

TEST_F(PrepareImages, NamesFollowPositionsNotSources) {
    const std::string path = source("same.jpg", encodeJpeg(flat(16, 12, {9, 9, 9}), 90, "same.jpg"));
    addItem(path);
    addItem(path);
    m_publisher.PrepareImages(m_project, m_tree, m_progress);
    EXPECT_EQ(m_project.GetItem(0).IImageFile, "slider0.jpg");
    EXPECT_EQ(m_project.GetItem(1).IImageFile, "slider1.jpg");
    EXPECT_EQ(prepared("slider1.jpg").image.width, 64) << "a small picture is enlarged to the slider";
}

TEST_F(PrepareImages, RelativeSourcesAreReadFromTheProjectsFolderWhereverTheProgramRuns) {
    source("meadow.jpg", encodeJpeg(flat(16, 12, {9, 9, 9}), 90, "meadow.jpg"));
    addItem("pictures/meadow.jpg");
    m_project.setProjectFolder(m_folders.root() / "");
    m_publisher.PrepareImages(m_project, m_tree, m_progress);
    EXPECT_EQ(m_project.GetItem(0).IImageFile, "slider0.jpg");
    EXPECT_EQ(m_project.GetItem(0).IOriginalImagePath, "pictures/meadow.jpg") << "the path stays as written";
    EXPECT_EQ(m_tree.captionAt(1), "meadow.jpg");
}

TEST_F(PrepareImages, UnreadableSourcesStopWithTheLoadersMessage) {
    addItem(source("ok.bmp", encodeBmp(flat(8, 8, {1, 2, 3}), "ok.bmp")));
    addItem(source("photo.png", "\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(errorOf([&] { m_publisher.PrepareImages(m_project, m_tree, m_progress); }),
              "Item 2 (photo.png): Unknown picture file extension (.png)");
    EXPECT_EQ(m_publisher.previewFolder().previewFiles(), TStringArray{"slider0.bmp"})
        << "earlier pictures stay prepared";
    EXPECT_EQ(m_progress.calls.back(), "idle");

    TkvlAppletAgent other;
    other.SetDefaults();
    PlainItemTree tree;
    TItemData broken = TkvlAppletAgent::DefaultItem();
    broken.IOriginalImagePath = source("broken.jpg", encodeJpeg(flat(64, 64, {5, 5, 5}), 90, "x.jpg").substr(0, 300));
    other.InsertItem(0, broken);
    tree.addChild(0, "Image");
    const std::string message = errorOf([&] { m_publisher.PrepareImages(other, tree, m_progress); });
    EXPECT_EQ(message.rfind("JPEG error #", 0), 0u) << message;
    EXPECT_NE(message.find("broken.jpg"), std::string::npos) << message;
    EXPECT_EQ(other.GetItem(0).IImageFile, "");
}

TEST_F(PrepareImages, RefusesASliderSizeNoDesignerCouldSet) {
    addItem(source("a.bmp", encodeBmp(flat(8, 8, {1, 2, 3}), "a.bmp")));
    for (const auto& [width, height] : {std::pair{"0", "48"}, std::pair{"64", "10000"}, std::pair{"-5", "48"}}) {
        setSlider(width, height);
        EXPECT_EQ(errorOf([&] { m_publisher.PrepareImages(m_project, m_tree, m_progress); }),
                  std::string("The slider size ") + width + " x " + height +
                      " cannot be used: width and height must lie between 1 and 9999 pixels.");
    }
    setSlider("wide", "48");
    EXPECT_EQ(errorOf([&] { m_publisher.PrepareImages(m_project, m_tree, m_progress); }),
              "'wide' is not a valid integer value");
}

TEST_F(PrepareImages, MissingSourcesNeedNoValidSliderSize) {
    addItem("");
    setSlider("", "");
    EXPECT_NO_THROW(m_publisher.PrepareImages(m_project, m_tree, m_progress));
    EXPECT_EQ(m_tree.captionAt(1), "Warning: Original image not found.");
}

namespace {

// Asks to stop once the given item's picture is being waited for.
class StoppingProgressView : public veskaro::test::RecordingProgressView {
public:
    explicit StoppingProgressView(int itemNumber) : m_itemNumber(itemNumber) {}
    void preparingPicture(int itemNumber, int itemCount, const std::string& name) override {
        RecordingProgressView::preparingPicture(itemNumber, itemCount, name);
        m_stop = m_stop || itemNumber == m_itemNumber;
    }
    bool stopRequested() override { return m_stop; }

private:
    int m_itemNumber;
    bool m_stop = false;
};

std::map<std::string, std::string> contentsOf(const std::string& folder) {
    std::map<std::string, std::string> contents;
    for (const std::string& name : veskaro::test::namesIn(folder))
        contents[name] = veskaro::test::readBytes(folder + name);
    return contents;
}

} // namespace

// The first picture is the slowest, so that with several workers the later ones finish before it.
TEST_F(PrepareImages, SeveralWorkersWriteTheSameFilesAndReportInItemOrder) {
    addItem(source("large.bmp", encodeBmp(veskaro::test::smoothPattern(1200, 900), "large.bmp")));
    addItem(m_folders.root() / "pictures/gone.jpg");
    addItem(source("b.gif", encodeGif(quantizeForGif(veskaro::test::colourPattern(90, 60), {0, 0, 90, 60}), "b")));
    for (int i = 0; i < 5; ++i)
        addItem(
            source("p" + std::to_string(i) + ".jpg", encodeJpeg(veskaro::test::smoothPattern(80 + i, 50), 90, "p")));
    std::vector<std::map<std::string, std::string>> outputs;
    for (const int workers : {1, 4}) {
        m_publisher.setPreparationWorkers(workers);
        m_progress.calls.clear();
        m_publisher.PrepareImages(m_project, m_tree, m_progress);
        outputs.push_back(contentsOf(m_places.GetPreviewFolder()));
        EXPECT_EQ(m_progress.calls, (std::vector<std::string>{"hint Processing images ...",
                                                              "busy",
                                                              "maximum 9",
                                                              "picture 1/8 large.bmp",
                                                              "step 1",
                                                              "picture 3/8 b.gif",
                                                              "step 1",
                                                              "picture 4/8 p0.jpg",
                                                              "step 1",
                                                              "picture 5/8 p1.jpg",
                                                              "step 1",
                                                              "picture 6/8 p2.jpg",
                                                              "step 1",
                                                              "picture 7/8 p3.jpg",
                                                              "step 1",
                                                              "picture 8/8 p4.jpg",
                                                              "step 1",
                                                              "position 0",
                                                              "hint ",
                                                              "idle"}))
            << workers << " workers";
        EXPECT_EQ(m_tree.captionAt(2), "Warning: Original image not found.");
        EXPECT_EQ(m_tree.captionAt(8), "p4.jpg");
        m_publisher.ClearPreviewFolder();
    }
    EXPECT_EQ(outputs[0].size(), 7u);
    EXPECT_TRUE(outputs[0] == outputs[1]) << "the pictures differ byte for byte";
}

TEST_F(PrepareImages, AFailingPictureStopsWithItsMessageAndLeavesNothingOfTheLaterOnes) {
    m_publisher.setPreparationWorkers(4);
    addItem(source("a.bmp", encodeBmp(flat(40, 30, {1, 2, 3}), "a.bmp")));
    addItem(source("broken.jpg", encodeJpeg(flat(64, 64, {5, 5, 5}), 90, "x.jpg").substr(0, 300)));
    for (int i = 0; i < 6; ++i)
        addItem(source("later" + std::to_string(i) + ".bmp", encodeBmp(flat(40, 30, {9, 9, 9}), "later.bmp")));
    const std::string message = errorOf([&] { m_publisher.PrepareImages(m_project, m_tree, m_progress); });
    EXPECT_EQ(message.rfind("JPEG error #", 0), 0u) << message;
    EXPECT_NE(message.find("broken.jpg"), std::string::npos) << message;
    EXPECT_EQ(m_publisher.previewFolder().previewFiles(), TStringArray{"slider0.bmp"});
    EXPECT_EQ(veskaro::test::namesIn(m_places.GetPreviewFolder()), std::set<std::string>{"slider0.bmp"});
    EXPECT_TRUE(fs::is_empty(m_places.GetTempFolder())) << "the later pictures are removed";
    EXPECT_EQ(m_project.GetItem(0).IImageFile, "slider0.bmp");
    EXPECT_EQ(m_project.GetItem(2).IImageFile, "");
    EXPECT_EQ(m_tree.captionAt(3), "Image") << "no later node is touched";
}

TEST_F(PrepareImages, AStopLeavesTheProjectAndThePreviewFolderAsTheyWere) {
    addItem(source("a.bmp", encodeBmp(flat(40, 30, {1, 2, 3}), "a.bmp")));
    m_publisher.PrepareImages(m_project, m_tree, m_progress);
    const std::map<std::string, std::string> preview = contentsOf(m_places.GetPreviewFolder());
    addItem(source("b.bmp", encodeBmp(flat(50, 30, {4, 5, 6}), "b.bmp")));
    addItem(source("c.jpg", encodeJpeg(flat(50, 30, {7, 8, 9}), 90, "c.jpg")));
    const TkvlAppletAgent before = m_project;
    for (const int stopAt : {1, 3}) {
        StoppingProgressView stopping(stopAt);
        EXPECT_EQ(errorOf([&] { m_publisher.PrepareImages(m_project, m_tree, stopping); }),
                  "Publishing was cancelled.");
        EXPECT_EQ(m_project.GetAppletData(), before.GetAppletData());
        EXPECT_EQ(m_project.items(), before.items());
        EXPECT_EQ(m_publisher.previewFolder().previewFiles(), TStringArray{"slider0.bmp"});
        EXPECT_EQ(contentsOf(m_places.GetPreviewFolder()), preview);
        EXPECT_TRUE(fs::is_empty(m_places.GetTempFolder()));
        EXPECT_EQ(stopping.calls.back(), "idle");
    }
}
