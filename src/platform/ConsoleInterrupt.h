#pragma once

namespace veskaro {

/// Turns Ctrl+C at the console into a request the program asks for, for as long as it is caught, instead
/// of the end of the process: SIGINT on POSIX systems, the console's Ctrl+C and Ctrl+Break on Windows.
/// One process catches it in one place at a time.
class ConsoleInterrupt {
public:
    ConsoleInterrupt() = default;
    /// Lets go of Ctrl+C when it is still caught.
    ~ConsoleInterrupt();
    ConsoleInterrupt(const ConsoleInterrupt&) = delete;
    ConsoleInterrupt& operator=(const ConsoleInterrupt&) = delete;

    /// Starts or stops catching Ctrl+C. A POSIX process that was started with SIGINT ignored (in the
    /// background of a script, under nohup) keeps ignoring it.
    void setCaught(bool caught);

    /// Tells whether Ctrl+C was pressed while it was caught, since the process started.
    static bool requested();

    /// Ends the process as Ctrl+C ends it where nothing catches it, so that the shell or script that
    /// started it learns that it was interrupted: by SIGINT on POSIX systems, with STATUS_CONTROL_C_EXIT
    /// on Windows. Buffered output is written first.
    [[noreturn]] static void endProcessAsInterrupted();

private:
    bool m_caught = false;
};

} // namespace veskaro
