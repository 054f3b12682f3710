#include "TestServers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace veskaro::test {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kStartLimit = 15s;
constexpr auto kStopLimit = 5s;
constexpr uid_t kNobody = 65534;

[[noreturn]] void execute(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& arg : argv)
        pointers.push_back(const_cast<char*>(arg.c_str()));
    pointers.push_back(nullptr);
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
}

void redirectOutput(int descriptor) {
    ::dup2(descriptor, STDOUT_FILENO);
    ::dup2(descriptor, STDERR_FILENO);
    ::close(descriptor);
    const int nothing = ::open("/dev/null", O_RDONLY);
    ::dup2(nothing, STDIN_FILENO);
}

// Returns what a shell command prints, its first line.
std::string firstLineOf(const std::string& command) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        execute({"/bin/sh", "-c", command});
    }
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return output.substr(0, output.find('\n'));
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The test's temporary folder is private to root; the servers' users must reach the site below it.
void openToServers(const TemporaryFolder& folder) {
    ::chmod(folder.path().c_str(), 0755);
    fs::create_directories(folder.path() / "site");
    if (::chown((folder.path() / "site").c_str(), kNobody, kNobody) != 0)
        return;
}

bool isRoot() {
    return ::geteuid() == 0;
}

} // namespace

int runToEnd(const std::vector<std::string>& argv) {
    const pid_t child = ::fork();
    if (child == 0) {
        redirectOutput(::open("/dev/null", O_WRONLY));
        execute(argv);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int freePort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(socket);
    return ntohs(address.sin_port);
}

bool waitForPort(int port) {
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        const bool accepted = ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(socket);
        if (accepted)
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

std::optional<std::string> waitForFileLine(const fs::path& path) {
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(path);
        std::string line;
        if (in && std::getline(in, line) && !line.empty())
            return line;
        std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
}

void ServerProcess::start(const std::vector<std::string>& argv, const std::string& logPath) {
    const pid_t child = ::fork();
    if (child == 0) {
        redirectOutput(::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
        execute(argv);
    }
    m_pid = child;
}

void ServerProcess::stop() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopLimit;
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    m_pid = -1;
}

std::vector<pid_t> ServerProcess::descendants() const {
    std::vector<pid_t> pids = {m_pid};
    for (std::size_t next = 0; next < pids.size(); ++next) {
        std::ifstream in("/proc/" + std::to_string(pids[next]) + "/task/" + std::to_string(pids[next]) + "/children");
        pid_t pid = 0;
        while (in >> pid)
            pids.push_back(pid);
    }
    pids.erase(pids.begin());
    return pids;
}

SshServer::SshServer() {
    if (!isRoot() || !fs::exists("/usr/sbin/sshd")) {
        m_why = "needs root and /usr/sbin/sshd (openssh-server)";
        return;
    }
    openToServers(m_folder);
    const std::string folder = m_folder.path().string();
    for (const auto& [name, type, passphrase] : {std::tuple{"host_key", "ed25519", ""},
                                                 {"user_ed25519", "ed25519", ""},
                                                 {"user_locked", "ed25519", kKeyPassphrase},
                                                 {"user_rsa", "rsa", ""}})
        if (runToEnd({"/usr/bin/ssh-keygen", "-q", "-t", type, "-N", passphrase, "-f", folder + "/" + name}) != 0) {
            m_why = "ssh-keygen failed";
            return;
        }
    std::string authorised;
    for (const char* name : {"user_ed25519", "user_locked", "user_rsa"})
        authorised += readBytes(m_folder.path() / (std::string(name) + ".pub"));
    writeText(m_folder.path() / "authorized_keys", authorised);
    m_port = freePort();
    m_takesPasswords = runToEnd({"/usr/bin/unshare", "-m", "--propagation", "private", "/bin/true"}) == 0;
    writeText(m_folder.path() / "sshd_config", "Port " + std::to_string(m_port) +
                                                   "\nListenAddress 127.0.0.1\nHostKey " + folder +
                                                   "/host_key\nPidFile none\nAuthorizedKeysFile " + folder +
                                                   "/authorized_keys\nStrictModes no\nUsePAM no\n"
                                                   "PasswordAuthentication " +
                                                   (m_takesPasswords ? "yes" : "no") +
                                                   "\nKbdInteractiveAuthentication no\n"
                                                   "AllowUsers nobody " +
                                                   kPasswordUser +
                                                   "\nSubsystem sftp internal-sftp\n"
                                                   "ForceCommand internal-sftp\nLogLevel ERROR\n");
    // sshd's privilege separation wants its empty folder, which the service would make at boot.
    fs::create_directories("/run/sshd");
    const std::string sshd = "/usr/sbin/sshd -D -e -f '" + folder + "/sshd_config'";
    if (m_takesPasswords) {
        const std::string hash = firstLineOf(std::string("/usr/bin/openssl passwd -6 '") + kPassword + "'");
        writeText(m_folder.path() / "passwd", readBytes("/etc/passwd") + kPasswordUser +
                                                  ":x:65534:65534::" + site().string() + ":/usr/sbin/nologin\n");
        writeText(m_folder.path() / "shadow",
                  readBytes("/etc/shadow") + kPasswordUser + ":" + hash + ":19000:0:99999:7:::\n");
        ::chmod((folder + "/shadow").c_str(), 0600);
        // unshare and the shell each run the next program in their own process, so the pid is sshd's.
        m_process.start({"/usr/bin/unshare", "-m", "--propagation", "private", "/bin/sh", "-c",
                         "mount --bind '" + folder + "/passwd' /etc/passwd && mount --bind '" + folder +
                             "/shadow' /etc/shadow && exec " + sshd},
                        folder + "/sshd.log");
    } else {
        m_process.start({"/bin/sh", "-c", "exec " + sshd}, folder + "/sshd.log");
    }
    m_ready = waitForPort(m_port);
    if (!m_ready)
        m_why = "sshd did not start: " + readBytes(m_folder.path() / "sshd.log");
}

std::string SshServer::hostKeyFingerprint() const {
    std::istringstream line(firstLineOf("/usr/bin/ssh-keygen -l -E sha256 -f '" + key("host_key.pub") + "'"));
    std::string bits;
    std::string fingerprint;
    line >> bits >> fingerprint;
    return fingerprint;
}

FtpServer::FtpServer(Quirk quirk) {
    const std::string folder = m_folder.path().string();
    fs::create_directories(site());
    fs::create_directories(site() / "readonly");
    std::vector<std::string> argv = {"/usr/bin/python3", VESKARO_UPLOAD_TEST_DIR "/ftp_server.py",
                                     "--port-file",      folder + "/port",
                                     "--user",           std::string("anna:") + kPassword + ":" + site().string(),
                                     "--reader",         std::string("reader:") + kPassword + ":" + site().string()};
    if (quirk == Quirk::NoRenameOver)
        argv.push_back("--no-rename-over");
    if (quirk == Quirk::NoMlsd)
        argv.push_back("--no-mlsd");
    m_process.start(argv, folder + "/ftp.log");
    if (const std::optional<std::string> port = waitForFileLine(m_folder.path() / "port"))
        m_port = std::stoi(*port);
}

FtpsServer::FtpsServer() {
    if (!isRoot() || !fs::exists("/usr/sbin/proftpd")) {
        m_why = "needs root and /usr/sbin/proftpd (proftpd-core, proftpd-mod-crypto)";
        return;
    }
    openToServers(m_folder);
    const std::string folder = m_folder.path().string();
    if (runToEnd({"/usr/bin/openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                  "-nodes", "-keyout", folder + "/key.pem", "-out", folder + "/cert.pem", "-days", "2", "-subj",
                  "/CN=127.0.0.1"}) != 0) {
        m_why = "openssl could not make a certificate";
        return;
    }
    const std::string hash = firstLineOf(std::string("/usr/bin/openssl passwd -6 '") + kPassword + "'");
    writeText(m_folder.path() / "passwd", "anna:" + hash + ":65534:65534::" + site().string() + ":/bin/false\n");
    writeText(m_folder.path() / "group", "nogroup:x:65534:\n");
    ::chmod((folder + "/passwd").c_str(), 0600);
    ::chmod((folder + "/group").c_str(), 0600);
    m_port = freePort();
    writeText(m_folder.path() / "proftpd.conf",
              "ServerName \"upload test\"\nServerType standalone\nDefaultServer on\nPort " + std::to_string(m_port) +
                  "\nDefaultAddress 127.0.0.1\nSocketBindTight on\nUseIPv6 off\nUser nobody\nGroup nogroup\n"
                  "PidFile " +
                  folder + "/proftpd.pid\nScoreboardFile " + folder +
                  "/scoreboard\n"
                  "DelayEngine off\nWtmpLog off\nTransferLog none\nSystemLog " +
                  folder +
                  "/system.log\n"
                  "UseReverseDNS off\nRequireValidShell off\nAuthOrder mod_auth_file.c\nAuthUserFile " +
                  folder + "/passwd\nAuthGroupFile " + folder +
                  "/group\nAllowOverwrite on\nDefaultRoot ~\n"
                  "ModulePath /usr/lib/proftpd\nLoadModule mod_tls.c\nTLSEngine on\nTLSRequired on\n"
                  "TLSProtocol TLSv1.2 TLSv1.3\nTLSECCertificateFile " +
                  folder +
                  "/cert.pem\n"
                  "TLSECCertificateKeyFile " +
                  folder + "/key.pem\nTLSOptions NoSessionReuseRequired\n");
    m_process.start({"/usr/sbin/proftpd", "-n", "-q", "-c", folder + "/proftpd.conf"}, folder + "/proftpd.log");
    m_ready = waitForPort(m_port);
    if (!m_ready)
        m_why = "proftpd did not start: " + readBytes(m_folder.path() / "proftpd.log");
}

std::string FtpsServer::keyFingerprint() const {
    return "SHA256:" + firstLineOf("/usr/bin/openssl x509 -in '" + (m_folder / "cert.pem") +
                                   "' -pubkey -noout | /usr/bin/openssl pkey -pubin -outform der | "
                                   "/usr/bin/openssl dgst -sha256 -binary | /usr/bin/base64 | tr -d =");
}

} // namespace veskaro::test
