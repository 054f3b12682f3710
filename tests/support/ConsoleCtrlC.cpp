// Presses Ctrl+C at a console, as a user at the keyboard does, while a program works there. Makes a console
// of its own, starts the program in it (its standard error into ERRFILE, its standard output into OUTFILE),
// waits until ERRFILE holds TEXT and sends Ctrl+C to every process of the console, itself ignoring it.
// Its exit status is the program's once Ctrl+C was sent; 77 when this system's console cannot send it,
// 124 when the program never wrote TEXT or never ended, 125 when it could not be started or for a usage
// error.
//
//   veskaro_console_ctrl_c TEXT ERRFILE OUTFILE PROGRAM [ARGUMENT...]
#include "platform/PathText.h"
#include "platform/WindowsShell.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

HANDLE inheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(veskaro::wideText(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool holds(const std::string& path, const std::string& text) {
    std::ifstream file(veskaro::pathOf(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return bytes.find(text) != std::string::npos;
}

BOOL WINAPI outlast(DWORD) {
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5)
        return 125;
    const std::string text = argv[1];
    const std::string errFile = argv[2];
    std::string line;
    for (int i = 4; i < argc; ++i)
        line += (line.empty() ? "" : " ") + veskaro::WindowsShell::quotedArgument(argv[i]);

    FreeConsole();
    if (!AllocConsole())
        return 77;
    // A handler, not the ignoring of Ctrl+C, which the program would inherit.
    SetConsoleCtrlHandler(outlast, TRUE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdError = inheritableFile(errFile);
    startup.hStdOutput = inheritableFile(argv[3]);
    std::wstring wide = veskaro::wideText(line);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 125;
    CloseHandle(startup.hStdError);
    CloseHandle(startup.hStdOutput);
    bool sent = false;
    for (int wait = 0; wait < 3000 && !sent; ++wait) {
        if (holds(errFile, text))
            sent = GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
        else if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0)
            break;
    }
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        return 124;
    }
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    if (!sent)
        return holds(errFile, text) ? 77 : 124;
    return static_cast<int>(status);
}
