#pragma once

#include <map>
#include <string>

namespace veskaro {

/// How the files travel to the web server.
enum class UploadProtocol { Sftp, Ftps, Ftp };

/// How the user proves who they are to the server.
enum class UploadAuth { Password, Key, Agent };

/// Where a project's published files go: everything needed to reach the remote folder, and no secret.
struct UploadTarget {
    UploadProtocol protocol = UploadProtocol::Sftp;
    std::string host;
    int port = 0;       // 0: the protocol's own port
    std::string user;   // empty: "anonymous" for FTP, the login name of the system for SFTP
    std::string folder; // relative to the folder the login starts in; absolute when it starts with '/'
    UploadAuth auth = UploadAuth::Password;
    std::string keyFile; // the private key file for UploadAuth::Key

    bool operator==(const UploadTarget&) const = default;
};

/// Returns the protocol's name in URLs and options: "sftp", "ftps" or "ftp".
std::string protocolName(UploadProtocol protocol);

/// Returns the authentication kind's name in options: "password", "key" or "agent".
std::string authName(UploadAuth auth);

/// Returns the port the target's connection uses: its own, else 22 for SFTP and 21 for FTP and FTPS.
int effectivePort(const UploadTarget& target);

/// Reads a target from sftp://[user@]host[:port]/folder/, ftps://... or ftp://...: the path after the host
/// is the folder relative to the login folder, one that starts with a second '/' an absolute one, and
/// %XX escapes in user and folder are decoded. Throws VeskaroError saying what is wrong with the URL.
UploadTarget parseUploadUrl(const std::string& url);

/// Returns the URL that parseUploadUrl reads back as target's protocol, host, port, user and folder.
std::string uploadUrl(const UploadTarget& target);

/// Returns the target as project options (Upload.Protocol, Upload.Host, ...), leaving out each value that
/// is its default.
std::map<std::string, std::string> uploadOptionsOf(const UploadTarget& target);

/// Reads a target from project options, the Upload.* ones among them; missing ones keep their defaults.
/// Throws VeskaroError naming an option whose value is not one it can take.
UploadTarget uploadTargetFromOptions(const std::map<std::string, std::string>& options);

/// Tells whether the options name a target at all (an Upload.Host).
bool hasUploadTarget(const std::map<std::string, std::string>& options);

} // namespace veskaro
