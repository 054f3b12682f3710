#include "TestFolders.h"

#include "browse/LinkTipSetting.h"
#include "browse/PictureCacheSetting.h"
#include "browse/PictureDialogSize.h"
#include "platform/FileSettingsStore.h"
#include "platform/VeskaroError.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

using namespace veskaro;
using veskaro::test::readBytes;
using veskaro::test::TemporaryFolder;
using veskaro::test::writeBytes;

namespace {

class LinkTipSettingTest : public testing::Test {
protected:
    void storeSettings(const std::string& values) {
        writeBytes(m_userFile, "[Software\\KVL\\Veskaro\\1.0\\Settings]\r\n" + values);
    }

    TemporaryFolder m_folder;
    std::string m_userFile = m_folder / "user.reg";
    FileSettingsStore m_store{m_userFile, m_folder / "machine.reg"};
};

} // namespace

TEST_F(LinkTipSettingTest, TipIsShownUntilSwitchedOff) {
    EXPECT_TRUE(readShowLinkTip(m_store)) << "without the key";
    storeSettings("\"Other\"=dword:00000000\r\n");
    EXPECT_TRUE(readShowLinkTip(m_store)) << "without the value";
    storeSettings("\"ShowLinkTipDialog\"=dword:00000000\r\n");
    EXPECT_FALSE(readShowLinkTip(m_store));
    storeSettings("\"ShowLinkTipDialog\"=dword:00000007\r\n");
    EXPECT_TRUE(readShowLinkTip(m_store)) << "any number but zero";
}

TEST_F(LinkTipSettingTest, UnreadableValueSwitchesTheTipOff) {
    storeSettings("\"ShowLinkTipDialog\"=\"1\"\r\n");
    EXPECT_FALSE(readShowLinkTip(m_store));
}

TEST_F(LinkTipSettingTest, WritingCreatesTheKeyAndStoresANumber) {
    writeShowLinkTip(m_store, false);
    EXPECT_NE(readBytes(m_userFile)
                  .find("[Software\\KVL\\Veskaro\\1.0\\Settings]\r\n"
                        "\"ShowLinkTipDialog\"=dword:00000000\r\n"),
              std::string::npos)
        << readBytes(m_userFile);
    EXPECT_FALSE(readShowLinkTip(m_store));
    writeShowLinkTip(m_store, true);
    EXPECT_TRUE(readShowLinkTip(m_store));
    EXPECT_EQ(m_store.readDword(SettingsRoot::CurrentUser, kSettingsKey, "ShowLinkTipDialog").value, 1u);
}

TEST_F(LinkTipSettingTest, FailureToSwitchTheTipOnIsReportedAndToSwitchItOffIsNot) {
    FileSettingsStore blocked(m_folder / "file/user.reg", m_folder / "machine.reg");
    writeBytes(m_folder / "file", "a file where the settings folder belongs");
    EXPECT_NO_THROW(writeShowLinkTip(blocked, false));
    try {
        writeShowLinkTip(blocked, true);
        FAIL() << "no error";
    } catch (const VeskaroError& error) {
        EXPECT_STREQ(
            error.what(),
            "Failed to set data for 'ShowLinkTipDialog' in the settings key Software\\KVL\\Veskaro\\1.0\\Settings.");
    }
}

// The picture dialogs' size lies beside the tip setting; a size no dialog could have is not taken.
TEST_F(LinkTipSettingTest, PictureDialogSizeIsKeptAndOddSizesAreIgnored) {
    EXPECT_FALSE(readPictureDialogSize(m_store));
    writePictureDialogSize(m_store, {1111, 777});
    const std::optional<DialogSize> kept = readPictureDialogSize(m_store);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->width, 1111);
    EXPECT_EQ(kept->height, 777);
    EXPECT_TRUE(readShowLinkTip(m_store)) << "the tip setting stays as it was";
    for (const char* values : {"\"PictureDialogWidth\"=dword:00000000\r\n\"PictureDialogHeight\"=dword:00000300\r\n",
                               "\"PictureDialogWidth\"=dword:7fffffff\r\n\"PictureDialogHeight\"=dword:00000300\r\n",
                               "\"PictureDialogWidth\"=\"800\"\r\n\"PictureDialogHeight\"=dword:00000300\r\n"}) {
        storeSettings(values);
        EXPECT_FALSE(readPictureDialogSize(m_store)) << values;
    }
}

TEST_F(LinkTipSettingTest, PictureCacheBoundIsTheStoredMegabytesWhenItIsOne) {
    EXPECT_EQ(readPictureCacheMegabytes(m_store), std::nullopt) << "without the key";
    for (const auto& [line, megabytes] :
         std::vector<std::pair<std::string, std::optional<int>>>{{"\"Picture cache\"=dword:00000200\r\n", 512},
                                                                 {"\"Picture cache\"=dword:00000000\r\n", 0},
                                                                 {"\"Picture cache\"=dword:00100000\r\n", 1 << 20},
                                                                 {"\"Picture cache\"=dword:00100001\r\n", std::nullopt},
                                                                 {"\"Picture cache\"=\"512\"\r\n", std::nullopt},
                                                                 {"\"Other\"=dword:00000200\r\n", std::nullopt}}) {
        storeSettings(line);
        EXPECT_EQ(readPictureCacheMegabytes(m_store), megabytes) << line;
    }
}
