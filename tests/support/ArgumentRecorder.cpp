// Stands in for a browser in the Windows shell tests: writes the arguments it was started with, one a line
// in UTF-8, to the file VESKARO_RECORD names, whole (written beside it, then renamed).
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

int main() {
    wchar_t record[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VESKARO_RECORD", record, MAX_PATH) == 0)
        return 2;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string text;
    for (int i = 1; i < count; ++i) {
        char line[4 * MAX_PATH] = {};
        WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, line, sizeof line, nullptr, nullptr);
        text += std::string(line) + "\n";
    }
    const std::wstring partial = std::wstring(record) + L".partial";
    std::FILE* file = _wfopen(partial.c_str(), L"wb");
    if (!file)
        return 3;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return MoveFileExW(partial.c_str(), record, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
