#pragma once

#include "model/TkvlAppletAgent.h"
#include "platform/VeskaroError.h"
#include "ui/ProjectPublisher.h"

namespace veskaro {

/// Hands the window's saving and Preview clean-up to the project's own operations.
class PipelinePublisher : public ProjectPublisher {
public:
    void SaveAndPublish(TkvlAppletAgent&, ItemTree&, ProgressView&, const std::string&, const std::string&) override {
        // The save-and-publish pipeline is not part of this build yet: saving says so rather than pretend.
        throw VeskaroError("Saving is not available in this build of Veskaro yet. Nothing was saved.");
    }
    void ClearPreviewFolder(TkvlAppletAgent& project) override { project.ClearPreviewFolder(); }
};

} // namespace veskaro
