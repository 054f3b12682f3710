#include "upload/UploadTarget.h"

#include "platform/VeskaroError.h"

#include <charconv>
#include <optional>

namespace veskaro {

namespace {

constexpr const char* kProtocolOption = "Upload.Protocol";
constexpr const char* kHostOption = "Upload.Host";
constexpr const char* kPortOption = "Upload.Port";
constexpr const char* kUserOption = "Upload.User";
constexpr const char* kFolderOption = "Upload.Folder";
constexpr const char* kAuthOption = "Upload.Auth";
constexpr const char* kKeyFileOption = "Upload.KeyFile";

constexpr int kLargestPort = 65535;

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

std::string decodeEscapes(const std::string& text, const std::string& url) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded.push_back(text[i]);
            continue;
        }
        const int high = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = high < 0 ? -1 : hexValue(text[i + 2]);
        if (low < 0)
            throw VeskaroError("The upload address " + url + " holds a % that is not followed by two hex digits.");
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    for (const char c : decoded)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            throw VeskaroError("The upload address " + url + " holds a control character.");
    return decoded;
}

// Leaves letters, digits, -._~ and, in a folder, '/' as they are; everything else, UTF-8 too, is escaped.
std::string encodeEscapes(const std::string& text, bool keepSlashes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           (keepSlashes && c == '/');
        if (plain) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kDigits[byte >> 4]);
            encoded.push_back(kDigits[byte & 15]);
        }
    }
    return encoded;
}

UploadProtocol protocolNamed(const std::string& name, const std::string& subject) {
    for (const UploadProtocol protocol : {UploadProtocol::Sftp, UploadProtocol::Ftps, UploadProtocol::Ftp})
        if (protocolName(protocol) == name)
            return protocol;
    throw VeskaroError(subject + ": the protocol \"" + name + "\" is none of sftp, ftps and ftp.");
}

UploadAuth authNamed(const std::string& name) {
    for (const UploadAuth auth : {UploadAuth::Password, UploadAuth::Key, UploadAuth::Agent})
        if (authName(auth) == name)
            return auth;
    throw VeskaroError(std::string(kAuthOption) + ": \"" + name + "\" is none of password, key and agent.");
}

std::optional<int> portFrom(const std::string& text) {
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < 1 || port > kLargestPort)
        return std::nullopt;
    return port;
}

// The folder as the URL's path gives it: without the slash that ends the host, and without a trailing one.
std::string folderFromPath(const std::string& path) {
    std::string folder = path.substr(1);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

void splitHostAndPort(const std::string& authority, const std::string& url, UploadTarget& target) {
    std::string hostPort = authority;
    if (const std::size_t at = authority.rfind('@'); at != std::string::npos) {
        target.user = decodeEscapes(authority.substr(0, at), url);
        hostPort = authority.substr(at + 1);
    }
    std::size_t portColon = std::string::npos;
    if (!hostPort.empty() && hostPort.front() == '[') {
        const std::size_t close = hostPort.find(']');
        if (close == std::string::npos)
            throw VeskaroError("The upload address " + url + " opens a [ before the host that it does not close.");
        target.host = hostPort.substr(1, close - 1);
        if (close + 1 < hostPort.size()) {
            if (hostPort[close + 1] != ':')
                throw VeskaroError("The upload address " + url + " has text after the host's ].");
            portColon = close + 1;
        }
    } else {
        portColon = hostPort.rfind(':');
        target.host = hostPort.substr(0, portColon);
    }
    if (portColon != std::string::npos) {
        const std::optional<int> port = portFrom(hostPort.substr(portColon + 1));
        if (!port)
            throw VeskaroError("The upload address " + url + " has a port that is not a number from 1 to 65535.");
        target.port = *port;
    }
    if (target.host.empty())
        throw VeskaroError("The upload address " + url + " names no host.");
}

} // namespace

