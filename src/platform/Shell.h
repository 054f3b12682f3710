#pragma once

#include <string>

namespace veskaro {

/// The desktop's launching service. Both calls start something the program does not wait for, and
/// neither reports whether the start worked: a page that cannot be shown is the shell's business.
class Shell {
public:
    virtual ~Shell() = default;

    /// Opens a local file with the handler the desktop associates with it ("open").
    virtual void openDocument(const std::string& path) = 0;
    /// Starts a program detached, giving it exactly one argument, however many blanks that holds.
    virtual void startProgram(const std::string& program, const std::string& argument) = 0;
};

} // namespace veskaro
