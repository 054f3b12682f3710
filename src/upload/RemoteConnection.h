#pragma once

#include "upload/RemoteFolder.h"
#include "upload/UploadTarget.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace veskaro {

/// What a connection needs beyond the target: where trusted server keys are kept, and how to ask the user.
struct ConnectOptions {
    /// The program's known-hosts file (see KnownHosts).
    std::string knownHostsFile;
    /// Decides on a server key not known yet, given the server ("host:port") and the key's fingerprint
    /// ("SHA256:<base64>"); true trusts it from now on. Unset: refused. A changed key is never asked about.
    std::function<bool(const std::string& server, const std::string& fingerprint)> trustNewKey;
    /// Asks for a secret (a password, a key's passphrase) with the prompt; nothing when none is given.
    std::function<std::optional<std::string>(const std::string& prompt)> askSecret;
    /// The most bytes a second that a transfer sends; 0 for no limit.
    std::uint64_t bytesPerSecond = 0;
    /// How long a connection may take to be made, and a server to answer.
    long timeoutSeconds = 30;
};

/// Connects to the target's server, checks its key or certificate, logs in and returns its folder (not yet
/// made: see RemoteFolder::makeFolder). SFTP checks the host key against the known-hosts file; FTPS
/// demands TLS before the login (a server that will not start it is refused) and verifies the certificate
/// against the system's authorities, or a self-signed one by its public key's fingerprint in the
/// known-hosts file; FTP sends everything, the password too, unencrypted. Throws VeskaroError with the
/// server's words.
std::unique_ptr<RemoteFolder> openRemoteFolder(const UploadTarget& target, const ConnectOptions& options);

/// Returns the path of name inside the target's folder as the server takes it: relative to the login
/// folder, or absolute.
std::string remotePathOf(const std::string& folder, const std::string& name);

} // namespace veskaro
