#include "upload/FtpFolder.h"

#include "upload/KnownHosts.h"

#include "platform/VeskaroError.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>
#include <sstream>

namespace veskaro {

namespace {

constexpr const char* kPinPrefix = "sha256//";
constexpr const char* kFingerprintPrefix = "SHA256:";
// The pin of no certificate: a handshake against it fails, and curl tells the key it found meanwhile.
constexpr const char* kImpossiblePin = "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";
constexpr const char* kHashReport = "public key hash: sha256//";
constexpr long kStalledSeconds = 60;
constexpr std::size_t kLargestListing = std::size_t(64) << 20;

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string trimmedLine(const char* data, std::size_t size) {
    std::string line(data, size);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// The pin's base64 ends in '=' for a 32-byte digest; fingerprints are shown without it, as SSH shows them.
std::string fingerprintOfPin(const std::string& pin) {
    std::string fingerprint = kFingerprintPrefix + pin.substr(std::char_traits<char>::length(kPinPrefix));
    while (!fingerprint.empty() && fingerprint.back() == '=')
        fingerprint.pop_back();
    return fingerprint;
}

std::string pinOfFingerprint(const std::string& fingerprint) {
    return kPinPrefix + fingerprint.substr(std::char_traits<char>::length(kFingerprintPrefix)) + "=";
}

struct CurlList {
    curl_slist* list = nullptr;
    ~CurlList() { curl_slist_free_all(list); }
    void add(const std::string& line) { list = curl_slist_append(list, line.c_str()); }
};

std::size_t appendTo(char* data, std::size_t size, std::size_t count, void* user);
int reportProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent);

struct Reading {
    std::string bytes;
    std::size_t limit = 0;
};

std::size_t appendTo(char* data, std::size_t size, std::size_t count, void* user) {
    auto* reading = static_cast<Reading*>(user);
    if (reading->bytes.size() + size * count > reading->limit)
        return 0;
    reading->bytes.append(data, size * count);
    return size * count;
}

int reportProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent) {
    const auto* callback = static_cast<const TransferCallback*>(user);
    return (*callback)(static_cast<std::uint64_t>(sent)) ? 0 : 1;
}

std::size_t readFrom(char* buffer, std::size_t size, std::size_t count, void* user) {
    return std::fread(buffer, size, count, static_cast<std::FILE*>(user));
}

std::string escapedPath(CURL* curl, const std::string& path) {
    std::string escaped;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        char* segment = curl_easy_escape(curl, path.data() + start, static_cast<int>(end - start));
        escaped += segment ? segment : "";
        curl_free(segment);
        if (end == path.size())
            break;
        escaped += '/';
        start = end + 1;
    }
    return escaped;
}

} // namespace

struct FtpFolder::Handle {
    CURL* curl = nullptr;
    std::string server;
    std::string root; // ftp://host:port/
    std::string user;
    std::string password;
    bool tls = false;
    std::string pin;
    std::uint64_t bytesPerSecond = 0;
    long timeoutSeconds = 30;
    std::string lastReply;
    std::string reportedPin;
    bool withoutMlsd = false;
    Reading listed;
    char errorWords[CURL_ERROR_SIZE] = {};

    ~Handle() {
        if (curl)
            curl_easy_cleanup(curl);
    }

