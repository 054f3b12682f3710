// Uploads to real servers that the tests start on 127.0.0.1: OpenSSH's sshd, pyftpdlib and ProFTPD.

#include "TestServers.h"

#include "platform/Sha256.h"
#include "platform/VeskaroError.h"
#include "upload/KnownHosts.h"
#include "upload/RemoteConnection.h"
#include "upload/Upload.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <memory>

using namespace veskaro;
using namespace veskaro::test;
namespace fs = std::filesystem;

namespace {

const std::string kNonAsciiPicture = "Gr\xc3\xbc\xc3\x9f"
                                     "e.gif";
const std::string kNonAsciiFolder = "Gr\xc3\xbc\xc3\x9f"
                                    "e Ordner";

// A publish: two pictures (one of them large enough to be cut off in the middle), a style sheet, a page.
class LocalPublish {
public:
    LocalPublish() {
        writeBytes(m_folder / "slider0.jpg", std::string(400000, 'j'));
        writeBytes(m_folder / kNonAsciiPicture, "GIF89a picture");
        writeBytes(m_folder / "Slider1.css", "#Slider1 {}");
        writeBytes(m_folder / "Demo.html", "<page>");
    }

    std::vector<FileToUpload> files(bool withGif = true) const {
        std::vector<FileToUpload> files = {{"slider0.jpg", m_folder / "slider0.jpg", false}};
        if (withGif)
            files.push_back({kNonAsciiPicture, m_folder / kNonAsciiPicture, false});
        files.push_back({"Slider1.css", m_folder / "Slider1.css", false});
        files.push_back({"Demo.html", m_folder / "Demo.html", true});
        return files;
    }
    void edit(const std::string& name, const std::string& bytes) const { writeBytes(m_folder / name, bytes); }
    std::string bytesOf(const std::string& name) const { return readBytes(m_folder / name); }

private:
    TemporaryFolder m_folder;
};

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const VeskaroError& error) {
        return error.what();
    }
    return "(no error)";
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The files of a remote folder on the local disk by their digests, temporaries of an upload included.
std::map<std::string, std::string> remoteFiles(const fs::path& folder) {
    std::map<std::string, std::string> digests;
    for (const auto& [name, bytes] : filesIn(folder))
        digests[name] = sha256Hex(bytes);
    return digests;
}

class ServerUpload : public testing::Test {
protected:
    ConnectOptions options(const std::string& password = "") const {
        ConnectOptions options;
        options.knownHostsFile = m_config / "known_hosts";
        options.trustNewKey = [this](const std::string&, const std::string& fingerprint) {
            return fingerprint == m_trusted;
        };
        options.askSecret = [password](const std::string&) { return std::optional<std::string>(password); };
        options.timeoutSeconds = 10;
        return options;
    }

    UploadOutcome upload(const UploadTarget& target, const ConnectOptions& connect, const UploadWishes& wishes = {},
                         bool withGif = true) {
        const std::unique_ptr<RemoteFolder> folder = openRemoteFolder(target, connect);
        return runUpload(*folder, m_publish.files(withGif), wishes, m_progress);
    }

    // Every file of the publish is on the server as it is here, and no temporary is left.
    void expectInStep(const fs::path& remote, bool withGif = true) const {
        std::map<std::string, std::string> files = remoteFiles(remote);
        EXPECT_EQ(files.erase("Demo.veskaro-manifest"), 1u);
        std::map<std::string, std::string> expected;
        for (const FileToUpload& file : m_publish.files(withGif))
            expected[file.name] = sha256Hex(m_publish.bytesOf(file.name));
        EXPECT_EQ(files, expected);
    }

    void expectCutOffUploadHealed(const UploadTarget& target, const ConnectOptions& connect, ServerProcess& server,
                                  const fs::path& remote);

    TemporaryFolder m_config;
    LocalPublish m_publish;
    SilentUploadProgress m_progress;
    std::string m_trusted;
};

// --- SFTP ---

