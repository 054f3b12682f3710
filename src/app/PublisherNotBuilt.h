#pragma once

#include "platform/VeskaroError.h"
#include "ui/ProjectPublisher.h"

namespace veskaro {

/// Stands in for the save-and-publish pipeline until it is part of the program: saving says plainly that
/// nothing was saved, and there is no preview whose files would need clearing.
class PublisherNotBuilt : public ProjectPublisher {
public:
    void SaveAndPublish(TkvlAppletAgent&, ItemTree&, ProgressView&, const std::string&, const std::string&) override {
        throw VeskaroError("Saving is not available in this build of Veskaro yet. Nothing was saved.");
    }
    void ClearPreviewFolder(TkvlAppletAgent&) override {}
};

} // namespace veskaro
