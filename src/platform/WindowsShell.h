#pragma once

#ifdef _WIN32

#include "platform/Shell.h"

namespace veskaro {

/// The desktop's launching service on Windows: the shell's execute service (ShellExecute), shown
/// normally, with no working folder given.
class WindowsShell : public Shell {
public:
    /// The verb "open" on the file.
    bool openDocument(const std::string& path) override;
    /// The verb "open" on the address.
    bool openAddress(const std::string& address) override;
    /// The shell's default action on the program, with the argument as its whole parameter text, quoted
    /// where it holds blanks so that it stays one argument.
    bool startProgram(const std::string& program, const std::string& argument) override;

    /// Returns text as one argument of a Windows command line, as the C runtime splits command lines.
    static std::string quotedArgument(const std::string& text);
};

} // namespace veskaro

#endif