class SftpUpload : public ServerUpload {
protected:
    static void SetUpTestSuite() { s_server = std::make_unique<SshServer>(); }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override {
        if (!s_server->ready())
            GTEST_SKIP() << "sshd: " << s_server->whyNotReady();
        m_trusted = s_server->hostKeyFingerprint();
        m_remote = s_server->site() /
                   (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + " " + kNonAsciiFolder);
    }

    UploadTarget target(const char* key = "user_ed25519") const {
        UploadTarget target;
        target.protocol = UploadProtocol::Sftp;
        target.host = "127.0.0.1";
        target.port = s_server->port();
        target.user = "nobody";
        target.folder = m_remote.string();
        target.auth = UploadAuth::Key;
        target.keyFile = s_server->key(key);
        return target;
    }

    static std::unique_ptr<SshServer> s_server;
    fs::path m_remote;
};

std::unique_ptr<SshServer> SftpUpload::s_server;

TEST_F(SftpUpload, SendsEverythingFirstThenNothingThenOnlyTheEditedPage) {
    const UploadOutcome first = upload(target(), options());
    EXPECT_EQ(first.plan.count(PlanAction::Upload), 4u);
    expectInStep(m_remote);

    const UploadOutcome again = upload(target(), options());
    EXPECT_EQ(again.plan.count(PlanAction::Unchanged), 4u);
    EXPECT_FALSE(again.manifestWritten);
    EXPECT_EQ(again.bytesSent, 0u);

    m_publish.edit("Demo.html", "<page with another description>");
    const UploadOutcome edited = upload(target(), options());
    EXPECT_EQ(edited.plan.count(PlanAction::Upload), 1u);
    EXPECT_TRUE(edited.manifestWritten);
    EXPECT_EQ(edited.bytesSent,
              m_publish.bytesOf("Demo.html").size() + fs::file_size(m_remote / "Demo.veskaro-manifest"));
    expectInStep(m_remote);
}

TEST_F(SftpUpload, SaysItCannotRenameOverAFileAsTheServerRefusesIt) {
    const std::unique_ptr<RemoteFolder> folder = openRemoteFolder(target(), options());
    folder->makeFolder();
    EXPECT_FALSE(folder->renamesOver());
    const auto always = [](std::uint64_t) { return true; };
    folder->put(m_publish.files().back().localPath, "old.html", always);
    folder->put(m_publish.files().front().localPath, "new.part", always);
    const std::string refusal = messageOf([&] { folder->rename("new.part", "old.html"); });
    EXPECT_TRUE(contains(refusal, "cannot be renamed to old.html: Failure")) << refusal;
    EXPECT_EQ(fs::file_size(m_remote / "old.html"), 6u);
}

TEST_F(SftpUpload, KeepsAPictureNoLongerUsedUnlessStaleFilesAreRemoved) {
    upload(target(), options());
    writeBytes(m_remote / "index.html", "the user's own page");
    const UploadOutcome kept = upload(target(), options(), {}, false);
    EXPECT_EQ(kept.plan.count(PlanAction::KeepStale), 1u);
    EXPECT_TRUE(fs::exists(m_remote / kNonAsciiPicture));
    const UploadOutcome removed = upload(target(), options(), {{false, true}, false}, false);
    EXPECT_EQ(removed.plan.count(PlanAction::Remove), 1u);
    EXPECT_FALSE(fs::exists(m_remote / kNonAsciiPicture));
    EXPECT_EQ(readBytes(m_remote / "index.html"), "the user's own page");
}

TEST_F(SftpUpload, RefusesAnUnknownHostKeyWithItsFingerprintThenTrustsItOnceAccepted) {
    const std::string fingerprint = m_trusted;
    m_trusted.clear();
    const std::string refusal = messageOf([&] { openRemoteFolder(target(), options()); });
    EXPECT_TRUE(contains(refusal, "is not known yet")) << refusal;
    EXPECT_TRUE(contains(refusal, fingerprint)) << refusal;
    EXPECT_FALSE(fs::exists(m_config / "known_hosts"));

    m_trusted = fingerprint;
    openRemoteFolder(target(), options());
    m_trusted.clear();
    EXPECT_NO_THROW(openRemoteFolder(target(), options())) << "the accepted key is remembered";
    EXPECT_EQ(KnownHosts(m_config / "known_hosts").check("ssh", serverName("127.0.0.1", s_server->port()), fingerprint),
              HostKeyVerdict::Known);
}

