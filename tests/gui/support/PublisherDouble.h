#pragma once

#include "model/TkvlAppletAgent.h"
#include "platform/VeskaroError.h"
#include "ui/ProjectPublisher.h"

#include <optional>
#include <vector>

namespace veskaro::test {

/// Stands in for the save-and-publish pipeline: records what each save was given and the project as it
/// was then, and fails with a prepared message when asked to.
class PublisherDouble : public ProjectPublisher {
public:
    struct Save {
        std::string folder;
        std::string name;
        TAppletData parameters;
        TItemArray items;
    };

    void SaveAndPublish(TkvlAppletAgent& project, ItemTree&, ProgressView&, const std::string& folder,
                        const std::string& name) override {
        if (failure)
            throw VeskaroError(*failure);
        saves.push_back({folder, name, project.GetAppletData(), project.items()});
    }
    void ClearPreviewFolder(TkvlAppletAgent&) override { ++previewClears; }

    std::optional<std::string> failure;
    std::vector<Save> saves;
    int previewClears = 0;
};

} // namespace veskaro::test
