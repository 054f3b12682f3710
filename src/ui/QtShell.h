#pragma once

#include "platform/Shell.h"

namespace veskaro {

/// The desktop's launching service through Qt: the URL handler opens documents (xdg-open on Linux, the
/// shell's "open" on Windows) and programs are started detached, never waited for.
class QtShell : public Shell {
public:
    bool openDocument(const std::string& path) override;
    bool openAddress(const std::string& address) override;
    bool startProgram(const std::string& program, const std::string& argument) override;
};

} // namespace veskaro
