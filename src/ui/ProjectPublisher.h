#pragma once

#include <string>

namespace veskaro {

class ItemTree;
class ProgressView;
class TkvlAppletAgent;

/// What the window hands on to the publishing side: saving with publishing, and the clean-up of the
/// Preview folder. The program gives the window the real pipeline; tests give it a double.
class ProjectPublisher {
public:
    virtual ~ProjectPublisher() = default;

    /// Writes the project file and publishes the page with everything it needs into folder (ending in
    /// the path delimiter) under name. Throws VeskaroError when anything fails.
    virtual void SaveAndPublish(TkvlAppletAgent& project, ItemTree& tree, ProgressView& progress,
                                const std::string& folder, const std::string& name) = 0;
    /// Removes the files that previews copied into the Preview folder. Never fails.
    virtual void ClearPreviewFolder(TkvlAppletAgent& project) = 0;
};

} // namespace veskaro
