#include "browse/PictureDialogSize.h"

#include "browse/LinkTipSetting.h"
#include "platform/SettingsStore.h"

namespace veskaro {

namespace {

// Far beyond any screen: a larger number was not written by this program.
constexpr std::uint32_t kLargestSide = 32768;

std::optional<int> readSide(const SettingsStore& store, const char* value) {
    const SettingsRead<std::uint32_t> read = store.readDword(SettingsRoot::CurrentUser, kSettingsKey, value);
    if (read.status != ReadStatus::Ok || read.value == 0 || read.value > kLargestSide)
        return std::nullopt;
    return static_cast<int>(read.value);
}

} // namespace

std::optional<DialogSize> readPictureDialogSize(const SettingsStore& store) {
    const std::optional<int> width = readSide(store, kPictureDialogWidthValue);
    const std::optional<int> height = readSide(store, kPictureDialogHeightValue);
    if (!width || !height)
        return std::nullopt;
    return DialogSize{*width, *height};
}

void writePictureDialogSize(SettingsStore& store, DialogSize size) {
    if (size.width <= 0 || size.height <= 0 || !store.createKey(SettingsRoot::CurrentUser, kSettingsKey))
        return;
    store.writeDword(SettingsRoot::CurrentUser, kSettingsKey, kPictureDialogWidthValue,
                     static_cast<std::uint32_t>(size.width));
    store.writeDword(SettingsRoot::CurrentUser, kSettingsKey, kPictureDialogHeightValue,
                     static_cast<std::uint32_t>(size.height));
}

} // namespace veskaro
