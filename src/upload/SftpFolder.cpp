#include "upload/SftpFolder.h"

#include "upload/KnownHosts.h"

#include "platform/VeskaroError.h"

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <thread>
#include <vector>

namespace veskaro {

namespace {

// SFTP writes travel in pieces, each answered before the next is sent, so their size sets the speed: every
// server takes 32 KiB; one that announces limits@openssh.com (OpenSSH 8.6 and later) takes up to 255 KiB,
// and four times as much in a piece sends a picture about three times as fast.
constexpr std::size_t kPieceBytes = 32 * 1024;
constexpr std::size_t kLargePieceBytes = 128 * 1024;

std::string statusWords(int status) {
    switch (status) {
    case SSH_FX_EOF:
        return "end of file";
    case SSH_FX_NO_SUCH_FILE:
        return "No such file";
    case SSH_FX_PERMISSION_DENIED:
        return "Permission denied";
    case SSH_FX_FAILURE:
        return "Failure";
    case SSH_FX_BAD_MESSAGE:
        return "Bad message";
    case SSH_FX_NO_CONNECTION:
        return "No connection";
    case SSH_FX_CONNECTION_LOST:
        return "Connection lost";
    case SSH_FX_OP_UNSUPPORTED:
        return "Operation unsupported";
    case SSH_FX_FILE_ALREADY_EXISTS:
        return "File already exists";
    case SSH_FX_WRITE_PROTECT:
        return "Write protected";
    case SSH_FX_NO_MEDIA:
        return "No media";
    default:
        return "status " + std::to_string(status);
    }
}

struct KeyHolder {
    ssh_key key = nullptr;
    ~KeyHolder() { ssh_key_free(key); }
};

// libssh asks here for a key file's passphrase; without one given it must not ask the terminal itself.
struct PassphraseRequest {
    const std::string* passphrase = nullptr;
    bool asked = false;
};

int passphraseFor(const char*, char* buffer, size_t length, int, int, void* data) {
    auto* request = static_cast<PassphraseRequest*>(data);
    request->asked = true;
    if (!request->passphrase || request->passphrase->size() + 1 > length)
        return -1;
    request->passphrase->copy(buffer, request->passphrase->size());
    buffer[request->passphrase->size()] = '\0';
    return 0;
}

std::string fingerprintOf(ssh_key key) {
    unsigned char* hash = nullptr;
    size_t length = 0;
    if (ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length) != 0)
        throw VeskaroError("The server's host key cannot be read.");
    char* text = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length);
    ssh_clean_pubkey_hash(&hash);
    std::string fingerprint = text ? text : "";
    ssh_string_free_char(text);
    return fingerprint;
}

void waitForRate(std::chrono::steady_clock::time_point start, std::uint64_t sent, std::uint64_t bytesPerSecond) {
    if (bytesPerSecond == 0)
        return;
    const auto due = start + std::chrono::microseconds(sent * 1000000 / bytesPerSecond);
    std::this_thread::sleep_until(due);
}

} // namespace

struct SftpFolder::Session {
    ssh_session ssh = nullptr;
    sftp_session sftp = nullptr;
    ~Session() {
        if (sftp)
            sftp_free(sftp);
        if (ssh) {
            ssh_disconnect(ssh);
            ssh_free(ssh);
        }
    }
};

SftpFolder::SftpFolder(const UploadTarget& target, const ConnectOptions& options)
    : m_target(target), m_bytesPerSecond(options.bytesPerSecond), m_session(std::make_unique<Session>()) {
    m_session->ssh = ssh_new();
    if (!m_session->ssh)
        throw VeskaroError("An SSH session cannot be made: out of memory.");
    ssh_session ssh = m_session->ssh;
    const unsigned int port = static_cast<unsigned int>(effectivePort(target));
    const bool noConfig = false;
    ssh_options_set(ssh, SSH_OPTIONS_HOST, target.host.c_str());
    ssh_options_set(ssh, SSH_OPTIONS_PORT, &port);
    ssh_options_set(ssh, SSH_OPTIONS_TIMEOUT, &options.timeoutSeconds);
    // The user's ~/.ssh/config must not send the upload elsewhere or change its checks.
    ssh_options_set(ssh, SSH_OPTIONS_PROCESS_CONFIG, &noConfig);
    if (!target.user.empty())
        ssh_options_set(ssh, SSH_OPTIONS_USER, target.user.c_str());
    if (ssh_connect(ssh) != SSH_OK)
        throw VeskaroError("The connection to " + serverName(target.host, static_cast<int>(port)) +
                           " failed: " + ssh_get_error(ssh));
    checkHostKey(options);
    logIn(options);
    m_session->sftp = sftp_new(ssh);
    if (!m_session->sftp || sftp_init(m_session->sftp) != SSH_OK)
        fail("The server offers no SFTP");
    m_pieceBytes =
        sftp_extension_supported(m_session->sftp, "limits@openssh.com", "1") ? kLargePieceBytes : kPieceBytes;
}

