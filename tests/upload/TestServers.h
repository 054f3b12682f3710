#pragma once

#include "TestFolders.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace veskaro::test {

/// Runs a program to its end with its output thrown away; returns its exit status (-1 when it died).
int runToEnd(const std::vector<std::string>& argv);

/// Returns a TCP port on 127.0.0.1 that nothing listens on just now.
int freePort();

/// A server process the test starts itself and stops by its pid: SIGTERM, then SIGKILL after a bounded
/// wait, always reaped.
class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess() { stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    /// Starts argv with stdout and stderr going to logPath.
    void start(const std::vector<std::string>& argv, const std::string& logPath);
    /// Stops the process, if it runs.
    void stop();
    pid_t pid() const { return m_pid; }
    /// Returns the pids of the process's children and theirs (the sessions of a forking server).
    std::vector<pid_t> descendants() const;

private:
    pid_t m_pid = -1;
};

/// Waits, a bounded time, until 127.0.0.1:port accepts connections; false when it never did.
bool waitForPort(int port);

/// Waits, a bounded time, until a file exists and returns its first line; nothing when it never came.
std::optional<std::string> waitForFileLine(const std::filesystem::path& path);

/// OpenSSH's sshd on 127.0.0.1, with its own host key and configuration in a temporary folder, letting
/// the user "nobody" in with three keys: ed25519, ed25519 locked by kKeyPassphrase, and RSA. Where the
/// system lets root make a private mount namespace, sshd runs in one whose /etc/passwd and /etc/shadow are
/// copies that add the user kPasswordUser (nobody's ids) with kPassword, so that the system's own files
/// stay as they are. It needs root (for privilege separation and to act as nobody); ready() tells whether
/// it runs.
class SshServer {
public:
    static constexpr const char* kKeyPassphrase = "horse battery";
    static constexpr const char* kPasswordUser = "uploader";
    static constexpr const char* kPassword = "correct staple";

    SshServer();
    bool ready() const { return m_ready; }
    const std::string& whyNotReady() const { return m_why; }
    int port() const { return m_port; }
    /// Tells whether kPasswordUser can log in with kPassword.
    bool takesPasswords() const { return m_takesPasswords; }
    /// The folder that uploads go to, owned by nobody.
    std::filesystem::path site() const { return m_folder.path() / "site"; }
    std::string key(const char* name) const { return m_folder / name; }
    /// Returns the host key's fingerprint as ssh-keygen -l prints it.
    std::string hostKeyFingerprint() const;
    ServerProcess& process() { return m_process; }

private:
    TemporaryFolder m_folder;
    ServerProcess m_process;
    int m_port = 0;
    bool m_ready = false;
    bool m_takesPasswords = false;
    std::string m_why;
};

/// The plain FTP server of ftp_server.py (pyftpdlib) on 127.0.0.1: "anna" with kPassword may write below
/// site(), "reader" only read.
class FtpServer {
public:
    static constexpr const char* kPassword = "s3cret";

    /// What the server refuses, as some servers do.
    enum class Quirk { None, NoRenameOver, NoMlsd };

    explicit FtpServer(Quirk quirk = Quirk::None);
    bool ready() const { return m_port != 0; }
    int port() const { return m_port; }
    std::filesystem::path site() const { return m_folder.path() / "site"; }

private:
    TemporaryFolder m_folder;
    ServerProcess m_process;
    int m_port = 0;
};

/// ProFTPD with TLS demanded before the login, a self-signed certificate and the virtual user "anna".
class FtpsServer {
public:
    static constexpr const char* kPassword = "s3cret";

    FtpsServer();
    bool ready() const { return m_ready; }
    const std::string& whyNotReady() const { return m_why; }
    int port() const { return m_port; }
    std::filesystem::path site() const { return m_folder.path() / "site"; }
    /// Returns the fingerprint of the certificate's public key, "SHA256:<base64>", computed by openssl.
    std::string keyFingerprint() const;
    ServerProcess& process() { return m_process; }

private:
    TemporaryFolder m_folder;
    ServerProcess m_process;
    int m_port = 0;
    bool m_ready = false;
    std::string m_why;
};

} // namespace veskaro::test