    // Every operation starts from the same options; curl_easy_reset keeps the connection open.
    void prepare(const std::string& url) {
        curl_easy_reset(curl);
        lastReply.clear();
        errorWords[0] = '\0';
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorWords);
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
        // The window runs uploads off its own thread: libcurl must not use signals for its timeouts.
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeoutSeconds);
        curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeoutSeconds);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
        // Paths go whole with each command, so the connection's working folder never matters.
        curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &Handle::onDebug);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
        if (tls) {
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            if (!pin.empty()) {
                // The remembered key stands in for an authority's signature.
                curl_easy_setopt(curl, CURLOPT_PINNEDPUBLICKEY, pin.c_str());
                curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
                curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
            }
        }
    }

    // Keeps the server's last reply for the error message; what the client sends (the password among it)
    // is never looked at.
    static int onDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
        auto* handle = static_cast<Handle*>(user);
        if (type == CURLINFO_HEADER_IN) {
            const std::string line = trimmedLine(data, size);
            if (!line.empty())
                handle->lastReply = line;
        } else if (type == CURLINFO_TEXT) {
            const std::string line = trimmedLine(data, size);
            if (const std::size_t at = line.find(kHashReport); at != std::string::npos)
                handle->reportedPin = kPinPrefix + line.substr(at + std::char_traits<char>::length(kHashReport));
        }
        return 0;
    }

    CURLcode perform() { return curl_easy_perform(curl); }

    // The server's reply when it refused something, else curl's account; without a closing period, since
    // the message ends in one.
    std::string wordsFor(CURLcode code) const {
        std::string words;
        if (!lastReply.empty() && (lastReply.front() == '4' || lastReply.front() == '5'))
            words = lastReply;
        else
            words = errorWords[0] ? std::string(errorWords) : std::string(curl_easy_strerror(code));
        while (!words.empty() && (words.back() == '.' || words.back() == ' '))
            words.pop_back();
        return words;
    }

    [[noreturn]] void fail(const std::string& what, CURLcode code) const {
        if (code == CURLE_LOGIN_DENIED)
            throw VeskaroError("The server " + server + " refused the login of " + user + ": " + wordsFor(code) + ".");
        if (code == CURLE_USE_SSL_FAILED)
            throw VeskaroError("The server " + server +
                               " will not start TLS, and an ftps:// upload never sends the password unencrypted: " +
                               wordsFor(code) + ".");
        throw VeskaroError(what + ": " + wordsFor(code) + ".");
    }

    void run(const std::string& what) {
        if (const CURLcode code = perform(); code != CURLE_OK)
            fail(what, code);
    }

    void connect() {
        prepare(root);
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        run("The connection to " + server + " failed");
    }

    // The key of a certificate that did not pass: found by a handshake against a pin that no key has.
    std::string fingerprintOfServer() {
        const std::string remembered = pin;
        pin = kImpossiblePin;
        prepare(root);
        pin = remembered;
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
        reportedPin.clear();
        perform();
        if (reportedPin.empty())
            throw VeskaroError("The certificate of " + server + " cannot be read.");
        return fingerprintOfPin(reportedPin);
    }

    // Lists the folder url with command (MLSD, LIST) into listed.
    CURLcode list(const std::string& url, const char* command) {
        prepare(url);
        listed = {"", kLargestListing};
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, command);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendTo);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &listed);
        return perform();
    }

    void quote(const std::vector<std::string>& commands, const std::string& what) {
        prepare(root);
        CurlList list;
        for (const std::string& command : commands)
            list.add(command);
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(curl, CURLOPT_QUOTE, list.list);
        run(what);
    }
};

FtpFolder::FtpFolder(const UploadTarget& target, const ConnectOptions& options)
    : m_target(target), m_handle(std::make_unique<Handle>()) {
    initialiseCurlOnce();
    m_handle->curl = curl_easy_init();
    if (!m_handle->curl)
        throw VeskaroError("An FTP connection cannot be made: out of memory.");
    const int port = effectivePort(target);
    m_handle->server = serverName(target.host, port);
    m_handle->root = "ftp://" + (target.host.find(':') != std::string::npos ? "[" + target.host + "]" : target.host) +
                     ":" + std::to_string(port) + "/";
    m_handle->tls = target.protocol == UploadProtocol::Ftps;
    m_handle->bytesPerSecond = options.bytesPerSecond;
    m_handle->timeoutSeconds = options.timeoutSeconds;
    m_handle->user = target.user.empty() ? "anonymous" : target.user;
    if (!target.user.empty()) {
        const std::optional<std::string> password =
            options.askSecret ? options.askSecret("Password for " + target.user + "@" + target.host + ": ")
                              : std::nullopt;
        if (!password)
            throw VeskaroError("No password was given for " + target.user + "@" + target.host + ".");
        m_handle->password = *password;
    }
    if (m_handle->tls)
        trustCertificate(options);
    else
        m_handle->connect();
}

FtpFolder::~FtpFolder() = default;

