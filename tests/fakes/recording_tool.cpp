// A stand-in for an outside tool: appends its whole command line to
// "tool-calls.txt" beside itself and, just before it ends, "ended". While a
// test holds the event "tandrel-tool-gate:<its folder's name>" unset it
// waits before it ends (ToolFolder::HoldTools). It ends with the number in
// "<its name>.exit" beside it, else with 0. As the slot test, run with
// "/test:tdlN" and "/out:PATH", it copies "<its name>-tdlN.report" to PATH
// and takes the number in "<its name>-tdlN.exit" first.

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

void ReadExitCode(const std::string& path, int* code)
{
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        int read = 0;
        if (std::fscanf(file, "%d", &read) == 1)
            *code = read;
        std::fclose(file);
    }
}

// The text after `option` up to the first of `ends`, or empty.
std::string ArgumentValue(const std::string& commandLine, const char* option, const char* ends)
{
    size_t at = commandLine.find(option);
    if (at == std::string::npos)
        return std::string();
    at += std::string(option).size();
    return commandLine.substr(at, commandLine.find_first_of(ends, at) - at);
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
    std::string stem = path.substr(0, path.find_last_of('.'));
    int code = 0;
    ReadExitCode(stem + ".exit", &code);
    std::string slot = ArgumentValue(GetCommandLineA(), "/test:", " \"");
    std::string out = ArgumentValue(GetCommandLineA(), "/out:", "\"");
    if (!slot.empty()) {
        CopyFileA((stem + "-" + slot + ".report").c_str(), out.c_str(), FALSE);
        ReadExitCode(stem + "-" + slot + ".exit", &code);
    }
    AppendLine(folder, "ended");
    return code;
}