TEST_F(SftpUpload, StopsAtAChangedHostKeyWhateverTheUserAccepts) {
    const std::string server = serverName("127.0.0.1", s_server->port());
    KnownHosts(m_config / "known_hosts").remember("ssh", server, "SHA256:AnotherKeyOnceTrustedAAAAAAAAAAAAAAAAAAAAAA");
    const std::string refusal = messageOf([&] { openRemoteFolder(target(), options()); });
    EXPECT_TRUE(contains(refusal, "has CHANGED")) << refusal;
    EXPECT_TRUE(contains(refusal, m_trusted)) << refusal;
}

struct Login {
    const char* key;
    std::string passphrase;
    bool accepted;
};

// Names a case by its key and whether a passphrase is given, never by the passphrase's bytes.
void PrintTo(const Login& login, std::ostream* out) {
    *out << login.key
         << (login.passphrase.empty() ? ""
             : login.accepted         ? " with its passphrase"
                                      : " with a wrong one");
}

class SftpLogins : public SftpUpload, public testing::WithParamInterface<Login> {};

TEST_P(SftpLogins, TakeKeysOfEachKindAndRefuseAWrongPassphrase) {
    const Login& login = GetParam();
    const std::string outcome = messageOf([&] { openRemoteFolder(target(login.key), options(login.passphrase)); });
    if (login.accepted)
        EXPECT_EQ(outcome, "(no error)");
    else
        EXPECT_TRUE(contains(outcome, "passphrase that was not given or is wrong")) << outcome;
}

INSTANTIATE_TEST_SUITE_P(Keys, SftpLogins,
                         testing::Values(Login{"user_rsa", "", true},
                                         Login{"user_locked", SshServer::kKeyPassphrase, true},
                                         Login{"user_locked", "not it", false}, Login{"user_ed25519", "", true}));

TEST_F(SftpUpload, LogsInWithAPasswordAndRefusesAWrongOne) {
    if (!s_server->takesPasswords())
        GTEST_SKIP() << "no private mount namespace for a password user";
    UploadTarget withPassword = target();
    withPassword.user = SshServer::kPasswordUser;
    withPassword.auth = UploadAuth::Password;
    withPassword.keyFile.clear();
    const std::string refusal = messageOf([&] { openRemoteFolder(withPassword, options("not it")); });
    EXPECT_TRUE(contains(refusal, "The server refused the password of uploader@127.0.0.1")) << refusal;
    EXPECT_EQ(upload(withPassword, options(SshServer::kPassword)).plan.count(PlanAction::Upload), 4u);
    expectInStep(m_remote);
}

TEST_F(SftpUpload, LogsInThroughTheSshAgent) {
    TemporaryFolder agentFolder;
    const std::string socket = agentFolder / "agent.sock";
    ServerProcess agent;
    agent.start({"/usr/bin/ssh-agent", "-D", "-a", socket}, agentFolder / "agent.log");
    ASSERT_TRUE(waitForFileLine(agentFolder / "agent.log")) << "ssh-agent did not start";
    const ScopedEnvironment environment("SSH_AUTH_SOCK", socket);
    ASSERT_EQ(runToEnd({"/usr/bin/ssh-add", s_server->key("user_rsa")}), 0);
    UploadTarget viaAgent = target();
    viaAgent.auth = UploadAuth::Agent;
    viaAgent.keyFile.clear();
    EXPECT_EQ(upload(viaAgent, options()).plan.count(PlanAction::Upload), 4u);
}

TEST_F(SftpUpload, FailsInAReadOnlyFolderWithTheServersWordsAndLeavesItsFiles) {
    upload(target(), options());
    m_publish.edit("Demo.html", "<new page>");
    ::chmod(m_remote.c_str(), 0555);
    const std::string failure = messageOf([&] { upload(target(), options()); });
    ::chmod(m_remote.c_str(), 0755);
    EXPECT_TRUE(contains(failure, "Permission denied")) << failure;
    EXPECT_EQ(readBytes(m_remote / "Demo.html"), "<page>");
}

