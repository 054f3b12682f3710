// veskaro-cli upload and publish --upload, run as a user runs them, against servers on 127.0.0.1.

#include "CaseNames.h"
#include "TestServers.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace veskaro::test;
namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string lastLineOf(const std::string& text) {
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n')
        trimmed.pop_back();
    return trimmed.substr(trimmed.rfind('\n') + 1);
}

class CliUpload : public testing::Test {
protected:
    CliUpload() {
        fs::copy(fs::path(VESKARO_SOURCE_DIR) / "data/samples/demo", m_project.path() / "demo",
                 fs::copy_options::recursive);
    }

    // Runs veskaro-cli with the per-user folders in the test's own folder and PW holding password.
    CliRun cli(const std::vector<std::string>& args, const std::string& password = FtpServer::kPassword) const {
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("XDG_CONFIG_HOME", (m_home / "config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (m_home / "data").c_str(), 1);
            ::setenv("XDG_CACHE_HOME", (m_home / "cache").c_str(), 1);
            ::setenv("PW", password.c_str(), 1);
            ::unsetenv("SSH_AUTH_SOCK");
            ::dup2(::open((m_home / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
            ::dup2(::open((m_home / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
            std::vector<char*> argv = {const_cast<char*>(VESKARO_CLI)};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(m_home / "out"), readBytes(m_home / "err")};
    }

    std::string project() const { return m_project / "demo/demo.vsk"; }
    static std::string ftpUrl(const FtpServer& server) {
        return "ftp://anna@127.0.0.1:" + std::to_string(server.port()) + "/site/";
    }

    TemporaryFolder m_project;
    TemporaryFolder m_home;
};

} // namespace

TEST_F(CliUpload, UploadsThePublishThenFindsItUnchangedAndWarnsOfPlainFtp) {
    const FtpServer server;
    ASSERT_TRUE(server.ready());
    const CliRun first = cli({"upload", project(), "--to", ftpUrl(server), "--password-env", "PW"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(lastLineOf(first.out), "7 uploaded, 0 unchanged, 0 removed");
    EXPECT_NE(first.out.find("uploaded  demo.html (2739 bytes"), std::string::npos) << first.out;
    EXPECT_NE(first.err.find("unencrypted"), std::string::npos) << first.err;
    EXPECT_EQ(namesIn(server.site() / "site"),
              (std::set<std::string>{"DemoSlider.css", "demo.html", "demo.veskaro-manifest", "jslib.js", "slider0.jpg",
                                     "slider1.jpg", "slider2.gif", "slidervsk.js"}));
    const CliRun again = cli({"upload", project(), "--to", ftpUrl(server), "--password-env", "PW"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(lastLineOf(again.out), "0 uploaded, 7 unchanged, 0 removed");
}

TEST_F(CliUpload, DryRunPrintsThePlanAndChangesNothing) {
    const FtpServer server;
    ASSERT_TRUE(server.ready());
    ASSERT_EQ(cli({"upload", project(), "--to", ftpUrl(server), "--password-env", "PW"}).status, 0);
    writeBytes(m_project / "demo/demo.html", "<edited page>");
    const CliRun dry = cli({"upload", project(), "--to", ftpUrl(server), "--password-env", "PW", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("would upload demo.html (13 bytes)"), std::string::npos) << dry.out;
    EXPECT_EQ(lastLineOf(dry.out), "1 uploaded, 6 unchanged, 0 removed");
    EXPECT_EQ(fs::file_size(server.site() / "site/demo.html"), 2739u);
}

TEST_F(CliUpload, PublishesAProjectNeverPublishedFirst) {
    const FtpServer server;
    ASSERT_TRUE(server.ready());
    fs::remove(m_project / "demo/demo.html");
    const CliRun run = cli({"upload", project(), "--to", ftpUrl(server), "--password-env", "PW"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(m_project / "demo/demo.html"));
    EXPECT_EQ(readBytes(server.site() / "site/demo.html"), readBytes(m_project / "demo/demo.html"));
    EXPECT_EQ(lastLineOf(run.out), "7 uploaded, 0 unchanged, 0 removed");
    EXPECT_FALSE(fs::is_empty(m_home / "cache/Tarnwell/Veskaro/1.0/Pictures")) << "the publish kept its pictures";
}

TEST_F(CliUpload, DryRunOfAProjectNeverPublishedPublishesNothing) {
    fs::remove(m_project / "demo/demo.html");
    const CliRun dry = cli({"upload", project(), "--to", "ftp://anna@127.0.0.1:1/site/", "--dry-run"});
    EXPECT_EQ(dry.status, 1);
    EXPECT_NE(dry.err.find("has not been published yet"), std::string::npos) << dry.err;
    EXPECT_FALSE(fs::exists(m_project / "demo/demo.html"));
}

TEST_F(CliUpload, PublishWithUploadPublishesThenUploads) {
    const FtpServer server;
    ASSERT_TRUE(server.ready());
    const CliRun run = cli({"publish", project(), "--upload", "--to", ftpUrl(server), "--password-env", "PW",
                            "--limit-rate", "100000", "--quiet"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lastLineOf(run.out), "7 uploaded, 0 unchanged, 0 removed");
}

TEST_F(CliUpload, FailsWithTheServersWordsOnAWrongPassword) {
    const FtpServer server;
    ASSERT_TRUE(server.ready());
    const CliRun run = cli({"upload", project(), "--to", ftpUrl(server), "--password-env", "PW"}, "wrong");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("530"), std::string::npos) << run.err;
}

TEST_F(CliUpload, RefusesAnUnknownHostKeyNamingTheOptionThatAcceptsIt) {
    const SshServer server;
    if (!server.ready())
        GTEST_SKIP() << "sshd: " << server.whyNotReady();
    const std::vector<std::string> args = {
        "upload",     project(),
        "--to",       "sftp://nobody@127.0.0.1:" + std::to_string(server.port()) + "/" + server.site().string() + "/",
        "--identity", server.key("user_ed25519")};
    const CliRun refused = cli(args);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--accept-host-key " + server.hostKeyFingerprint()), std::string::npos) << refused.err;
    std::vector<std::string> accepting = args;
    accepting.insert(accepting.end(), {"--accept-host-key", server.hostKeyFingerprint()});
    const CliRun accepted = cli(accepting);
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_EQ(lastLineOf(accepted.out), "7 uploaded, 0 unchanged, 0 removed");
}

struct UsageCase {
    std::vector<std::string> args;
    std::string words;
};

void PrintTo(const UsageCase& c, std::ostream* out) {
    std::string line;
    for (const std::string& arg : c.args)
        line += (line.empty() ? "" : " ") + arg;
    *out << veskaro::test::caseName(line);
}

class CliUploadUsage : public CliUpload, public testing::WithParamInterface<UsageCase> {};

TEST_P(CliUploadUsage, EndsWithStatusTwoSayingWhy) {
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args)
        if (arg == "PROJECT")
            arg = project();
    const CliRun run = cli(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(GetParam().words), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CliUploadUsage,
    testing::Values(UsageCase{{"upload", "PROJECT", "--to", "ftp://a@127.0.0.1/", "--password", "x"}, "never taken"},
                    UsageCase{{"upload", "PROJECT"}, "no upload target"},
                    UsageCase{{"upload", "PROJECT", "--to", "http://example.com/"}, "none of sftp, ftps and ftp"},
                    UsageCase{{"upload", "--to", "ftp://a@127.0.0.1/"}, "no project file given"},
                    UsageCase{{"upload", "PROJECT", "--to", "ftp://a@127.0.0.1/", "--limit-rate", "0"}, "--limit-rate"},
                    UsageCase{{"upload", "PROJECT", "--to", "ftp://a@127.0.0.1/", "--accept-host-key", "abc"},
                              "SHA256:"},
                    UsageCase{{"upload", "missing.vsk", "--to", "ftp://a@127.0.0.1/"}, "missing.vsk"}));
