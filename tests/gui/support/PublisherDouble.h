#pragma once

#include "generate/Publisher.h"
#include "model/TkvlAppletAgent.h"
#include "platform/VeskaroError.h"

#include <optional>
#include <vector>

namespace veskaro::test {

/// Stands in for save-and-publish and for clearing the Preview folder: records what each save was given
/// and the project as it was then, fails with a prepared message or publishes for real when asked to, and
/// counts the clearings.
/// Everything else (page generation, the preview, the Preview folder's bookkeeping) is the real publisher's.
class PublisherDouble : public Publisher {
public:
    struct Save {
        std::string folder;
        std::string name;
        TAppletData parameters;
        TItemArray items;
    };

    explicit PublisherDouble(const Places& places) : Publisher(places) {}

    bool SaveAndPublish(TkvlAppletAgent& project, const std::string& folder, const std::string& name, ItemTree& tree,
                        ProgressView& progress) override {
        if (failure)
            throw VeskaroError(*failure);
        saves.push_back({folder, name, project.GetAppletData(), project.items()});
        return publishForReal ? Publisher::SaveAndPublish(project, folder, name, tree, progress) : true;
    }
    void ClearPreviewFolder() override { ++previewClears; }

    std::optional<std::string> failure;
    bool publishForReal = false; // the real save-and-publish runs after the save is recorded
    std::vector<Save> saves;
    int previewClears = 0;
};

} // namespace veskaro::test