// Kills the server's side of the connection while the large picture travels.
class SessionKiller : public SilentUploadProgress {
public:
    explicit SessionKiller(ServerProcess& server) : m_server(server) {}
    void sending(const std::string& name, std::uint64_t sent, std::uint64_t) override {
        if (name == "slider0.jpg" && sent > 100000 && !m_killed) {
            for (const pid_t session : m_server.descendants())
                ::kill(session, SIGKILL);
            m_killed = true;
        }
    }

private:
    ServerProcess& m_server;
    bool m_killed = false;
};

// An upload whose session the server loses while the large picture travels leaves the site as it was, and
// the next upload completes it and removes what the cut one left.
void ServerUpload::expectCutOffUploadHealed(const UploadTarget& target, const ConnectOptions& connect,
                                            ServerProcess& server, const fs::path& remote) {
    upload(target, connect);
    m_publish.edit("slider0.jpg", std::string(400000, 'J'));
    m_publish.edit("Demo.html", "<page naming the new picture>");
    SessionKiller killer(server);
    {
        const std::unique_ptr<RemoteFolder> folder = openRemoteFolder(target, connect);
        EXPECT_THROW(runUpload(*folder, m_publish.files(), {}, killer), VeskaroError);
    }
    EXPECT_EQ(readBytes(remote / "Demo.html"), "<page>");
    EXPECT_TRUE(readBytes(remote / "slider0.jpg") == std::string(400000, 'j')) << "the earlier picture is whole";
    upload(target, connect);
    expectInStep(remote);
}

TEST_F(SftpUpload, AnUploadCutOffMidwayLeavesWholeFilesAndTheNextOneCompletes) {
    expectCutOffUploadHealed(target(), options(), s_server->process(), m_remote);
}

// --- FTP ---

class FtpUpload : public ServerUpload {
protected:
    UploadTarget target(const FtpServer& server, const char* user = "anna") const {
        UploadTarget target;
        target.protocol = UploadProtocol::Ftp;
        target.host = "127.0.0.1";
        target.port = server.port();
        target.user = user;
        target.folder = "www/" + kNonAsciiFolder;
        return target;
    }
};

TEST_F(FtpUpload, SendsEverythingFirstThenNothingThenOnlyTheEditedPage) {
    const FtpServer server;
    ASSERT_TRUE(server.ready());
    EXPECT_EQ(upload(target(server), options(FtpServer::kPassword)).plan.count(PlanAction::Upload), 4u);
    const fs::path remote = server.site() / "www" / kNonAsciiFolder;
    expectInStep(remote);
    const UploadOutcome again = upload(target(server), options(FtpServer::kPassword));
    EXPECT_EQ(again.plan.count(PlanAction::Unchanged), 4u);
    EXPECT_EQ(again.bytesSent, 0u);
    m_publish.edit("Demo.html", "<page with another description>");
    EXPECT_EQ(upload(target(server), options(FtpServer::kPassword)).plan.count(PlanAction::Upload), 1u);
    expectInStep(remote);
}

TEST_F(FtpUpload, RefusesAWrongPasswordWithTheServersWords) {
    const FtpServer server;
    ASSERT_TRUE(server.ready());
    const std::string refusal = messageOf([&] { upload(target(server), options("wrong")); });
    EXPECT_TRUE(contains(refusal, "refused the login of anna: 530")) << refusal;
}

TEST_F(FtpUpload, AnFtpsAddressRefusesAServerWithoutTls) {
    const FtpServer server;
    ASSERT_TRUE(server.ready());
    UploadTarget secure = target(server);
    secure.protocol = UploadProtocol::Ftps;
    const std::string refusal = messageOf([&] { upload(secure, options(FtpServer::kPassword)); });
    EXPECT_TRUE(contains(refusal, "will not start TLS")) << refusal;
    EXPECT_FALSE(fs::exists(server.site() / "www"));
}

