// The window's upload against a remote folder in memory, behind the interface the SFTP and FTP folders
// offer: the dialog, the target kept in the project, the secret store, the summary and stopping.

#include "DesignerTestCase.h"
#include "MemoryRemoteFolder.h"

#include "ui/SpinEdit.h"
#include "ui/UploadDialog.h"
#include "ui/WebServerUpload.h"
#include "upload/SecretStore.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <thread>

using namespace veskaro;
namespace fs = std::filesystem;
namespace names = veskaro::names;

namespace {

constexpr const char* kPassword = "pa55 phrase";

// The target the tests' user fills in.
UploadTarget annasTarget() {
    UploadTarget target;
    target.host = "example.com";
    target.port = 2222;
    target.user = "anna";
    target.folder = "www/show";
    return target;
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Hands every connection the one folder in memory, as a server keeps its files between logins, and lets
// a test act while a file travels.
class ConnectionToMemory : public RemoteFolder {
public:
    ConnectionToMemory(test::MemoryRemoteFolder& folder, std::function<void()> whilePutting)
        : m_folder(folder), m_whilePutting(std::move(whilePutting)) {}

    void makeFolder() override { m_folder.makeFolder(); }
    std::vector<RemoteEntry> list() override { return m_folder.list(); }
    std::optional<std::string> read(const std::string& name, std::size_t limit) override {
        return m_folder.read(name, limit);
    }
    void put(const std::string& localPath, const std::string& name, const TransferCallback& sent) override {
        if (m_whilePutting)
            m_whilePutting();
        m_folder.put(localPath, name, sent);
    }
    void rename(const std::string& from, const std::string& to) override { m_folder.rename(from, to); }
    void remove(const std::string& name) override { m_folder.remove(name); }
    bool renamesOver() const override { return m_folder.renamesOver(); }

private:
    test::MemoryRemoteFolder& m_folder;
    std::function<void()> m_whilePutting;
};

} // namespace

class WindowUploadTest : public test::DesignerTestCase {
    Q_OBJECT

    test::MemoryRemoteFolder m_server;
    MemorySecretStore m_secrets;
    std::unique_ptr<UploadServices> m_services;
    std::vector<UploadTarget> m_connections;
    std::vector<std::optional<std::string>> m_secretsGiven;
    std::optional<std::string> m_serverKey;    // asked about as a key not known yet, when set
    std::function<void()> m_whilePutting;      // runs before each file travels
    std::optional<std::string> m_loginRefusal; // the server's words when it refuses the login
    std::atomic<bool> m_holdConnecting{false}; // the server does not answer while set
    std::atomic<bool> m_connectingEnded{false};

    std::unique_ptr<RemoteFolder> openFolder(const UploadTarget& target, const ConnectOptions& options) {
        while (m_holdConnecting)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        m_connectingEnded = true;
        m_connections.push_back(target);
        m_secretsGiven.push_back(options.askSecret ? options.askSecret("Password:") : std::nullopt);
        if (m_serverKey && !(options.trustNewKey && options.trustNewKey("example.com:22", *m_serverKey)))
            throw VeskaroError("The server's key was not trusted.");
        if (m_loginRefusal)
            throw VeskaroError(*m_loginRefusal);
        return std::make_unique<ConnectionToMemory>(m_server, m_whilePutting);
    }

    fs::path folder() { return m_folders.root().path() / "site"; }
    fs::path projectFile() { return folder() / "Show.vsk"; }
    void trigger(const char* action) { find<QAction>(action).trigger(); }
    std::string option(const char* name) { return window().project().options().value(name); }

    // A project of two pictures, saved (and so published) into its folder.
    void saveAProject() {
        fs::create_directories(folder());
        for (const char* name : {"one.jpg", "two.jpg"}) {
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(QColor(30, 90, 160));
            QVERIFY(image.save(QString::fromStdString((folder() / name).string()), "JPEG"));
            window().Insert1Click();
            find<QLineEdit>(names::edtOriginalImagePath).setText(QString::fromStdString((folder() / name).string()));
            designer().select(0);
        }
        publisher().publishForReal = true;
        prompts().saveFiles = {QString::fromStdString(projectFile().string())};
        trigger(names::Save1);
        QCOMPARE(prompts().messages.size(), std::size_t(0));
        QVERIFY(!window().Modified());
    }

