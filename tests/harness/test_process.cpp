#include "test_process.h"

#include <cstdio>

std::string TestBinDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.find_last_of('\\'));
}

std::string BinPath(const char* fileName)
{
    return TestBinDirectory() + "\\" + fileName;
}

int RunToExit(const std::string& exePath, const std::string& arguments)
{
    TestProcess process;
    DWORD exitCode = 0;
    if (!process.Start(exePath, arguments)) {
        std::fprintf(stderr, "%s %s: CreateProcess failed with error %lu\n", exePath.c_str(), arguments.c_str(),
                     GetLastError());
        return -1;
    }
    if (!process.WaitForExit(20000, &exitCode)) {
        std::fprintf(stderr, "%s %s: still running after 20 s\n", exePath.c_str(), arguments.c_str());
        return -1;
    }
    return static_cast<int>(exitCode);
}

bool TestProcess::Start(const std::string& exePath, const std::string& arguments)
{
    Terminate();
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    return process_.Start(exePath.c_str(), commandLine.c_str());
}

void TestProcess::Terminate()
{
    process_.Terminate();
    process_.Close();
}