void FtpFolder::trustCertificate(const ConnectOptions& options) {
    const KnownHosts known(options.knownHostsFile);
    const std::string& server = m_handle->server;
    if (const std::optional<std::string> fingerprint = known.remembered("tls", server))
        m_handle->pin = pinOfFingerprint(*fingerprint);
    m_handle->prepare(m_handle->root);
    curl_easy_setopt(m_handle->curl, CURLOPT_NOBODY, 1L);
    const CURLcode code = m_handle->perform();
    if (code == CURLE_OK)
        return;
    if (code == CURLE_SSL_PINNEDPUBKEYNOTMATCH)
        throw VeskaroError("The certificate of " + server + " has CHANGED since it was trusted: its key is now " +
                           m_handle->fingerprintOfServer() +
                           ". Someone may be listening in, or the server was set up anew. Nothing was sent. If the "
                           "change is expected, remove the line of " +
                           server + " from " + known.path() + ".");
    if (code != CURLE_PEER_FAILED_VERIFICATION)
        m_handle->fail("The connection to " + server + " failed", code);
    const std::string why = m_handle->wordsFor(code);
    const std::string fingerprint = m_handle->fingerprintOfServer();
    if (!options.trustNewKey || !options.trustNewKey(server, fingerprint))
        throw VeskaroError("The certificate of " + server + " is not one this system trusts (" + why +
                           "): its key has the fingerprint " + fingerprint + ". Nothing was sent.");
    known.remember("tls", server, fingerprint);
    m_handle->pin = pinOfFingerprint(fingerprint);
    m_handle->connect();
}

std::string FtpFolder::folderUrl() const {
    return m_handle->root + escapedPath(m_handle->curl, m_target.folder) + (m_target.folder.empty() ? "" : "/");
}

std::string FtpFolder::fileUrl(const std::string& name) const {
    return folderUrl() + escapedPath(m_handle->curl, name);
}

void FtpFolder::makeFolder() {
    const std::string& folder = m_target.folder;
    std::vector<std::string> commands;
    for (std::size_t end = folder.find('/', 1); !folder.empty(); end = folder.find('/', end + 1)) {
        // A level that is there already refuses MKD; "*" lets the next command go on all the same.
        commands.push_back("*MKD " + folder.substr(0, end));
        if (end == std::string::npos)
            break;
    }
    if (!commands.empty())
        m_handle->quote(commands, "The folder " + folder + " cannot be made");
}

std::vector<RemoteEntry> FtpFolder::list() {
    const std::string what = "The folder " + m_target.folder + " cannot be listed";
    if (!m_handle->withoutMlsd) {
        const CURLcode code = m_handle->list(folderUrl(), "MLSD");
        if (code == CURLE_OK)
            return parseMlsdListing(m_handle->listed.bytes);
        // 500 and 502: the server does not know MLSD (vsftpd among them); its LIST says the same less exactly.
        if (!m_handle->lastReply.starts_with("500") && !m_handle->lastReply.starts_with("502"))
            m_handle->fail(what, code);
        m_handle->withoutMlsd = true;
    }
    if (const CURLcode code = m_handle->list(folderUrl(), "LIST"); code != CURLE_OK)
        m_handle->fail(what, code);
    return parseListListing(m_handle->listed.bytes);
}

std::optional<std::string> FtpFolder::read(const std::string& name, std::size_t limit) {
    m_handle->prepare(fileUrl(name));
    Reading reading{"", limit};
    curl_easy_setopt(m_handle->curl, CURLOPT_WRITEFUNCTION, appendTo);
    curl_easy_setopt(m_handle->curl, CURLOPT_WRITEDATA, &reading);
    const CURLcode code = m_handle->perform();
    if (code == CURLE_REMOTE_FILE_NOT_FOUND)
        return std::nullopt;
    if (code == CURLE_WRITE_ERROR)
        throw VeskaroError("The file " + name + " is larger than " + std::to_string(limit) + " bytes.");
    if (code != CURLE_OK)
        m_handle->fail("The file " + name + " cannot be read", code);
    return reading.bytes;
}