    // What a user does in the dialog: fills in the target, then presses Upload.
    static std::function<void(QDialog&)> fillInAndUpload(bool remember = false, bool deleteStale = false) {
        return [remember, deleteStale](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadHost))->setText(QStringLiteral(" example.com "));
            dialog.findChild<SpinEdit*>(QLatin1String(names::spnedtUploadPort))->setValue(2222);
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadUser))->setText(QStringLiteral("anna"));
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadFolder))->setText(QStringLiteral("www/show"));
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadPassword))
                ->setText(QString::fromLatin1(kPassword));
            dialog.findChild<QCheckBox*>(QLatin1String(names::chkbxRememberPassword))->setChecked(remember);
            dialog.findChild<QCheckBox*>(QLatin1String(names::chkbxDeleteStale))->setChecked(deleteStale);
            dialog.findChild<QPushButton*>(QLatin1String(names::btnUpload))->click();
        };
    }

    static std::function<void(QDialog&)> pressUpload() {
        return [](QDialog& dialog) { dialog.findChild<QPushButton*>(QLatin1String(names::btnUpload))->click(); };
    }

    QString lastMessage() { return prompts().messages.empty() ? QString() : prompts().messages.back().text; }

    // Every file the server holds under a published name is the published file, byte for byte.
    void verifyServerFilesAreWhole() {
        for (const auto& [name, bytes] : m_server.files) {
            if (name.starts_with("veskaro-upload-") || name.ends_with(".veskaro-manifest"))
                continue;
            QVERIFY2(bytes == bytesOf(folder() / name), name.c_str());
        }
    }

