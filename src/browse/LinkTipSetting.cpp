#include "browse/LinkTipSetting.h"

#include "platform/SettingsStore.h"
#include "platform/VeskaroError.h"

#include <string>

namespace veskaro {

bool readShowLinkTip(const SettingsStore& store) {
    const SettingsRead<std::uint32_t> read =
        store.readDword(SettingsRoot::CurrentUser, kSettingsKey, kShowLinkTipValue);
    switch (read.status) {
    case ReadStatus::Ok:
        return read.value != 0;
    case ReadStatus::NoKey:
    case ReadStatus::Missing:
        return true;
    case ReadStatus::WrongType:
        break;
    }
    return false;
}

void writeShowLinkTip(SettingsStore& store, bool show) {
    const bool stored = store.createKey(SettingsRoot::CurrentUser, kSettingsKey) &&
                        store.writeDword(SettingsRoot::CurrentUser, kSettingsKey, kShowLinkTipValue, show ? 1 : 0);
    if (!stored && show)
        throw VeskaroError(std::string("Failed to set data for '") + kShowLinkTipValue + "' in the settings key " +
                           (kSettingsKey + 1) + ".");
}

} // namespace veskaro
