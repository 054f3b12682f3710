#pragma once

#include <optional>
#include <string>

namespace veskaro {

/// What the program knows of the key a server showed.
enum class HostKeyVerdict { Known, Unknown, Changed };

/// The program's own list of trusted server keys (SSH host keys, TLS certificates' public keys), one
/// line per server and kind: "ssh 127.0.0.1:2222 SHA256:<base64>". Every call reads the file anew;
/// remembering a key rewrites it atomically. Lines it cannot read are kept as they are.
class KnownHosts {
public:
    explicit KnownHosts(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }
    /// Tells whether fingerprint is the key remembered for server ("host:port") and kind ("ssh", "tls"),
    /// another one is remembered (Changed), or none (Unknown).
    HostKeyVerdict check(const std::string& kind, const std::string& server, const std::string& fingerprint) const;
    /// Returns the fingerprint remembered for server and kind, or nothing.
    std::optional<std::string> remembered(const std::string& kind, const std::string& server) const;
    /// Remembers fingerprint for a server and kind that has none yet. Throws VeskaroError when the file
    /// cannot be written, or when another key is remembered for the server: a changed key is never
    /// accepted over the one known.
    void remember(const std::string& kind, const std::string& server, const std::string& fingerprint) const;

private:
    std::string m_path;
};

/// Returns the known-hosts file in the user's configuration folder ($XDG_CONFIG_HOME/veskaro/known_hosts);
/// throws VeskaroError when the system names no such folder.
std::string defaultKnownHostsFile();

/// Returns "host:port", with an IPv6 host in brackets, as the known-hosts file names a server.
std::string serverName(const std::string& host, int port);

} // namespace veskaro