private slots:
    void init() {
        DesignerTestCase::init();
        m_server = {};
        m_secrets = {};
        m_connections.clear();
        m_secretsGiven.clear();
        m_serverKey.reset();
        m_whilePutting = nullptr;
        m_loginRefusal.reset();
        m_services = std::make_unique<UploadServices>(UploadServices{
            m_secrets,
            [this](const UploadTarget& target, const ConnectOptions& options) { return openFolder(target, options); },
            (m_folders.root().path() / "known_hosts").string()});
        window().setUploadServices(*m_services);
    }

    void theCommandHasItsEntryShortcutAndToolButton() {
        auto& entry = find<QAction>(names::Upload1);
        QCOMPARE(entry.text(), QStringLiteral("&Upload to Web Server..."));
        QCOMPARE(entry.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
        QCOMPARE(find<QToolButton>(names::tlbtnUpload).toolTip(),
                 QStringLiteral("Upload the published slider to your web server"));
    }

    void theDialogFillsFromTheProjectAndTheSecretStore() {
        saveAProject();
        ProjectOptions options = window().project().options();
        options.set("Upload.Protocol", "sftp");
        options.set("Upload.Host", "example.com");
        options.set("Upload.Port", "2222");
        options.set("Upload.User", "anna");
        options.set("Upload.Folder", "www/show");
        window().project().setOptions(options);
        window().setModified(false);
        m_secrets.put(secretTargetOf(annasTarget()), kPassword);
        prompts().dialogActions = {[](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Upload to Web Server"));
            QCOMPARE(dialog.findChild<QComboBox*>(QLatin1String(names::cmbxUploadProtocol))->currentIndex(), 0);
            QCOMPARE(dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadHost))->text(),
                     QStringLiteral("example.com"));
            QCOMPARE(dialog.findChild<SpinEdit*>(QLatin1String(names::spnedtUploadPort))->value(), 2222);
            QCOMPARE(dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadUser))->text(), QStringLiteral("anna"));
            QCOMPARE(dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadFolder))->text(),
                     QStringLiteral("www/show"));
            auto* password = dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadPassword));
            QCOMPARE(password->text(), QString::fromLatin1(kPassword));
            QCOMPARE(password->echoMode(), QLineEdit::Password);
            QVERIFY(dialog.findChild<QCheckBox*>(QLatin1String(names::chkbxRememberPassword))->isChecked());
            dialog.findChild<QPushButton*>(QLatin1String(names::btnUploadCancel))->click();
        }};
        trigger(names::Upload1);
        QCOMPARE(prompts().dialogsShown.size(), std::size_t(1));
        QVERIFY(m_connections.empty());
        QVERIFY(!window().Modified());
    }

    // Every control is reached by its own access key, with the key file's and password's fields among them.
    void theDialogsAccessKeysAreDistinct() {
        saveAProject();
        prompts().dialogActions = {[](QDialog& dialog) {
            auto* auth = dialog.findChild<QComboBox*>(QLatin1String(names::cmbxUploadAuth));
            auth->setCurrentIndex(auth->findText(QStringLiteral("Key file")));
            QStringList captions;
            for (const QLabel* label : dialog.findChildren<QLabel*>())
                if (label->text().contains(u'&')) {
                    QVERIFY2(label->buddy(), qPrintable(label->text()));
                    captions << label->text();
                }
            for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
                captions << button->text();
            QSet<QChar> keys;
            for (const QString& caption : captions) {
                const qsizetype at = caption.indexOf(u'&');
                if (at < 0)
                    continue;
                const QChar key = caption.at(at + 1).toLower();
                QVERIFY2(!keys.contains(key), qPrintable(caption));
                keys.insert(key);
            }
            QVERIFY(captions.contains(QStringLiteral("P&assphrase")));
            QCOMPARE(keys.size(), 12);
        }};
        trigger(names::Upload1);
    }

    void theTargetIsKeptAsAnUndoableStepAndTheSummaryCounts() {
        saveAProject();
        prompts().dialogActions = {fillInAndUpload()};
        trigger(names::Upload1);
        QCOMPARE(lastMessage(), QStringLiteral("6 files uploaded, 0 unchanged"));
        QCOMPARE(m_connections.size(), std::size_t(1));
        QCOMPARE(m_connections[0], annasTarget());
        QCOMPARE(m_secretsGiven[0], std::optional<std::string>(kPassword));
        QVERIFY(m_server.files.count("Show.html"));
        QVERIFY(m_server.files.count("Show.veskaro-manifest"));
        verifyServerFilesAreWhole();
        QCOMPARE(option("Upload.Host"), "example.com");
        QCOMPARE(option("Upload.Port"), "2222");
        QCOMPARE(option("Upload.User"), "anna");
        QCOMPARE(option("Upload.Folder"), "www/show");
        QVERIFY(window().Modified());
        QCOMPARE(find<QAction>(names::Undo1).text(), QStringLiteral("&Undo Option Change"));

        // Nothing changed since: only the manifest is read, and the same target is no new step.
        find<QAction>(names::Undo1).trigger();
        QCOMPARE(option("Upload.Host"), "");
        QVERIFY(!window().Modified());
        find<QAction>(names::Redo1).trigger();
        QCOMPARE(option("Upload.Host"), "example.com");
        prompts().answers = {PromptAnswer::No}; // the usual question: the target need not be saved first
        prompts().dialogActions = {[](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadPassword))
                ->setText(QString::fromLatin1(kPassword));
            dialog.findChild<QPushButton*>(QLatin1String(names::btnUpload))->click();
        }};
        trigger(names::Upload1);
        QCOMPARE(prompts().messages.at(1).text, QStringLiteral("Save changes to files?"));
        QCOMPARE(lastMessage(), QStringLiteral("0 files uploaded, 6 unchanged"));
        QCOMPARE(find<QAction>(names::Undo1).text(), QStringLiteral("&Undo Option Change"));
        find<QAction>(names::Undo1).trigger();
        QVERIFY(!window().Modified());
    }

    void aRememberedPasswordGoesToTheSecretStoreAndNeverIntoTheProjectFile() {
        saveAProject();
        prompts().dialogActions = {fillInAndUpload(true)};
        trigger(names::Upload1);
        const UploadTarget target = annasTarget();
        QCOMPARE(m_secrets.get(secretTargetOf(target)), std::optional<std::string>(kPassword));
        trigger(names::Save1);
        const std::string saved = bytesOf(projectFile());
        QVERIFY(saved.find("Upload.Host=example.com") != std::string::npos);
        QVERIFY(saved.find(kPassword) == std::string::npos);
        for (const fs::directory_entry& entry : fs::directory_iterator(folder()))
            QVERIFY2(bytesOf(entry.path()).find(kPassword) == std::string::npos, entry.path().c_str());

        // Unticked, the store forgets it.
        prompts().dialogActions = {[](QDialog& dialog) {
            dialog.findChild<QCheckBox*>(QLatin1String(names::chkbxRememberPassword))->setChecked(false);
            dialog.findChild<QPushButton*>(QLatin1String(names::btnUpload))->click();
        }};
        trigger(names::Upload1);
        QCOMPARE(m_secrets.get(secretTargetOf(target)), std::nullopt);
        QCOMPARE(m_secretsGiven.back(), std::optional<std::string>(kPassword)); // the field still held it
    }

    void aModifiedProjectAsksTheUsualQuestionAndCancelStopsThere() {
        saveAProject();
        find<SpinEdit>(names::sliderWidth).setValue(700);
        QVERIFY(window().Modified());
        prompts().answers = {PromptAnswer::Cancel};
        trigger(names::Upload1);
        QCOMPARE(prompts().messages.at(0).text, QStringLiteral("Save changes to files?"));
        QVERIFY(prompts().dialogsShown.empty());
        QVERIFY(m_connections.empty());
    }

    void aProjectNeverSavedIsNotUploaded() {
        trigger(names::Upload1);
        QCOMPARE(lastMessage(), QStringLiteral("Save the project first: the upload sends what saving publishes."));
        QVERIFY(prompts().dialogsShown.empty());
    }

    void anUnknownServerKeyShowsItsFingerprintAndNoStopsTheUpload() {
        saveAProject();
        m_serverKey = "SHA256:q2ZrXnRGX0mDC3UYxJ5TmxRrkQyN5vA1m+r4n9Zk6wE";
        prompts().answers = {PromptAnswer::No};
        prompts().dialogActions = {fillInAndUpload()};
        trigger(names::Upload1);
        const auto& question = prompts().messages.at(0);
        QCOMPARE(question.buttons, PromptButtons::YesNo);
        QVERIFY(question.text.contains(QString::fromStdString(*m_serverKey)));
        QVERIFY(question.text.contains(QStringLiteral("example.com:22")));
        QCOMPARE(lastMessage(), QStringLiteral("The upload could not start: The server's key was not trusted.\n\n"
                                               "Nothing on the server was changed."));
        QVERIFY(m_server.files.empty());

        prompts().answers = {PromptAnswer::No, PromptAnswer::Yes}; // keep the target unsaved; trust the key
        prompts().dialogActions = {pressUpload()};
        trigger(names::Upload1);
        QCOMPARE(lastMessage(), QStringLiteral("6 files uploaded, 0 unchanged"));
    }

    void aFailureShowsTheServersWordsAndWhatStayedAsItWas() {
        saveAProject();
        m_server.failingPut = 2;
        prompts().dialogActions = {fillInAndUpload()};
        trigger(names::Upload1);
        QVERIFY2(lastMessage().startsWith(QStringLiteral("The upload stopped: ")), qPrintable(lastMessage()));
        QVERIFY(lastMessage().contains(QStringLiteral("552 Quota exceeded")));
        QVERIFY(lastMessage().contains(QStringLiteral("Every file on the server is whole")));
        QVERIFY(!m_server.files.count("Show.html"));
        verifyServerFilesAreWhole();
    }

    void aRefusedLoginShowsTheServersWords() {
        saveAProject();
        m_loginRefusal = "Access denied for anna: wrong password";
        prompts().dialogActions = {fillInAndUpload()};
        trigger(names::Upload1);
        QCOMPARE(lastMessage(), QStringLiteral("The upload could not start: Access denied for anna: wrong password\n\n"
                                               "Nothing on the server was changed."));
    }

    // Cancel while the server has not answered yet: the window stops waiting at once and says so, nothing on
    // the server changes, and the attempt it left behind ends by itself once the server answers.
    void cancelWhileConnectingStopsWaitingAtOnce() {
        saveAProject();
        m_holdConnecting = true;
        m_connectingEnded = false;
        QTimer::singleShot(200, &window(), [this] { find<QPushButton>(names::btnCancelWork).click(); });
        prompts().dialogActions = {fillInAndUpload()};
        trigger(names::Upload1);
        QVERIFY2(lastMessage().startsWith(QStringLiteral("The upload could not start: The upload was stopped.")),
                 qPrintable(lastMessage()));
        QVERIFY(m_server.files.empty());
        QVERIFY(!m_connectingEnded);
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), QString());
        m_holdConnecting = false;
        QTRY_VERIFY(m_connectingEnded);
        QTest::qWait(100);
        QVERIFY(m_server.files.empty());
    }

    // Cancel beside the bar, or Esc, while the third file travels: the page is not there, the files that
    // are have their published bytes, and the next upload completes the site.
    void cancelAndEscStopTheUploadAndTheNextOneCompletes_data() {
        QTest::addColumn<bool>("byEsc");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Esc") << true;
    }

    void cancelAndEscStopTheUploadAndTheNextOneCompletes() {
        QFETCH(bool, byEsc);
        saveAProject();
        int puts = 0;
        QString hintWhileSending;
        m_whilePutting = [this, &puts, byEsc, &hintWhileSending] {
            if (++puts != 3)
                return;
            auto& cancel = find<QPushButton>(names::btnCancelWork);
            QVERIFY(cancel.isVisibleTo(&window()));
            hintWhileSending = find<QLabel>(names::stctxtHint).text();
            if (byEsc)
                QTest::keyClick(&designer().tree(), Qt::Key_Escape);
            else
                cancel.click();
        };
        prompts().dialogActions = {fillInAndUpload()};
        trigger(names::Upload1);
        QVERIFY2(hintWhileSending.startsWith(QStringLiteral("Uploading ")), qPrintable(hintWhileSending));
        QVERIFY(hintWhileSending.contains(QStringLiteral(" bytes")));
        QVERIFY2(lastMessage().startsWith(QStringLiteral("The upload stopped: The upload was stopped.")),
                 qPrintable(lastMessage()));
        QVERIFY(!m_server.files.count("Show.html"));
        verifyServerFilesAreWhole();
        QVERIFY(!find<QPushButton>(names::btnCancelWork).isVisibleTo(&window()));
        QCOMPARE(find<QLabel>(names::stctxtHint).text(), QString());

        m_whilePutting = nullptr;
        prompts().answers = {PromptAnswer::No};
        prompts().dialogActions = {pressUpload()};
        trigger(names::Upload1);
        QVERIFY2(lastMessage().endsWith(QStringLiteral("unchanged")), qPrintable(lastMessage()));
        QVERIFY(m_server.files.count("Show.html"));
        for (const auto& entry : m_server.files)
            QVERIFY2(!entry.first.starts_with("veskaro-upload-"), entry.first.c_str());
        verifyServerFilesAreWhole();
    }

    void anEmptyHostIsRefusedInTheDialog() {
        saveAProject();
        prompts().dialogActions = {[this](QDialog& dialog) {
            dialog.findChild<QPushButton*>(QLatin1String(names::btnUpload))->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(lastMessage(), QStringLiteral("Please give the web server's host name."));
        }};
        trigger(names::Upload1);
        QVERIFY(m_connections.empty());
        QCOMPARE(option("Upload.Host"), "");
    }

    void testConnectionLogsInAndChangesNothing() {
        saveAProject();
        prompts().dialogActions = {[this](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadHost))->setText(QStringLiteral("example.com"));
            dialog.findChild<QPushButton*>(QLatin1String(names::btnTestConnection))->click();
            QCOMPARE(lastMessage(), QStringLiteral("The connection works: example.com accepted the login."));
            dialog.findChild<QPushButton*>(QLatin1String(names::btnUploadCancel))->click();
        }};
        trigger(names::Upload1);
        QCOMPARE(m_connections.size(), std::size_t(1));
        QVERIFY(m_server.files.empty());
        QCOMPARE(option("Upload.Host"), "");
    }

    void plainFtpWarnsBeforeItSendsThePassword() {
        saveAProject();
        prompts().answers = {PromptAnswer::No};
        prompts().dialogActions = {[](QDialog& dialog) {
            dialog.findChild<QComboBox*>(QLatin1String(names::cmbxUploadProtocol))->setCurrentIndex(2);
            QVERIFY(!dialog.findChild<QComboBox*>(QLatin1String(names::cmbxUploadAuth))->isEnabled());
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadHost))->setText(QStringLiteral("example.com"));
            dialog.findChild<QPushButton*>(QLatin1String(names::btnUpload))->click();
        }};
        trigger(names::Upload1);
        QCOMPARE(lastMessage(),
                 QStringLiteral("FTP sends the password and the files unencrypted. Upload all the same?"));
        QVERIFY(m_connections.empty());
        QCOMPARE(option("Upload.Protocol"), "ftp"); // the target is kept all the same
    }

    void theSummaryCountsEachAction_data() {
        QTest::addColumn<std::vector<PlanAction>>("actions");
        QTest::addColumn<QString>("summary");
        using A = PlanAction;
        QTest::newRow("first") << std::vector<A>(12, A::Upload) << QStringLiteral("12 files uploaded, 0 unchanged");
        QTest::newRow("one") << std::vector<A>{A::Upload, A::Unchanged, A::Unchanged}
                             << QStringLiteral("1 file uploaded, 2 unchanged");
        QTest::newRow("removed") << std::vector<A>{A::Unchanged, A::Remove, A::Remove}
                                 << QStringLiteral("0 files uploaded, 1 unchanged, 2 removed");
        QTest::newRow("kept") << std::vector<A>{A::Upload, A::Upload, A::KeepStale}
                              << QStringLiteral("2 files uploaded, 0 unchanged, 1 kept that the slider no longer uses");
    }

    void theSummaryCountsEachAction() {
        QFETCH(std::vector<PlanAction>, actions);
        QFETCH(QString, summary);
        UploadPlan plan;
        for (const PlanAction action : actions) {
            PlannedFile file;
            file.name = "f";
            file.action = action;
            plan.files.push_back(file);
        }
        QCOMPARE(uploadSummary(plan), summary);
    }
};

QTEST_MAIN(WindowUploadTest)
#include "WindowUploadTest.moc"
