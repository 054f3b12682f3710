#include "platform/SettingsStore.h"

#include "platform/FileSettingsStore.h"
#include "platform/WindowsRegistryStore.h"

namespace veskaro {

std::unique_ptr<SettingsStore> openSystemSettingsStore() {
#ifdef _WIN32
    return std::make_unique<WindowsRegistryStore>();
#else
    return FileSettingsStore::atStandardPlaces();
#endif
}

} // namespace veskaro