void FtpFolder::put(const std::string& localPath, const std::string& name, const TransferCallback& sent) {
    std::FILE* file = std::fopen(localPath.c_str(), "rb");
    if (!file)
        throw VeskaroError("The file " + localPath + " cannot be read.");
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    CURL* curl = m_handle->curl;
    m_handle->prepare(fileUrl(name));
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readFrom);
    curl_easy_setopt(curl, CURLOPT_READDATA, file);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, reportProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &sent);
    if (m_handle->bytesPerSecond > 0)
        curl_easy_setopt(curl, CURLOPT_MAX_SEND_SPEED_LARGE, static_cast<curl_off_t>(m_handle->bytesPerSecond));
    const CURLcode code = m_handle->perform();
    std::fclose(file);
    if (code == CURLE_ABORTED_BY_CALLBACK)
        throw VeskaroError(kUploadStoppedMessage);
    if (code != CURLE_OK)
        m_handle->fail("The file " + name + " cannot be written", code);
}

void FtpFolder::rename(const std::string& from, const std::string& to) {
    m_handle->quote({"RNFR " + remotePathOf(m_target.folder, from), "RNTO " + remotePathOf(m_target.folder, to)},
                    "The file " + from + " cannot be renamed to " + to);
}

void FtpFolder::remove(const std::string& name) {
    m_handle->quote({"DELE " + remotePathOf(m_target.folder, name)}, "The file " + name + " cannot be removed");
}

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The text after the first count fields separated by blanks; the name, which may hold blanks itself.
std::optional<std::string> textAfterFields(const std::string& line, int count, std::vector<std::string>& fields) {
    std::size_t at = 0;
    for (int i = 0; i < count; ++i) {
        const std::size_t start = line.find_first_not_of(' ', at);
        if (start == std::string::npos)
            return std::nullopt;
        at = line.find(' ', start);
        if (at == std::string::npos)
            return std::nullopt;
        fields.push_back(line.substr(start, at - start));
    }
    const std::size_t name = line.find_first_not_of(' ', at);
    if (name == std::string::npos)
        return std::nullopt;
    return line.substr(name);
}

bool isNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<RemoteEntry> unixEntryOf(const std::string& line) {
    std::vector<std::string> fields;
    const std::optional<std::string> name = textAfterFields(line, 8, fields);
    if (!name || fields[0].size() < 10 || !isNumber(fields[4]))
        return std::nullopt;
    const char type = fields[0][0];
    // A link shows "name -> target"; the upload never writes links, so the name is enough.
    const std::string plain = type == 'l' ? name->substr(0, name->find(" -> ")) : *name;
    return RemoteEntry{plain, std::strtoull(fields[4].c_str(), nullptr, 10), type == '-'};
}

std::optional<RemoteEntry> dosEntryOf(const std::string& line) {
    std::vector<std::string> fields;
    const std::optional<std::string> name = textAfterFields(line, 3, fields);
    if (!name || fields[0].find('-') == std::string::npos)
        return std::nullopt;
    if (fields[2] == "<DIR>")
        return RemoteEntry{*name, 0, false};
    if (!isNumber(fields[2]))
        return std::nullopt;
    return RemoteEntry{*name, std::strtoull(fields[2].c_str(), nullptr, 10), true};
}

} // namespace

std::vector<RemoteEntry> parseListListing(const std::string& text) {
    std::vector<RemoteEntry> entries;
    for (const std::string& line : linesOf(text)) {
        std::optional<RemoteEntry> entry = unixEntryOf(line);
        if (!entry)
            entry = dosEntryOf(line);
        if (entry && entry->name != "." && entry->name != "..")
            entries.push_back(*entry);
    }
    return entries;
}

std::vector<RemoteEntry> parseMlsdListing(const std::string& text) {
    std::vector<RemoteEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t space = line.find(' ');
        if (space == std::string::npos || space + 1 >= line.size())
            continue;
        RemoteEntry entry{line.substr(space + 1), 0, false};
        std::string facts = line.substr(0, space);
        if (facts.empty() || facts.back() != ';' || facts.find('=') == std::string::npos)
            continue;
        for (char& c : facts)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        if (facts.find("type=cdir;") != std::string::npos || facts.find("type=pdir;") != std::string::npos)
            continue;
        entry.isFile = facts.starts_with("type=file;") || facts.find(";type=file;") != std::string::npos;
        if (const std::size_t size = facts.find("size=");
            size != std::string::npos && (size == 0 || facts[size - 1] == ';'))
            entry.size = std::strtoull(facts.c_str() + size + 5, nullptr, 10);
        entries.push_back(entry);
    }
    return entries;
}

} // namespace veskaro
