#include "platform/ConsoleInterrupt.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace veskaro {

namespace {

// Lock-free, so that the signal handler may set it; on Windows the console's handler runs on a thread
// of its own.
std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

#ifdef _WIN32

BOOL WINAPI noteControlEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE; // closing the console or logging off still ends the process
    g_requested = true;
    return TRUE;
}

void catchInterrupts() {
    SetConsoleCtrlHandler(noteControlEvent, TRUE);
}

void releaseInterrupts() {
    SetConsoleCtrlHandler(noteControlEvent, FALSE);
}

// What the system's own handling of Ctrl+C ends a process with; raising SIGINT in the C runtime ends it
// with 3, which a script cannot tell from a program's own status.
[[noreturn]] void endInterrupted() {
    std::fflush(nullptr);
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

#else

struct sigaction g_previous {};

extern "C" void noteInterrupt(int) {
    g_requested = true;
}

void catchInterrupts() {
    struct sigaction noting {};
    noting.sa_handler = noteInterrupt;
    sigemptyset(&noting.sa_mask);
    sigaction(SIGINT, &noting, &g_previous);
    if (g_previous.sa_handler == SIG_IGN)
        sigaction(SIGINT, &g_previous, nullptr);
}

void releaseInterrupts() {
    sigaction(SIGINT, &g_previous, nullptr);
}

// The exit is never reached: the default action of SIGINT ends the process.
[[noreturn]] void endInterrupted() {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
    std::_Exit(128 + SIGINT);
}

#endif

} // namespace

ConsoleInterrupt::~ConsoleInterrupt() {
    setCaught(false);
}

void ConsoleInterrupt::setCaught(bool caught) {
    if (caught == m_caught)
        return;
    m_caught = caught;
    if (caught)
        catchInterrupts();
    else
        releaseInterrupts();
}

bool ConsoleInterrupt::requested() {
    return g_requested;
}

void ConsoleInterrupt::endProcessAsInterrupted() {
    endInterrupted();
}

} // namespace veskaro
