#pragma once

#include "ui/UploadDialog.h"
#include "upload/RemoteConnection.h"
#include "upload/UploadPlan.h"

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace veskaro {

class ProgressView;
class ProjectOptions;
class Prompts;
class RemoteFolder;
class SecretStore;
class TkvlAppletAgent;

/// Opens the remote folder of a target, as openRemoteFolder does.
using RemoteFolderOpener = std::function<std::unique_ptr<RemoteFolder>(const UploadTarget&, const ConnectOptions&)>;

/// What the window's upload needs from beyond the window: where remembered passwords are kept, how a
/// remote folder is reached and where the trusted server keys lie (empty: the user's own known-hosts file).
struct UploadServices {
    SecretStore& secrets;
    RemoteFolderOpener openFolder = openRemoteFolder;
    std::string knownHostsFile{};
};

/// What the upload needs of the window it runs in.
struct UploadWindow {
    /// Asks the usual question before a modified project goes on; false when the command must stop.
    std::function<bool()> saveChangesFirst;
    /// Returns the project file the project was last saved to; empty when it never was.
    std::function<std::string()> projectFileName;
    /// Puts new options into the project as one undoable step.
    std::function<void(const ProjectOptions&)> storeOptions;
};

/// Returns the sentence an upload ends with, as "12 files uploaded, 30 unchanged", with the removed
/// files and those kept although the slider no longer uses them where there are any.
QString uploadSummary(const UploadPlan& plan);

/// "File > Upload to Web Server...": asks to save a modified project, shows the dialog filled from the
/// project's target and the remembered password, keeps the target in the project and the password (when
/// wished) in the secret store, then brings the server's folder up to what the last save published,
/// showing the file and its bytes on the way; Cancel and Esc stop it with every file on the server whole.
/// It ends with a summary, or with the server's words and what stayed as it was.
class WebServerUpload {
    Q_DECLARE_TR_FUNCTIONS(WebServerUpload)

public:
    WebServerUpload(Prompts& prompts, TkvlAppletAgent& project, ProgressView& progress, UploadServices& services,
                    UploadWindow window);

    /// Runs the command; errors are shown to the user, never thrown.
    void run();

private:
    UploadDialog::Choices storedChoices() const;
    void keep(const UploadDialog::Choices& choices);
    ConnectOptions connectOptions(const UploadDialog::Choices& choices) const;
    std::unique_ptr<RemoteFolder> connect(const UploadDialog::Choices& choices) const;
    void testConnection(const UploadDialog::Choices& choices) const;
    bool mayGoUnencrypted(const UploadTarget& target) const;
    void upload(const UploadDialog::Choices& choices, const std::vector<FileToUpload>& files);
    std::vector<FileToUpload> publishedFiles() const;

    Prompts& m_prompts;
    TkvlAppletAgent& m_project;
    ProgressView& m_progress;
    UploadServices& m_services;
    UploadWindow m_window;
};

} // namespace veskaro
