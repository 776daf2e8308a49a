#include "test_process.h"

#include <vector>

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
    if (!process.Start(exePath, arguments) || !process.WaitForExit(20000, &exitCode))
        return -1;
    return static_cast<int>(exitCode);
}

TestProcess::~TestProcess()
{
    Terminate();
}

bool TestProcess::Start(const std::string& exePath, const std::string& arguments)
{
    Terminate();
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(exePath.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info_)
        != FALSE;
}

bool TestProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (info_.hProcess == nullptr || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

void TestProcess::Terminate()
{
    if (info_.hProcess == nullptr)
        return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = {};
}