TEST_F(FtpUpload, MovesOldFilesAsideOnAServerThatWillNotRenameOverThem) {
    const FtpServer server(FtpServer::Quirk::NoRenameOver);
    ASSERT_TRUE(server.ready());
    upload(target(server), options(FtpServer::kPassword));
    m_publish.edit("Demo.html", "<new page>");
    m_publish.edit("Slider1.css", "#Slider1 { color: red }");
    EXPECT_EQ(upload(target(server), options(FtpServer::kPassword)).plan.count(PlanAction::Upload), 2u);
    expectInStep(server.site() / "www" / kNonAsciiFolder);
}

TEST_F(FtpUpload, ReadsTheListingOfAServerWithoutMlsd) {
    const FtpServer server(FtpServer::Quirk::NoMlsd);
    ASSERT_TRUE(server.ready());
    EXPECT_EQ(upload(target(server), options(FtpServer::kPassword)).plan.count(PlanAction::Upload), 4u);
    m_publish.edit("Demo.html", "<page with another description>");
    const UploadOutcome edited = upload(target(server), options(FtpServer::kPassword));
    EXPECT_EQ(edited.plan.count(PlanAction::Upload), 1u);
    EXPECT_EQ(edited.plan.count(PlanAction::Unchanged), 3u) << "sizes read from LIST match";
    expectInStep(server.site() / "www" / kNonAsciiFolder);
}

TEST_F(FtpUpload, FailsForAUserWhoMayOnlyReadAndChangesNothing) {
    const FtpServer server;
    ASSERT_TRUE(server.ready());
    UploadTarget reader = target(server, "reader");
    reader.folder = "readonly";
    const std::string failure = messageOf([&] { upload(reader, options(FtpServer::kPassword)); });
    EXPECT_TRUE(contains(failure, "550")) << failure;
    EXPECT_TRUE(namesIn(server.site() / "readonly").empty());
}

// --- FTPS ---

class FtpsUpload : public ServerUpload {
protected:
    void SetUp() override {
        m_server = std::make_unique<FtpsServer>();
        if (!m_server->ready())
            GTEST_SKIP() << "proftpd: " << m_server->whyNotReady();
    }

    UploadTarget target() const {
        UploadTarget target;
        target.protocol = UploadProtocol::Ftps;
        target.host = "127.0.0.1";
        target.port = m_server->port();
        target.user = "anna";
        target.folder = kNonAsciiFolder;
        return target;
    }

    std::unique_ptr<FtpsServer> m_server;
};

TEST_F(FtpsUpload, RefusesASelfSignedCertificateUntilItsKeyIsTrustedThenUploads) {
    const std::string refusal = messageOf([&] { upload(target(), options(FtpsServer::kPassword)); });
    EXPECT_TRUE(contains(refusal, "is not one this system trusts")) << refusal;
    EXPECT_TRUE(contains(refusal, m_server->keyFingerprint())) << refusal;
    EXPECT_FALSE(fs::exists(m_server->site() / kNonAsciiFolder));

    m_trusted = m_server->keyFingerprint();
    EXPECT_EQ(upload(target(), options(FtpsServer::kPassword)).plan.count(PlanAction::Upload), 4u);
    m_trusted.clear();
    EXPECT_EQ(upload(target(), options(FtpsServer::kPassword)).plan.count(PlanAction::Unchanged), 4u);
    expectInStep(m_server->site() / kNonAsciiFolder);
}

TEST_F(FtpsUpload, AnUploadCutOffMidwayLeavesWholeFilesAndTheNextOneCompletes) {
    m_trusted = m_server->keyFingerprint();
    expectCutOffUploadHealed(target(), options(FtpsServer::kPassword), m_server->process(),
                             m_server->site() / kNonAsciiFolder);
}

TEST_F(FtpsUpload, StopsAtAChangedCertificateKey) {
    KnownHosts(m_config / "known_hosts")
        .remember("tls", serverName("127.0.0.1", m_server->port()),
                  "SHA256:AnotherKeyOnceTrustedAAAAAAAAAAAAAAAAAAAAAA");
    m_trusted = m_server->keyFingerprint();
    const std::string refusal = messageOf([&] { upload(target(), options(FtpsServer::kPassword)); });
    EXPECT_TRUE(contains(refusal, "has CHANGED")) << refusal;
    EXPECT_TRUE(contains(refusal, m_server->keyFingerprint())) << refusal;
}

} // namespace
