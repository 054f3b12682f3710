// A stand-in for image preparation until the picture codecs are built: it keeps the bookkeeping for
// items whose source image is missing and refuses every existing source. It is replaced whole when
// image preparation lands.

#include "model/ItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/VeskaroError.h"

#include <filesystem>

namespace veskaro {

void TkvlAppletAgent::PrepareImages(ItemTree& tree, ProgressView& progress) {
    const ProgressScope scope(progress, "Processing images ...");
    progress.setMaximum(itemCount() + 1);
    for (int k = 0; k < itemCount(); ++k) {
        const std::string path = TrimText(m_items[static_cast<std::size_t>(k)].IOriginalImagePath);
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            tree.setCaption(k + 1, "Warning: Original image not found.");
            continue;
        }
        throw VeskaroError("Image preparation is not available in this build");
    }
}

} // namespace veskaro
