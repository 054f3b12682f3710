// Uploads a slider of 24 pictures to an sshd of its own on 127.0.0.1: the first upload, one with nothing
// changed, one after a description edit (only the page and the manifest travel). Prints time and bytes.

#include "TestServers.h"

#include "upload/RemoteConnection.h"
#include "upload/Upload.h"

#include <chrono>
#include <cstdio>
#include <random>

using namespace veskaro;
using namespace veskaro::test;

namespace {

constexpr int kPictures = 24;
constexpr int kRuns = 3;

// Pictures of the size slider JPEGs have (60 to 180 KB), of bytes that do not compress.
std::vector<FileToUpload> writePublish(const TemporaryFolder& folder) {
    std::mt19937 random(7);
    std::vector<FileToUpload> files;
    for (int i = 0; i < kPictures; ++i) {
        std::string bytes(60000 + random() % 120000, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        const std::string name = "slider" + std::to_string(i) + ".jpg";
        writeBytes(folder / name, bytes);
        files.push_back({name, folder / name, false});
    }
    for (const char* name : {"jslib.js", "slidervsk.js", "Slider1.css"}) {
        writeBytes(folder / name, std::string(4000, 'x'));
        files.push_back({name, folder / name, false});
    }
    writeBytes(folder / "Demo.html", "<page> first description");
    files.push_back({"Demo.html", folder / "Demo.html", true});
    return files;
}

void measure(const char* what, const UploadTarget& target, const ConnectOptions& options,
             const std::vector<FileToUpload>& files) {
    SilentUploadProgress progress;
    const auto start = std::chrono::steady_clock::now();
    const std::unique_ptr<RemoteFolder> folder = openRemoteFolder(target, options);
    const UploadOutcome outcome = runUpload(*folder, files, {}, progress);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-22s %6.3f s  %9llu bytes  %2zu uploaded  %2zu unchanged\n", what, seconds,
                static_cast<unsigned long long>(outcome.bytesSent), outcome.plan.count(PlanAction::Upload),
                outcome.plan.count(PlanAction::Unchanged));
}

} // namespace

int main() {
    SshServer server;
    if (!server.ready()) {
        std::fprintf(stderr, "upload_bench: sshd %s\n", server.whyNotReady().c_str());
        return 1;
    }
    TemporaryFolder local;
    TemporaryFolder config;
    const std::vector<FileToUpload> files = writePublish(local);
    ConnectOptions options;
    options.knownHostsFile = config / "known_hosts";
    const std::string fingerprint = server.hostKeyFingerprint();
    options.trustNewKey = [&fingerprint](const std::string&, const std::string& shown) { return shown == fingerprint; };
    std::printf("%d pictures to sshd on 127.0.0.1 over SFTP (libssh), %d runs\n", kPictures, kRuns);
    for (int run = 1; run <= kRuns; ++run) {
        UploadTarget target;
        target.host = "127.0.0.1";
        target.port = server.port();
        target.user = "nobody";
        target.folder = (server.site() / ("run" + std::to_string(run))).string();
        target.auth = UploadAuth::Key;
        target.keyFile = server.key("user_ed25519");
        writeBytes(local / "Demo.html", "<page> first description");
        measure("first upload", target, options, files);
        measure("nothing changed", target, options, files);
        writeBytes(local / "Demo.html", "<page> an edited description " + std::to_string(run));
        measure("one description edit", target, options, files);
    }
    return 0;
}
