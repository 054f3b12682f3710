#pragma once

#include <string>
#include <vector>

namespace veskaro {

/// Tells whether the command line asks for an upload: "upload PROJECT ..." or "publish PROJECT --upload ...".
bool isUploadCommand(const std::vector<std::string>& args);

/// Runs "upload" or "publish --upload" and returns the exit status: 0 done, 1 the upload (or its publish)
/// failed, 2 a usage error or a project that cannot be loaded.
int runUploadCommand(const std::vector<std::string>& args);

/// The help text of the upload command and of publish --upload.
extern const char* const kUploadHelp;

} // namespace veskaro
