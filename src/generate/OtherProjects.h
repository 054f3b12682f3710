#pragma once

#include <string>
#include <vector>

namespace veskaro {

class TkvlAppletAgent;

/// Returns, one sentence each, the other projects published into folder (ending in the delimiter) whose
/// pictures publishing the project there under fileName would replace: each names that project's page and
/// the pictures. Other projects are known by their publish reports, named after another project file.
std::vector<std::string> replacedProjects(const TkvlAppletAgent& project, const std::string& folder,
                                          const std::string& fileName);

} // namespace veskaro
