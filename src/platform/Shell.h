#pragma once

#include <string>

namespace veskaro {

/// The desktop's launching service. Every call starts something the program does not wait for, and
/// none reports whether the start worked: a page that cannot be shown is the shell's business.
class Shell {
public:
    virtual ~Shell() = default;

    /// Opens a local file with the handler the desktop associates with it ("open"); tells whether the
    /// handler could be started.
    virtual bool openDocument(const std::string& path) = 0;
    /// Opens a web address with the desktop's handler for its scheme ("open"), usually the default browser;
    /// tells whether the handler could be started.
    virtual bool openAddress(const std::string& address) = 0;
    /// Starts a program detached, giving it exactly one argument, however many blanks that holds; tells
    /// whether it could be started.
    virtual bool startProgram(const std::string& program, const std::string& argument) = 0;
};

} // namespace veskaro
