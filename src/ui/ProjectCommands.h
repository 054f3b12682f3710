#pragma once

#include <QCoreApplication>
#include <QString>

#include <string>

namespace veskaro {

class ItemTree;
class ProgressView;
class ProjectView;
class Prompts;
class Publisher;
class TkvlAppletAgent;

/// The commands on the project as a whole: New, Open, Save, Save As, opening from the recent-files list
/// or the command line, and the question before the window closes. It keeps whether the project has
/// changes to save and the project file it belongs to, and asks before anything would lose changes.
class ProjectCommands {
    Q_DECLARE_TR_FUNCTIONS(ProjectCommands)

public:
    /// Works on project, shown in view with its tree and progress, and publishes through publisher.
    ProjectCommands(Prompts& prompts, Publisher& publisher, TkvlAppletAgent& project, ItemTree& tree,
                    ProgressView& progress, ProjectView& view);

    /// Tells whether the project has changes that no save has written yet.
    bool Modified() const { return m_modified; }
    /// Sets whether the project has changes to save, which the window shows on "Save".
    void setModified(bool modified);
    /// Returns the project file the project belongs to; empty for a project never saved.
    const std::string& ProjectFileName() const { return m_projectFileName; }
    /// Makes the project belong to a project file, which the next Save writes without asking.
    void setProjectFileName(const std::string& fileName) { m_projectFileName = fileName; }

    /// Starts a new project after asking to save changes.
    void newProject();
    /// Opens a project chosen in the open dialog after asking to save changes.
    void open();
    /// Saves to the project file, asking for one when there is none yet.
    void save();
    /// Saves under a name chosen in the save dialog, which the project belongs to from then on.
    void saveAs();
    /// Opens a project by name after asking to save changes; empty text opens nothing.
    void openProjectFile(const std::string& fileName);
    /// Opens the project named on the command line without asking about changes. An error of the open
    /// is dropped: the program simply starts with what the open left; the open's own messages still show.
    void openCommandLineFile(const std::string& fileName);
    /// Tells whether the window may close, after asking to save changes; the Preview folder is cleared
    /// whatever the answer.
    bool closeQuery();
    /// Shows a new project with its defaults, belonging to no file and without changes.
    void startNewProject();
    /// Asks whether to save a modified project first, and tells whether the command may go on: a save
    /// that is cancelled in its dialog or fails cancels the command too, so that no change is lost.
    bool askToSaveFirst();

private:
    enum class SaveDialogFolder { Documents, Unchanged };
    bool saveProject(SaveDialogFolder folder);
    bool saveUnderChosenName(const QString& initialFolder);
    bool mayReplaceOtherProjects(const std::string& path);
    void saveAndPublishTo(const std::string& path);
    void throwUnreadablePictures() const;
    void openProject(const std::string& path);
    void clearPreviewFolder();
    QString documentsFolder() const;

    Prompts& m_prompts;
    Publisher& m_publisher;
    TkvlAppletAgent& m_project;
    ItemTree& m_tree;
    ProgressView& m_progress;
    ProjectView& m_view;
    bool m_modified = false;
    std::string m_projectFileName;
};

} // namespace veskaro