std::string protocolName(UploadProtocol protocol) {
    switch (protocol) {
    case UploadProtocol::Sftp:
        return "sftp";
    case UploadProtocol::Ftps:
        return "ftps";
    case UploadProtocol::Ftp:
        return "ftp";
    }
    return "sftp";
}

std::string authName(UploadAuth auth) {
    switch (auth) {
    case UploadAuth::Password:
        return "password";
    case UploadAuth::Key:
        return "key";
    case UploadAuth::Agent:
        return "agent";
    }
    return "password";
}

int effectivePort(const UploadTarget& target) {
    if (target.port != 0)
        return target.port;
    return target.protocol == UploadProtocol::Sftp ? 22 : 21;
}

UploadTarget parseUploadUrl(const std::string& url) {
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos)
        throw VeskaroError("The upload address " + url +
                           " is no URL: write sftp://user@host/folder/, "
                           "ftps://user@host/folder/ or ftp://user@host/folder/.");
    UploadTarget target;
    std::string scheme = url.substr(0, schemeEnd);
    for (char& c : scheme)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    target.protocol = protocolNamed(scheme, "The upload address " + url);
    const std::string rest = url.substr(schemeEnd + 3);
    const std::size_t pathStart = rest.find('/');
    splitHostAndPort(rest.substr(0, pathStart), url, target);
    if (pathStart != std::string::npos)
        target.folder = decodeEscapes(folderFromPath(rest.substr(pathStart)), url);
    if (target.folder.find('?') != std::string::npos || target.folder.find('#') != std::string::npos)
        throw VeskaroError("The upload address " + url + " holds a query or fragment; escape ? and # as %3F and %23.");
    return target;
}

std::string uploadUrl(const UploadTarget& target) {
    std::string url = protocolName(target.protocol) + "://";
    if (!target.user.empty())
        url += encodeEscapes(target.user, false) + "@";
    url += target.host.find(':') != std::string::npos ? "[" + target.host + "]" : target.host;
    if (target.port != 0)
        url += ":" + std::to_string(target.port);
    url += "/" + encodeEscapes(target.folder, true);
    if (!target.folder.empty() && target.folder.back() != '/')
        url += "/";
    return url;
}

std::map<std::string, std::string> uploadOptionsOf(const UploadTarget& target) {
    const UploadTarget defaults;
    std::map<std::string, std::string> options;
    const auto add = [&options](const char* name, const std::string& value) {
        if (!value.empty())
            options[name] = value;
    };
    add(kProtocolOption, target.protocol == defaults.protocol ? "" : protocolName(target.protocol));
    add(kHostOption, target.host);
    add(kPortOption, target.port == 0 ? "" : std::to_string(target.port));
    add(kUserOption, target.user);
    add(kFolderOption, target.folder);
    add(kAuthOption, target.auth == defaults.auth ? "" : authName(target.auth));
    add(kKeyFileOption, target.keyFile);
    return options;
}

UploadTarget uploadTargetFromOptions(const std::map<std::string, std::string>& options) {
    const auto value = [&options](const char* name) {
        const auto found = options.find(name);
        return found == options.end() ? std::string() : found->second;
    };
    UploadTarget target;
    if (const std::string protocol = value(kProtocolOption); !protocol.empty())
        target.protocol = protocolNamed(protocol, kProtocolOption);
    target.host = value(kHostOption);
    if (const std::string port = value(kPortOption); !port.empty()) {
        const std::optional<int> number = portFrom(port);
        if (!number)
            throw VeskaroError(std::string(kPortOption) + ": \"" + port + "\" is not a number from 1 to 65535.");
        target.port = *number;
    }
    target.user = value(kUserOption);
    target.folder = value(kFolderOption);
    if (const std::string auth = value(kAuthOption); !auth.empty())
        target.auth = authNamed(auth);
    target.keyFile = value(kKeyFileOption);
    return target;
}

bool hasUploadTarget(const std::map<std::string, std::string>& options) {
    const auto found = options.find(kHostOption);
    return found != options.end() && !found->second.empty();
}

} // namespace veskaro
