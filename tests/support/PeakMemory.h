#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

namespace veskaro::test {

/// Returns the peak memory of this process since its program started, in kB (0 where unknown). Unlike
/// getrusage, it does not count the copy of the parent process that ran before exec.
inline long peakMemoryKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

} // namespace veskaro::test
