#include "ui/WebServerUpload.h"

#include "generate/PublishedFiles.h"
#include "model/PlainItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/PathText.h"
#include "platform/VeskaroError.h"
#include "ui/Prompts.h"
#include "ui/Utf8Text.h"
#include "upload/KnownHosts.h"
#include "upload/SecretStore.h"
#include "upload/Upload.h"

#include <QApplication>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <map>
#include <string_view>
#include <thread>

namespace veskaro {

namespace fs = std::filesystem;

namespace {

bool isUploadOption(const ProjectOptionRule& rule) {
    return std::string_view(rule.name).starts_with("Upload.");
}

std::map<std::string, std::string> storedUploadOptions(const ProjectOptions& options) {
    std::map<std::string, std::string> stored;
    for (const ProjectOptionRule& rule : kProjectOptionRules)
        if (isUploadOption(rule))
            stored[rule.name] = options.value(rule.name);
    return stored;
}

// The hint line names the file on its way and its bytes; the bar shows how far the file has come.
class WindowUploadProgress : public UploadProgress {
public:
    explicit WindowUploadProgress(ProgressView& view) : m_view(view) { m_view.setMaximum(kSteps); }

    void sending(const std::string& name, std::uint64_t sent, std::uint64_t size) override {
        m_view.setHint(toUtf8Text(
            WebServerUpload::tr("Uploading %1: %2 of %3 bytes").arg(fromUtf8Text(name)).arg(sent).arg(size)));
        m_view.setPosition(size == 0 ? kSteps : static_cast<int>(std::min(sent, size) * kSteps / size));
    }
    void finished(const PlannedFile&, double) override {}
    bool stopRequested() override { return m_view.stopRequested(); }

private:
    static constexpr int kSteps = 1000;
    ProgressView& m_view;
};

QString wordsOf(const VeskaroError& error) {
    return fromUtf8Text(error.what());
}

} // namespace

QString uploadSummary(const UploadPlan& plan) {
    const std::size_t uploaded = plan.count(PlanAction::Upload);
    QString summary =
        uploaded == 1 ? WebServerUpload::tr("1 file uploaded") : WebServerUpload::tr("%1 files uploaded").arg(uploaded);
    summary += WebServerUpload::tr(", %1 unchanged").arg(plan.count(PlanAction::Unchanged));
    if (const std::size_t removed = plan.count(PlanAction::Remove))
        summary += WebServerUpload::tr(", %1 removed").arg(removed);
    if (const std::size_t kept = plan.count(PlanAction::KeepStale))
        summary += WebServerUpload::tr(", %1 kept that the slider no longer uses").arg(kept);
    return summary;
}

WebServerUpload::WebServerUpload(Prompts& prompts, TkvlAppletAgent& project, ProgressView& progress,
                                 UploadServices& services, UploadWindow window)
    : m_prompts(prompts), m_project(project), m_progress(progress), m_services(services), m_window(std::move(window)) {}

void WebServerUpload::run() {
    if (!m_window.saveChangesFirst())
        return;
    if (m_window.projectFileName().empty()) {
        m_prompts.showMessage(PromptIcon::Information,
                              tr("Save the project first: the upload sends what saving publishes."), PromptButtons::Ok);
        return;
    }
    const std::vector<FileToUpload> files = publishedFiles();
    UploadDialog dialog(m_prompts, [this](const UploadDialog::Choices& choices) { testConnection(choices); });
    dialog.showChoices(storedChoices());
    if (m_prompts.runDialog(dialog) != QDialog::Accepted)
        return;
    const UploadDialog::Choices choices = dialog.choices();
    keep(choices);
    if (mayGoUnencrypted(choices.target))
        upload(choices, files);
}

// A target the project holds in a form this version cannot read is shown as a new one.
UploadDialog::Choices WebServerUpload::storedChoices() const {
    UploadDialog::Choices choices;
    try {
        choices.target = uploadTargetFromOptions(storedUploadOptions(m_project.options()));
    } catch (const VeskaroError&) {
        choices.target = {};
    }
    if (!choices.target.host.empty()) {
        if (const std::optional<std::string> password = m_services.secrets.get(secretTargetOf(choices.target))) {
            choices.password = *password;
            choices.rememberPassword = true;
        }
    }
    return choices;
}

// The target goes into the project, an undoable step when it changed; the password only into the secret
// store, and only when the user asks for it.
void WebServerUpload::keep(const UploadDialog::Choices& choices) {
    ProjectOptions options = m_project.options();
    const std::map<std::string, std::string> target = uploadOptionsOf(choices.target);
    for (const ProjectOptionRule& rule : kProjectOptionRules) {
        if (!isUploadOption(rule))
            continue;
        const auto value = target.find(rule.name);
        options.set(rule.name, value == target.end() ? rule.defaultValue : value->second);
    }
    if (!(options == m_project.options()))
        m_window.storeOptions(options);
    const std::string secretName = secretTargetOf(choices.target);
    const bool remember = choices.rememberPassword && !choices.password.empty();
    try {
        if (remember)
            m_services.secrets.put(secretName, choices.password);
        else if (!choices.rememberPassword)
            m_services.secrets.forget(secretName);
    } catch (const VeskaroError& error) {
        const QString what = remember ? tr("The password could not be remembered: %1")
                                      : tr("The remembered password could not be removed: %1");
        m_prompts.showMessage(PromptIcon::Warning, what.arg(wordsOf(error)), PromptButtons::Ok);
    }
}

ConnectOptions WebServerUpload::connectOptions(const UploadDialog::Choices& choices) const {
    ConnectOptions options;
    options.knownHostsFile = m_services.knownHostsFile.empty() ? defaultKnownHostsFile() : m_services.knownHostsFile;
    options.trustNewKey = [this](const std::string& server, const std::string& fingerprint) {
        const QString question =
            tr("The server %1 is not known yet. The SHA-256 fingerprint of its key is\n\n%2\n\nCompare it with the one "
               "your hosting provider gives. Trust this key from now on and connect?")
                .arg(fromUtf8Text(server), fromUtf8Text(fingerprint));
        return m_prompts.showMessage(PromptIcon::Warning, question, PromptButtons::YesNo) == PromptAnswer::Yes;
    };
    const std::string password = choices.password;
    options.askSecret = [password](const std::string&) -> std::optional<std::string> {
        if (password.empty())
            return std::nullopt;
        return password;
    };
    return options;
}

// Connecting waits for the network, as long as the connection's timeout at worst: it runs beside the window,
// which goes on painting meanwhile and takes no input but Cancel and Esc, and the question about a server's
// key comes back to the window's thread to be asked. A stop leaves the attempt behind: it holds copies of all
// it needs, asks nothing once left, and closes whatever connection it still makes itself.
std::unique_ptr<RemoteFolder> WebServerUpload::connect(const UploadDialog::Choices& choices) const {
    m_progress.setHint(toUtf8Text(tr("Connecting to %1...").arg(fromUtf8Text(choices.target.host))));
    struct Attempt {
        std::atomic<bool> left{false};
        std::promise<std::unique_ptr<RemoteFolder>> result;
    };
    const auto attempt = std::make_shared<Attempt>();
    ConnectOptions options = connectOptions(choices);
    options.trustNewKey = [attempt, ask = std::move(options.trustNewKey)](const std::string& server,
                                                                          const std::string& fingerprint) {
        bool trusted = false;
        QMetaObject::invokeMethod(
            qApp, [&] { trusted = !attempt->left && ask(server, fingerprint); }, Qt::BlockingQueuedConnection);
        return trusted;
    };
    std::future<std::unique_ptr<RemoteFolder>> connecting = attempt->result.get_future();
    std::thread([attempt, open = m_services.openFolder, target = choices.target, options] {
        try {
            attempt->result.set_value(open(target, options));
        } catch (...) {
            attempt->result.set_exception(std::current_exception());
        }
    }).detach();
    const StopOffer stop(m_progress);
    while (connecting.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (m_progress.stopRequested()) {
            attempt->left = true;
            m_progress.setHint({});
            throw VeskaroError(kUploadStoppedMessage);
        }
    }
    m_progress.setHint({});
    return connecting.get();
}

void WebServerUpload::testConnection(const UploadDialog::Choices& choices) const {
    try {
        connect(choices);
    } catch (const VeskaroError& error) {
        m_progress.setHint({});
        m_prompts.showMessage(PromptIcon::Error, tr("The connection failed: %1").arg(wordsOf(error)),
                              PromptButtons::Ok);
        return;
    }
    m_prompts.showMessage(PromptIcon::Information,
                          tr("The connection works: %1 accepted the login.").arg(fromUtf8Text(choices.target.host)),
                          PromptButtons::Ok);
}

bool WebServerUpload::mayGoUnencrypted(const UploadTarget& target) const {
    if (target.protocol != UploadProtocol::Ftp)
        return true;
    return m_prompts.showMessage(PromptIcon::Warning,
                                 tr("FTP sends the password and the files unencrypted. Upload all the same?"),
                                 PromptButtons::YesNo) == PromptAnswer::Yes;
}

void WebServerUpload::upload(const UploadDialog::Choices& choices, const std::vector<FileToUpload>& files) {
    std::unique_ptr<RemoteFolder> folder;
    try {
        folder = connect(choices);
    } catch (const VeskaroError& error) {
        m_progress.setHint({});
        m_prompts.showMessage(
            PromptIcon::Error,
            tr("The upload could not start: %1\n\nNothing on the server was changed.").arg(wordsOf(error)),
            PromptButtons::Ok);
        return;
    }
    UploadOutcome outcome;
    try {
        const ProgressScope scope(m_progress, toUtf8Text(tr("Uploading to %1").arg(fromUtf8Text(choices.target.host))));
        const StopOffer stop(m_progress);
        WindowUploadProgress progress(m_progress);
        outcome = runUpload(*folder, files, {{false, choices.deleteStale}, false}, progress);
    } catch (const VeskaroError& error) {
        m_prompts.showMessage(PromptIcon::Error,
                              tr("The upload stopped: %1\n\nEvery file on the server is whole, the earlier one or "
                                 "the new one, and the page there names only complete files. The next upload "
                                 "sends the rest.")
                                  .arg(wordsOf(error)),
                              PromptButtons::Ok);
        return;
    }
    m_prompts.showMessage(PromptIcon::Information, uploadSummary(outcome.plan), PromptButtons::Ok);
}

// What the last save published, as its project file tells: a page that is missing, or a file the page
// names that is missing, would leave the site incomplete, so the upload does not begin.
std::vector<FileToUpload> WebServerUpload::publishedFiles() const {
    const std::string projectFile = m_window.projectFileName();
    TkvlAppletAgent saved;
    PlainItemTree tree;
    SilentProgressView quiet;
    if (saved.LoadFromFile(projectFile, tree, quiet) != LoadOutcome::Loaded)
        throw VeskaroError(kForeignProjectMessage);
    const fs::path file = pathOf(projectFile);
    const fs::path folder = file.parent_path();
    std::vector<FileToUpload> files;
    for (const PublishedFile& published : filesForTheWebServer(saved, textOf(file.filename()), textOf(folder))) {
        const fs::path local = folder / pathOf(published.name);
        std::error_code error;
        if (!fs::is_regular_file(local, error))
            throw VeskaroError(toUtf8Text(tr("%1 is missing, so nothing was uploaded: save the project again to "
                                             "publish it.")
                                              .arg(fromUtf8Text(textOf(local)))));
        files.push_back({published.name, textOf(local), published.kind == PublishedKind::Page});
    }
    return files;
}

} // namespace veskaro
