// A stand-in for an outside tool: appends its whole command line to
// "tool-calls.txt" beside itself and, just before it ends, "ended". While a
// test holds the gate of its folder (tool_gate.h) it waits before it ends;
// a caller that does not wait for it therefore runs on before "ended". It
// ends with the number in "<its name>.exit" beside it, else with 0.

#include <windows.h>

#include <cstdio>
#include <string>

#include "tool_gate.h"

namespace {

void AppendLine(const std::string& path, const char* line)
{
    FILE* record = std::fopen(path.c_str(), "ab");
    if (record == nullptr)
        return;
    std::fprintf(record, "%s\n", line);
    std::fclose(record);
}

int ExitCodeFrom(const std::string& path)
{
    int code = 0;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return 0;
    if (std::fscanf(file, "%d", &code) != 1)
        code = 0;
    std::fclose(file);
    return code;
}

}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length < MAX_PATH ? length : 0);
    size_t slash = path.find_last_of('\\');
    size_t dot = path.find_last_of('.');
    if (slash == std::string::npos || dot == std::string::npos || dot < slash)
        return 1;
    std::string folder = path.substr(0, slash);
    AppendLine(folder + "\\tool-calls.txt", GetCommandLineA());
    HANDLE gate = OpenEventA(SYNCHRONIZE, FALSE, ToolGateName(folder).c_str());
    if (gate != nullptr) {
        WaitForSingleObject(gate, 60000);
        CloseHandle(gate);
    }
    int code = ExitCodeFrom(path.substr(0, dot) + ".exit");
    AppendLine(folder + "\\tool-calls.txt", "ended");
    return code;
}
