#pragma once

#include "model/TkvlAppletAgent.h"
#include "ui/ProjectPublisher.h"

namespace veskaro {

/// Hands the window's saving and Preview clean-up to the project's own operations.
class PipelinePublisher : public ProjectPublisher {
public:
    void SaveAndPublish(TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress, const std::string& folder,
                        const std::string& fileName) override {
        project.SaveAndPublish(folder, fileName, tree, progress);
    }
    void ClearPreviewFolder(TkvlAppletAgent& project) override { project.ClearPreviewFolder(); }
};

} // namespace veskaro