SftpFolder::~SftpFolder() = default;

void SftpFolder::checkHostKey(const ConnectOptions& options) {
    KeyHolder key;
    if (ssh_get_server_publickey(m_session->ssh, &key.key) != SSH_OK)
        fail("The server showed no host key");
    const std::string fingerprint = fingerprintOf(key.key);
    const std::string server = serverName(m_target.host, effectivePort(m_target));
    const KnownHosts known(options.knownHostsFile);
    switch (known.check("ssh", server, fingerprint)) {
    case HostKeyVerdict::Known:
        return;
    case HostKeyVerdict::Changed:
        throw VeskaroError("The host key of " + server + " has CHANGED since it was trusted: it is now " + fingerprint +
                           ". Someone may be listening in, or the server was set up anew. Nothing was sent. If the "
                           "change is expected, remove the line of " +
                           server + " from " + known.path() + ".");
    case HostKeyVerdict::Unknown:
        if (!options.trustNewKey || !options.trustNewKey(server, fingerprint))
            throw VeskaroError("The server " + server + " is not known yet: its host key has the fingerprint " +
                               fingerprint + ". Nothing was sent.");
        known.remember("ssh", server, fingerprint);
        return;
    }
}

void SftpFolder::logIn(const ConnectOptions& options) {
    ssh_session ssh = m_session->ssh;
    const std::string who = (m_target.user.empty() ? std::string() : m_target.user + "@") + m_target.host;
    switch (m_target.auth) {
    case UploadAuth::Agent:
        if (ssh_userauth_agent(ssh, nullptr) != SSH_AUTH_SUCCESS)
            fail("The SSH agent has no key that " + who + " accepts");
        return;
    case UploadAuth::Key:
        logInWithKey(options);
        return;
    case UploadAuth::Password: {
        const std::optional<std::string> password =
            options.askSecret ? options.askSecret("Password for " + who + ": ") : std::nullopt;
        if (!password)
            throw VeskaroError("No password was given for " + who + ".");
        if (ssh_userauth_password(ssh, nullptr, password->c_str()) != SSH_AUTH_SUCCESS)
            fail("The server refused the password of " + who);
        return;
    }
    }
}

void SftpFolder::logInWithKey(const ConnectOptions& options) {
    if (m_target.keyFile.empty())
        throw VeskaroError("No key file is named for " + m_target.host + ".");
    KeyHolder key;
    PassphraseRequest request;
    int read = ssh_pki_import_privkey_file(m_target.keyFile.c_str(), nullptr, passphraseFor, &request, &key.key);
    if (read != SSH_OK && request.asked && options.askSecret) {
        const std::optional<std::string> passphrase = options.askSecret("Passphrase for " + m_target.keyFile + ": ");
        if (passphrase) {
            request.passphrase = &*passphrase;
            read = ssh_pki_import_privkey_file(m_target.keyFile.c_str(), nullptr, passphraseFor, &request, &key.key);
        }
    }
    if (read != SSH_OK)
        throw VeskaroError("The key file " + m_target.keyFile +
                           (request.asked ? " is locked by a passphrase that was not given or is wrong."
                                          : " cannot be read as a private key."));
    if (ssh_userauth_publickey(m_session->ssh, nullptr, key.key) != SSH_AUTH_SUCCESS)
        fail("The server refused the key " + m_target.keyFile);
}

void SftpFolder::fail(const std::string& what) const {
    std::string words = ssh_get_error(m_session->ssh);
    if (m_session->sftp && sftp_get_error(m_session->sftp) != SSH_FX_OK)
        words = statusWords(sftp_get_error(m_session->sftp)) + (words.empty() ? "" : " (" + words + ")");
    while (!words.empty() && (words.back() == '.' || words.back() == ' '))
        words.pop_back();
    throw VeskaroError(what + ": " + words + ".");
}

