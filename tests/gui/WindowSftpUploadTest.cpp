// The window's upload to OpenSSH's sshd, started on a loopback port by the upload tests' fixture: the
// question about the unknown host key with its fingerprint, a key file login, the summary, and a second
// upload that finds everything in place and asks nothing.

#include "DesignerTestCase.h"
#include "TestServers.h"

#include "ui/SpinEdit.h"
#include "ui/WebServerUpload.h"
#include "upload/KnownHosts.h"
#include "upload/SecretStore.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

using namespace veskaro;
namespace fs = std::filesystem;
namespace names = veskaro::names;

namespace {

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

class WindowSftpUploadTest : public test::DesignerTestCase {
    Q_OBJECT

    std::unique_ptr<test::SshServer> m_server;
    MemorySecretStore m_secrets;
    std::unique_ptr<UploadServices> m_services;

    fs::path folder() { return m_folders.root().path() / "site"; }
    fs::path remote() { return m_server->site() / "window"; }
    QString lastMessage() { return prompts().messages.empty() ? QString() : prompts().messages.back().text; }

    void saveAProject() {
        fs::create_directories(folder());
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(QColor(160, 90, 30));
        QVERIFY(image.save(QString::fromStdString((folder() / "one.jpg").string()), "JPEG"));
        window().Insert1Click();
        find<QLineEdit>(names::edtOriginalImagePath).setText(QString::fromStdString((folder() / "one.jpg").string()));
        publisher().publishForReal = true;
        prompts().saveFiles = {QString::fromStdString((folder() / "Show.vsk").string())};
        find<QAction>(names::Save1).trigger();
        QCOMPARE(prompts().messages.size(), std::size_t(0));
    }

    std::function<void(QDialog&)> fillInAndUpload() {
        const QString port = QString::number(m_server->port());
        const QString site = QString::fromStdString(remote().string());
        const QString key = QString::fromStdString(m_server->key("user_ed25519"));
        return [port, site, key](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadHost))->setText(QStringLiteral("127.0.0.1"));
            auto* portField = dialog.findChild<SpinEdit*>(QLatin1String(names::spnedtUploadPort));
            portField->setValue(port.toInt());
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadUser))->setText(QStringLiteral("nobody"));
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadFolder))->setText(site);
            auto* auth = dialog.findChild<QComboBox*>(QLatin1String(names::cmbxUploadAuth));
            auth->setCurrentIndex(auth->findText(QStringLiteral("Key file")));
            dialog.findChild<QLineEdit*>(QLatin1String(names::edtUploadKeyFile))->setText(key);
            dialog.findChild<QPushButton*>(QLatin1String(names::btnUpload))->click();
        };
    }

    // The remote folder's files with their times, or nothing when it is not there.
    std::map<std::string, fs::file_time_type> remoteState() {
        std::map<std::string, fs::file_time_type> files;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(remote(), error))
            files[entry.path().filename().string()] = entry.last_write_time();
        return files;
    }

private slots:
    void initTestCase() { m_server = std::make_unique<test::SshServer>(); }
    void cleanupTestCase() { m_server.reset(); }

    void init() {
        if (!m_server->ready())
            QSKIP(qPrintable(QString::fromStdString("sshd: " + m_server->whyNotReady())));
        DesignerTestCase::init();
        m_secrets = {};
        m_services = std::make_unique<UploadServices>(
            UploadServices{m_secrets, openRemoteFolder, (m_folders.root().path() / "known_hosts").string()});
        window().setUploadServices(*m_services);
    }

    void uploadsAfterTheHostKeyQuestionThenFindsEverythingInPlace() {
        saveAProject();
        prompts().answers = {PromptAnswer::Yes};
        prompts().dialogActions = {fillInAndUpload()};
        find<QAction>(names::Upload1).trigger();
        QCOMPARE(prompts().messages.size(), std::size_t(2));
        const QString question = prompts().messages[0].text;
        QVERIFY2(question.contains(QString::fromStdString(m_server->hostKeyFingerprint())), qPrintable(question));
        QCOMPARE(lastMessage(), QStringLiteral("5 files uploaded, 0 unchanged"));
        for (const char* name : {"Show.html", "jslib.js", "slidervsk.js", "slider0.jpg"})
            QVERIFY2(bytesOf(remote() / name) == bytesOf(folder() / name), name);
        QVERIFY(fs::exists(remote() / "Show.veskaro-manifest"));
        QVERIFY(!fs::exists(remote() / "Show.vsk"));

        // The key is known now, and the target is the project's: Upload asks only about the unsaved target.
        prompts().answers = {PromptAnswer::No};
        prompts().dialogActions = {
            [](QDialog& dialog) { dialog.findChild<QPushButton*>(QLatin1String(names::btnUpload))->click(); }};
        find<QAction>(names::Upload1).trigger();
        QCOMPARE(prompts().messages.size(), std::size_t(4));
        QCOMPARE(lastMessage(), QStringLiteral("0 files uploaded, 5 unchanged"));
    }

    // A server whose key is not the one trusted before is not asked about: the window says so, with the key
    // it now shows, and sends nothing.
    void stopsAtAChangedHostKeyWithoutAsking() {
        saveAProject();
        const fs::path knownHosts = m_folders.root().path() / "known_hosts";
        fs::remove(knownHosts);
        KnownHosts(knownHosts.string())
            .remember("ssh", serverName("127.0.0.1", m_server->port()),
                      "SHA256:AnotherKeyOnceTrustedAAAAAAAAAAAAAAAAAAAAAA");
        const auto before = remoteState();
        prompts().answers = {PromptAnswer::Yes, PromptAnswer::Yes};
        prompts().dialogActions = {fillInAndUpload()};
        const std::size_t shown = prompts().messages.size();
        find<QAction>(names::Upload1).trigger();
        QCOMPARE(prompts().messages.size(), shown + 1);
        QVERIFY2(lastMessage().contains(QStringLiteral("has CHANGED")), qPrintable(lastMessage()));
        QVERIFY2(lastMessage().contains(QString::fromStdString(m_server->hostKeyFingerprint())),
                 qPrintable(lastMessage()));
        QVERIFY(remoteState() == before);
    }
};

QTEST_MAIN(WindowSftpUploadTest)
#include "WindowSftpUploadTest.moc"
