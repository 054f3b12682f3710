#pragma once

#include "model/TkvlAppletAgent.h"

#include <string>

namespace veskaro {

/// What the project commands ask of the window that shows the project: its tree, its pages, the enabled
/// state of "Save" and the recent-files list.
class ProjectView {
public:
    virtual ~ProjectView() = default;

    /// Takes what the pages show into the project, as a save needs it: the script parameters, and the
    /// item whose page was shown last.
    virtual void storePagesIntoProject() = 0;
    /// Shows the project's script parameters on the pages.
    virtual void ScriptParamsToWindow() = 0;
    /// Empties the tree down to its root, selected, with the pages arranged afresh for it.
    virtual void showRootOnly() = 0;
    /// Reads a project file; one that loads replaces the project and the tree's nodes, the root selected,
    /// while the tree's handlers rest. A file that does not load changes nothing: it throws what the loader
    /// throws, or tells that the file is another product's.
    virtual LoadOutcome loadProject(const std::string& path) = 0;
    /// Shows whether the project has changes to save.
    virtual void showModified(bool modified) = 0;
    /// Tells that a new or opened project replaced the one shown: nothing before it can be undone.
    virtual void projectReplaced() = 0;
    /// Tells that the project as it is now was saved.
    virtual void projectSaved() = 0;
    /// Puts an opened project file at the top of the recent-files list.
    virtual void AddRecentFile(const std::string& fileName) = 0;
    /// Tells how many source pictures the publishing just done did not find, and which items they were.
    virtual void showMissingPictures() = 0;
    /// Tells that the project was saved and published into folder under fileName, unless missing pictures
    /// are told.
    virtual void showSaved(const std::string& folder, const std::string& fileName) = 0;
};

} // namespace veskaro
