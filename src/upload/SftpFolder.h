#pragma once

#include "upload/RemoteConnection.h"

#include <memory>

namespace veskaro {

/// A remote folder over SFTP, through libssh: one SSH session and its SFTP channel.
class SftpFolder : public RemoteFolder {
public:
    /// Connects, checks the host key against the known hosts and logs in as RemoteConnection.h tells.
    SftpFolder(const UploadTarget& target, const ConnectOptions& options);
    ~SftpFolder() override;
    SftpFolder(const SftpFolder&) = delete;
    SftpFolder& operator=(const SftpFolder&) = delete;

    void makeFolder() override;
    std::vector<RemoteEntry> list() override;
    std::optional<std::string> read(const std::string& name, std::size_t limit) override;
    void put(const std::string& localPath, const std::string& name, const TransferCallback& sent) override;
    void rename(const std::string& from, const std::string& to) override;
    void remove(const std::string& name) override;
    /// libssh 0.10's sftp_rename sends the plain SFTP rename, which OpenSSH refuses onto an existing file,
    /// and its interface reaches no posix-rename@openssh.com: the upload moves the old file aside instead.
    bool renamesOver() const override { return false; }

private:
    struct Session;

    void checkHostKey(const ConnectOptions& options);
    void logIn(const ConnectOptions& options);
    void logInWithKey(const ConnectOptions& options);
    [[noreturn]] void fail(const std::string& what) const;
    std::string pathOf(const std::string& name) const;

    UploadTarget m_target;
    std::uint64_t m_bytesPerSecond = 0;
    std::unique_ptr<Session> m_session;
    std::size_t m_pieceBytes = 0;
};

} // namespace veskaro
