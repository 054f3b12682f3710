#include "upload/RemoteConnection.h"

#include "upload/FtpFolder.h"
#include "upload/SftpFolder.h"

namespace veskaro {

std::unique_ptr<RemoteFolder> openRemoteFolder(const UploadTarget& target, const ConnectOptions& options) {
    if (target.protocol == UploadProtocol::Sftp)
        return std::make_unique<SftpFolder>(target, options);
    return std::make_unique<FtpFolder>(target, options);
}

std::string remotePathOf(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace veskaro
