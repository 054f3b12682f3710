#pragma once

#include <map>
#include <optional>
#include <string>

namespace veskaro {

/// Keeps passwords for upload targets outside every file of the program (the desktop's secret store in
/// the window); targets are named by secretTargetOf.
class SecretStore {
public:
    virtual ~SecretStore() = default;
    /// Returns the secret kept for target, or nothing.
    virtual std::optional<std::string> get(const std::string& target) = 0;
    /// Keeps secret for target, replacing an earlier one.
    virtual void put(const std::string& target, const std::string& secret) = 0;
    /// Forgets the secret of target, if any.
    virtual void forget(const std::string& target) = 0;
};

/// Keeps secrets in memory only, for as long as it lives.
class MemorySecretStore : public SecretStore {
public:
    std::optional<std::string> get(const std::string& target) override;
    void put(const std::string& target, const std::string& secret) override;
    void forget(const std::string& target) override;

private:
    std::map<std::string, std::string> m_secrets;
};

struct UploadTarget;

/// Returns the name a secret store keeps the target's password under: protocol, user, host and port, as
/// in "sftp://anna@example.com:22"; the folder does not count, since one login reaches them all.
std::string secretTargetOf(const UploadTarget& target);

} // namespace veskaro
