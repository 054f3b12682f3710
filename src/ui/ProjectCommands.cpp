#include "ui/ProjectCommands.h"

#include "generate/OtherProjects.h"
#include "generate/Publisher.h"
#include "model/ProjectFile.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/AsciiText.h"
#include "platform/PathText.h"
#include "platform/Places.h"
#include "platform/VeskaroError.h"
#include "ui/PictureCheck.h"
#include "ui/ProjectView.h"
#include "ui/Prompts.h"
#include "ui/Utf8Text.h"

#include <exception>
#include <filesystem>
#include <optional>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

void makeFolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        return;
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder))
        throw VeskaroError("The folder " + folder.string() + " cannot be made" +
                           (error ? ": " + error.message() : std::string()) + ". Nothing was saved.");
}

const QString kProjectFilter = QStringLiteral("Veskaro Files (*.vsk)");

} // namespace

ProjectCommands::ProjectCommands(Prompts& prompts, Publisher& publisher, TkvlAppletAgent& project, ItemTree& tree,
                                 ProgressView& progress, ProjectView& view)
    : m_prompts(prompts), m_publisher(publisher), m_project(project), m_tree(tree), m_progress(progress), m_view(view) {
}

void ProjectCommands::setModified(bool modified) {
    m_modified = modified;
    m_view.showModified(modified);
}

void ProjectCommands::newProject() {
    if (!askToSaveFirst())
        return;
    clearPreviewFolder();
    startNewProject();
}

void ProjectCommands::open() {
    if (!askToSaveFirst())
        return;
    clearPreviewFolder();
    const QString chosen = m_prompts.chooseOpenFile(kProjectFilter, documentsFolder());
    if (!chosen.isEmpty())
        openProject(toUtf8Text(chosen));
}

void ProjectCommands::save() {
    saveProject(SaveDialogFolder::Documents);
}

void ProjectCommands::saveAs() {
    m_view.storePagesIntoProject();
    saveUnderChosenName(documentsFolder());
}

void ProjectCommands::openProjectFile(const std::string& fileName) {
    if (fileName.empty() || !askToSaveFirst())
        return;
    clearPreviewFolder();
    openProject(fileName);
}

void ProjectCommands::openCommandLineFile(const std::string& fileName) {
    if (fileName.empty())
        return;
    setModified(false);
    try {
        openProjectFile(fileName);
    } catch (const std::exception&) {
        // A project that cannot be read at start is not worth a message: the program starts without it.
    }
}

bool ProjectCommands::closeQuery() {
    if (!m_modified) {
        clearPreviewFolder();
        return true;
    }
    const PromptAnswer answer = m_prompts.showMessage(PromptIcon::Warning, tr("Save changes to files before Exit?"),
                                                      PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::Cancel || answer == PromptAnswer::No) {
        clearPreviewFolder();
        return answer == PromptAnswer::No;
    }
    // The dialog keeps the folder an earlier Save or Save As gave it.
    const bool saved = saveProject(SaveDialogFolder::Unchanged);
    clearPreviewFolder();
    return saved;
}

void ProjectCommands::startNewProject() {
    m_projectFileName.clear();
    m_view.showRootOnly();
    m_project.SetDefaults();
    m_view.ScriptParamsToWindow();
    setModified(false);
    m_view.projectReplaced();
}

bool ProjectCommands::askToSaveFirst() {
    if (!m_modified)
        return true;
    switch (m_prompts.showMessage(PromptIcon::Warning, tr("Save changes to files?"), PromptButtons::YesNoCancel)) {
    case PromptAnswer::Yes:
        return saveProject(SaveDialogFolder::Documents);
    case PromptAnswer::No:
        return true;
    default:
        return false;
    }
}

// Saves to the project file, or asks for one when there is none yet; tells whether it saved.
bool ProjectCommands::saveProject(SaveDialogFolder folder) {
    m_view.storePagesIntoProject();
    if (m_projectFileName.empty())
        return saveUnderChosenName(folder == SaveDialogFolder::Documents ? documentsFolder() : QString());
    if (!mayReplaceOtherProjects(m_projectFileName))
        return false;
    saveAndPublishTo(m_projectFileName);
    setModified(false);
    m_view.projectSaved();
    return true;
}

