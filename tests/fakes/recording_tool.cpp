// A stand-in for an outside tool: appends its whole command line to
// "tool-calls.txt" beside itself and, just before it ends, "ended". While a
// test holds the event "tandrel-tool-gate:<its folder's name>" unset it
// waits before it ends (ToolFolder::HoldTools). It ends with the number in
// "<its name>.exit" beside it, else with 0.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void AppendLine(const std::string& folder, const char* line)
{
    if (FILE* record = std::fopen((folder + "\\tool-calls.txt").c_str(), "ab")) {
        std::fprintf(record, "%s\n", line);
        std::fclose(record);
    }
}

}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    std::string folder = path.substr(0, path.find_last_of('\\'));
    AppendLine(folder, GetCommandLineA());
    std::string gate = "tandrel-tool-gate:" + folder.substr(folder.find_last_of('\\') + 1);
    if (HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, gate.c_str())) {
        WaitForSingleObject(event, 60000);
        CloseHandle(event);
    }
    int code = 0;
    if (FILE* file = std::fopen((path.substr(0, path.find_last_of('.')) + ".exit").c_str(), "rb")) {
        if (std::fscanf(file, "%d", &code) != 1)
            code = 0;
        std::fclose(file);
    }
    AppendLine(folder, "ended");
    return code;
}
