#pragma once

#include "upload/RemoteConnection.h"

#include <memory>

namespace veskaro {

/// A remote folder over FTP or FTPS (explicit TLS, demanded before the login), through libcurl: one
/// handle whose connection every operation reuses.
class FtpFolder : public RemoteFolder {
public:
    /// Connects and logs in as RemoteConnection.h tells.
    FtpFolder(const UploadTarget& target, const ConnectOptions& options);
    ~FtpFolder() override;
    FtpFolder(const FtpFolder&) = delete;
    FtpFolder& operator=(const FtpFolder&) = delete;

    void makeFolder() override;
    std::vector<RemoteEntry> list() override;
    std::optional<std::string> read(const std::string& name, std::size_t limit) override;
    void put(const std::string& localPath, const std::string& name, const TransferCallback& sent) override;
    void rename(const std::string& from, const std::string& to) override;
    void remove(const std::string& name) override;
    /// FTP cannot tell; most servers replace a file on RNTO, and the upload moves it aside when one refuses.
    bool renamesOver() const override { return true; }

    struct Handle;

private:
    void trustCertificate(const ConnectOptions& options);
    std::string folderUrl() const;
    std::string fileUrl(const std::string& name) const;

    UploadTarget m_target;
    std::unique_ptr<Handle> m_handle;
};

/// Reads a LIST listing in the Unix form ("-rw-r--r-- 1 anna www 1234 Jan 01 12:00 name") or the DOS form
/// ("01-01-24  12:00PM  1234 name", "<DIR>" for a folder), for servers without MLSD; the folder's own
/// entries and lines it cannot read are passed over.
std::vector<RemoteEntry> parseListListing(const std::string& text);

/// Reads an MLSD listing ("type=file;size=12;modify=...; name" per line) into entries, passing over the
/// folder's own entries and lines it cannot read.
std::vector<RemoteEntry> parseMlsdListing(const std::string& text);

} // namespace veskaro
