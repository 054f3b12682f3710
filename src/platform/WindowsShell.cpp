#ifdef _WIN32

#include "platform/WindowsShell.h"

#include "platform/PathText.h"

#include <windows.h>

#include <shellapi.h>

namespace veskaro {

namespace {

// ShellExecute tells success by a value above 32; a page that cannot be shown is the shell's to report,
// the caller only learns whether anything started.
bool execute(const wchar_t* verb, const std::string& file, const std::string& parameters) {
    const std::wstring wideFile = wideText(file);
    const std::wstring wideParameters = wideText(parameters);
    const HINSTANCE result = ShellExecuteW(nullptr, verb, wideFile.c_str(),
                                           parameters.empty() ? nullptr : wideParameters.c_str(), nullptr,
                                           SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool WindowsShell::openDocument(const std::string& path) {
    return execute(L"open", path, "");
}

bool WindowsShell::openAddress(const std::string& address) {
    return execute(L"open", address, "");
}

bool WindowsShell::startProgram(const std::string& program, const std::string& argument) {
    return execute(nullptr, program, quotedArgument(argument));
}

// Quotes only where needed, so that a plain page path reaches the browser exactly as composed. Within
// quotes, backslashes are doubled only before a quote, as the runtime undoes it.
std::string WindowsShell::quotedArgument(const std::string& text) {
    if (!text.empty() && text.find_first_of(" \t\"") == std::string::npos)
        return text;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

} // namespace veskaro

#endif
