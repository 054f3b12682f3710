#include "browse/PictureCacheSetting.h"

#include "browse/LinkTipSetting.h"
#include "platform/CommandLine.h"
#include "platform/SettingsStore.h"

namespace veskaro {

std::optional<int> readPictureCacheMegabytes(const SettingsStore& store) {
    const SettingsRead<std::uint32_t> read =
        store.readDword(SettingsRoot::CurrentUser, kSettingsKey, kPictureCacheValue);
    if (read.status != ReadStatus::Ok || read.value > std::uint32_t(kMostCacheMegabytes))
        return std::nullopt;
    return static_cast<int>(read.value);
}

} // namespace veskaro