// The path is kept as the dialog gives it: a name typed without an extension stays without one. A folder
// typed into the dialog that does not exist yet is made, as the command-line tool makes its --to folder.
bool ProjectCommands::saveUnderChosenName(const QString& initialFolder) {
    const QString chosen = m_prompts.chooseSaveFile(kProjectFilter, initialFolder);
    if (chosen.isEmpty())
        return false;
    const std::string path = toUtf8Text(chosen);
    if (!mayReplaceOtherProjects(path))
        return false;
    makeFolderOf(path);
    saveAndPublishTo(path);
    setModified(false);
    m_view.projectSaved();
    m_projectFileName = path;
    return true;
}

// Every project names its pictures slider0, slider1, ...: a save into a folder where another project was
// published replaces that project's pictures, so the user decides first; No or Cancel changes nothing.
bool ProjectCommands::mayReplaceOtherProjects(const std::string& path) {
    const fs::path file = pathOf(path);
    const std::vector<std::string> replaced =
        replacedProjects(m_project, textOf(file.parent_path() / ""), textOf(file.filename()));
    if (replaced.empty())
        return true;
    QStringList sentences;
    for (const std::string& sentence : replaced)
        sentences << fromUtf8Text(sentence);
    const QString question = sentences.join(u'\n') + QStringLiteral("\n\n") + tr("Save and replace them all the same?");
    return m_prompts.showMessage(PromptIcon::Warning, question, PromptButtons::YesNoCancel) == PromptAnswer::Yes;
}

void ProjectCommands::saveAndPublishTo(const std::string& path) {
    const fs::path file(path);
    try {
        m_publisher.SaveAndPublish(m_project, (file.parent_path() / "").string(), file.filename().string(), m_tree,
                                   m_progress);
    } catch (const VeskaroError&) {
        throwUnreadablePictures();
        throw;
    }
    m_project.setProjectFolder(folderOfFile(path));
    m_view.showMissingPictures();
    m_view.showSaved(m_project.projectFolder(), file.filename().string());
}

// Reads a project into the window. The file is read apart from the project that is open, which only a file
// that loads replaces: a file that cannot be read, or one of another product, leaves the open project as it
// was, unsaved changes and all.
void ProjectCommands::openProject(const std::string& path) {
    const LoadOutcome outcome = m_view.loadProject(path);
    if (outcome == LoadOutcome::NotOurs) {
        m_prompts.showMessage(PromptIcon::Error, fromUtf8Text(kForeignProjectMessage), PromptButtons::Ok);
    } else {
        m_view.ScriptParamsToWindow();
        m_projectFileName = path;
        setModified(false);
        m_publisher.previewFolder().CopyResourceFilesToPreview(m_project.projectFolder(), m_progress);
        m_view.projectReplaced();
    }
    // Last, so that a list that cannot be written leaves a project that is open in full.
    m_view.AddRecentFile(path);
}

// Publishing stops at the first picture it cannot read; the user learns of every such picture at once, so
// that one Save after mending them all goes through.
void ProjectCommands::throwUnreadablePictures() const {
    std::string unreadable;
    int count = 0;
    for (int k = 0; k < m_project.itemCount(); ++k) {
        const std::string path =
            resolvePicturePath(m_project.projectFolder(), trimText(m_project.GetItem(k).IOriginalImagePath));
        std::error_code error;
        if (path.empty() || !fs::is_regular_file(path, error))
            continue;
        if (const std::optional<std::string> problem = pictureProblem(path)) {
            unreadable += "\n" + toUtf8Text(tr("Item %1: ").arg(k + 1)) + *problem;
            ++count;
        }
    }
    if (count > 0)
        throw VeskaroError(toUtf8Text(count == 1 ? tr("A picture cannot be read, so nothing was saved:")
                                                 : tr("%1 pictures cannot be read, so nothing was saved:").arg(count)) +
                           unreadable);
}

void ProjectCommands::clearPreviewFolder() {
    m_publisher.ClearPreviewFolder();
}

QString ProjectCommands::documentsFolder() const {
    return fromUtf8Text(m_publisher.places().GetDocumentsFolder());
}

} // namespace veskaro
