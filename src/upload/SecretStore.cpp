#include "upload/SecretStore.h"

#include "upload/UploadTarget.h"

namespace veskaro {

std::optional<std::string> MemorySecretStore::get(const std::string& target) {
    const auto found = m_secrets.find(target);
    return found == m_secrets.end() ? std::nullopt : std::optional<std::string>(found->second);
}

void MemorySecretStore::put(const std::string& target, const std::string& secret) {
    m_secrets[target] = secret;
}

void MemorySecretStore::forget(const std::string& target) {
    m_secrets.erase(target);
}

std::string secretTargetOf(const UploadTarget& target) {
    UploadTarget login = target;
    login.folder.clear();
    login.port = effectivePort(target);
    std::string url = uploadUrl(login);
    url.pop_back(); // the folder's slash
    return url;
}

} // namespace veskaro
