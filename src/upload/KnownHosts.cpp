#include "upload/KnownHosts.h"

#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#ifdef _WIN32
#include "platform/SpecialFolders.h"
#else
#include "platform/Xdg.h"
#endif

#include <filesystem>
#include <optional>
#include <sstream>
#include <vector>

namespace veskaro {

namespace {

struct Line {
    std::string kind;
    std::string server;
    std::string fingerprint;
};

std::optional<Line> lineOf(const std::string& text) {
    std::istringstream in(text);
    Line line;
    std::string rest;
    if (!(in >> line.kind >> line.server >> line.fingerprint) || (in >> rest))
        return std::nullopt;
    return line;
}

std::vector<std::string> linesOf(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return {};
    return readTextLines(path);
}

} // namespace

HostKeyVerdict KnownHosts::check(const std::string& kind, const std::string& server,
                                 const std::string& fingerprint) const {
    HostKeyVerdict verdict = HostKeyVerdict::Unknown;
    for (const std::string& text : linesOf(m_path)) {
        const std::optional<Line> line = lineOf(text);
        if (!line || line->kind != kind || line->server != server)
            continue;
        if (line->fingerprint == fingerprint)
            return HostKeyVerdict::Known;
        verdict = HostKeyVerdict::Changed;
    }
    return verdict;
}

std::optional<std::string> KnownHosts::remembered(const std::string& kind, const std::string& server) const {
    for (const std::string& text : linesOf(m_path)) {
        const std::optional<Line> line = lineOf(text);
        if (line && line->kind == kind && line->server == server)
            return line->fingerprint;
    }
    return std::nullopt;
}

void KnownHosts::remember(const std::string& kind, const std::string& server, const std::string& fingerprint) const {
    const HostKeyVerdict verdict = check(kind, server, fingerprint);
    if (verdict == HostKeyVerdict::Known)
        return;
    if (verdict == HostKeyVerdict::Changed)
        throw VeskaroError("The key of " + server + " differs from the one remembered in " + m_path +
                           "; it is not replaced.");
    std::vector<std::string> lines = linesOf(m_path);
    lines.push_back(kind + " " + server + " " + fingerprint);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), error);
    writeTextFileAtomically(m_path, lines);
}

std::string defaultKnownHostsFile() {
#ifdef _WIN32
    const std::string base = GetSpecialFolder(SpecialFolder::AppData);
    if (base.empty())
        throw VeskaroError("The configuration folder cannot be found, so no server key can be checked.");
    return base + "\\Tarnwell\\Veskaro\\1.0\\known_hosts";
#else
    const std::string base = xdg::configHome();
    if (base.empty())
        throw VeskaroError("The configuration folder cannot be found, so no server key can be checked: set HOME "
                           "or XDG_CONFIG_HOME.");
    return base + "/veskaro/known_hosts";
#endif
}

std::string serverName(const std::string& host, int port) {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

} // namespace veskaro
