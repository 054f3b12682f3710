// Catches Ctrl+C with ConsoleInterrupt, sends it to its own new console and tells by its exit status
// whether the catch turned it into a request: 0 it did, 1 it did not, 77 the console could not send it.
// Its own process, because a console of its own would take the standard handles of the test program.
#include "platform/ConsoleInterrupt.h"

#include <windows.h>

int main() {
    FreeConsole();
    if (!AllocConsole())
        return 77;
    veskaro::ConsoleInterrupt interrupt;
    interrupt.setCaught(true);
    if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0))
        return 77;
    // The console's handlers run on a thread of their own: wait for it, within bounds.
    for (int wait = 0; wait < 500 && !veskaro::ConsoleInterrupt::requested(); ++wait)
        Sleep(10);
    return veskaro::ConsoleInterrupt::requested() ? 0 : 1;
}
