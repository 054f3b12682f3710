#pragma once

#include "upload/SecretStore.h"

namespace veskaro {

/// Keeps upload passwords in the desktop's secret store through QtKeychain: the Secret Service on Linux,
/// the Credential Manager on Windows. Never falls back to a file. A store that cannot be reached reads as
/// holding nothing; keeping or forgetting a secret there throws VeskaroError with its reason.
class KeychainSecretStore : public SecretStore {
public:
    std::optional<std::string> get(const std::string& target) override;
    void put(const std::string& target, const std::string& secret) override;
    void forget(const std::string& target) override;
};

} // namespace veskaro