std::string SftpFolder::pathOf(const std::string& name) const {
    return remotePathOf(m_target.folder.empty() ? "." : m_target.folder, name);
}

void SftpFolder::makeFolder() {
    const std::string& folder = m_target.folder;
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string level = folder.substr(0, end);
        sftp_attributes attributes = level.empty() ? nullptr : sftp_stat(m_session->sftp, level.c_str());
        const bool isFolder = attributes && attributes->type == SSH_FILEXFER_TYPE_DIRECTORY;
        sftp_attributes_free(attributes);
        if (!level.empty() && !isFolder && sftp_mkdir(m_session->sftp, level.c_str(), 0755) != SSH_OK)
            fail("The folder " + level + " cannot be made");
        if (end == std::string::npos)
            return;
    }
}

std::vector<RemoteEntry> SftpFolder::list() {
    const std::string folder = m_target.folder.empty() ? "." : m_target.folder;
    sftp_dir directory = sftp_opendir(m_session->sftp, folder.c_str());
    if (!directory)
        fail("The folder " + folder + " cannot be listed");
    std::vector<RemoteEntry> entries;
    while (sftp_attributes attributes = sftp_readdir(m_session->sftp, directory)) {
        const std::string name = attributes->name ? attributes->name : "";
        if (name != "." && name != "..")
            entries.push_back({name, attributes->size, attributes->type == SSH_FILEXFER_TYPE_REGULAR});
        sftp_attributes_free(attributes);
    }
    const bool complete = sftp_dir_eof(directory) != 0;
    sftp_closedir(directory);
    if (!complete)
        fail("The folder " + folder + " cannot be listed to its end");
    return entries;
}

std::optional<std::string> SftpFolder::read(const std::string& name, std::size_t limit) {
    const std::string path = pathOf(name);
    sftp_file file = sftp_open(m_session->sftp, path.c_str(), O_RDONLY, 0);
    if (!file) {
        if (sftp_get_error(m_session->sftp) == SSH_FX_NO_SUCH_FILE)
            return std::nullopt;
        fail("The file " + path + " cannot be read");
    }
    std::string bytes;
    std::vector<char> buffer(kPieceBytes);
    ssize_t got = 0;
    while ((got = sftp_read(file, buffer.data(), buffer.size())) > 0 && bytes.size() <= limit)
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    sftp_close(file);
    if (got < 0)
        fail("The file " + path + " cannot be read");
    if (bytes.size() > limit)
        throw VeskaroError("The file " + path + " is larger than " + std::to_string(limit) + " bytes.");
    return bytes;
}

void SftpFolder::put(const std::string& localPath, const std::string& name, const TransferCallback& sent) {
    std::ifstream in(localPath, std::ios::binary);
    if (!in)
        throw VeskaroError("The file " + localPath + " cannot be read.");
    const std::string path = pathOf(name);
    sftp_file file = sftp_open(m_session->sftp, path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!file)
        fail("The file " + path + " cannot be written");
    std::vector<char> buffer(m_pieceBytes);
    std::uint64_t total = 0;
    const auto start = std::chrono::steady_clock::now();
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto count = static_cast<std::size_t>(in.gcount());
        if (count > 0 && sftp_write(file, buffer.data(), count) != static_cast<ssize_t>(count)) {
            sftp_close(file);
            fail("The file " + path + " cannot be written");
        }
        total += count;
        if (!sent(total)) {
            sftp_close(file);
            throw VeskaroError(kUploadStoppedMessage);
        }
        waitForRate(start, total, m_bytesPerSecond);
    }
    if (in.bad()) {
        sftp_close(file);
        throw VeskaroError("The file " + localPath + " cannot be read.");
    }
    if (sftp_close(file) != SSH_NO_ERROR)
        fail("The file " + path + " cannot be written to its end");
}

void SftpFolder::rename(const std::string& from, const std::string& to) {
    if (sftp_rename(m_session->sftp, pathOf(from).c_str(), pathOf(to).c_str()) != SSH_OK)
        fail("The file " + pathOf(from) + " cannot be renamed to " + to);
}

void SftpFolder::remove(const std::string& name) {
    if (sftp_unlink(m_session->sftp, pathOf(name).c_str()) != SSH_OK)
        fail("The file " + pathOf(name) + " cannot be removed");
}

} // namespace veskaro
