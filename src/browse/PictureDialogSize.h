#pragma once

#include <optional>

namespace veskaro {

class SettingsStore;

/// The values beside the link tip setting that keep the size the user left the picture dialogs at.
inline constexpr const char* kPictureDialogWidthValue = "PictureDialogWidth";
inline constexpr const char* kPictureDialogHeightValue = "PictureDialogHeight";

/// A window size in device-independent pixels.
struct DialogSize {
    int width;
    int height;
};

/// Returns the size the user left the picture dialogs at, or nothing when none is kept or the kept one
/// is no size a dialog could have.
std::optional<DialogSize> readPictureDialogSize(const SettingsStore& store);

/// Keeps the size of a picture dialog, creating the key. A failure is ignored: the next dialog merely
/// opens at its own size.
void writePictureDialogSize(SettingsStore& store, DialogSize size);

} // namespace veskaro
