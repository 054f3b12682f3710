#include "ui/KeychainSecretStore.h"

#include "platform/VeskaroError.h"
#include "ui/Utf8Text.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>

namespace veskaro {

namespace {

// The service every Veskaro secret is kept under; the target names the entry.
const QString kService = QStringLiteral("Veskaro upload");

// Runs a job to its end: the store answers through the event loop, which the window goes on painting in.
void runJob(QKeychain::Job& job, const std::string& target) {
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(fromUtf8Text(target));
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

[[noreturn]] void throwStoreError(const QKeychain::Job& job) {
    throw VeskaroError("the desktop's secret store refused: " + toUtf8Text(job.errorString()));
}

} // namespace

std::optional<std::string> KeychainSecretStore::get(const std::string& target) {
    QKeychain::ReadPasswordJob job(kService);
    runJob(job, target);
    if (job.error() != QKeychain::NoError)
        return std::nullopt;
    return toUtf8Text(job.textData());
}

void KeychainSecretStore::put(const std::string& target, const std::string& secret) {
    QKeychain::WritePasswordJob job(kService);
    job.setTextData(fromUtf8Text(secret));
    runJob(job, target);
    if (job.error() != QKeychain::NoError)
        throwStoreError(job);
}

void KeychainSecretStore::forget(const std::string& target) {
    QKeychain::DeletePasswordJob job(kService);
    runJob(job, target);
    // Where no store can be reached, nothing was ever kept there either.
    const QKeychain::Error error = job.error();
    if (error != QKeychain::NoError && error != QKeychain::EntryNotFound && error != QKeychain::NoBackendAvailable)
        throwStoreError(job);
}

} // namespace veskaro
