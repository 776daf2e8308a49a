#include "driver/child_process.h"

#include <tlhelp32.h>

#include <cstring>
#include <vector>

bool ChildProcess::Start(const char* exePath, const char* commandLine)
{
    Close();
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exePath, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info_)) {
        info_ = {};
        return false;
    }
    return true;
}

bool ChildProcess::IsRunning() const
{
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const
{
    if (info_.hProcess == nullptr || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

void ChildProcess::Terminate()
{
    if (IsRunning()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

void ChildProcess::Close()
{
    if (info_.hThread != nullptr)
        CloseHandle(info_.hThread);
    if (info_.hProcess != nullptr)
        CloseHandle(info_.hProcess);
    info_ = {};
}

std::vector<DWORD> RunningChildrenNamed(const char* exeName)
{
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != GetCurrentProcessId() || lstrcmpiA(entry.szExeFile, exeName) != 0)
            continue;
        // An ended process stays in the list while a handle to it is open.
        HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (child != nullptr && WaitForSingleObject(child, 0) == WAIT_TIMEOUT)
            children.push_back(entry.th32ProcessID);
        if (child != nullptr)
            CloseHandle(child);
    }
    CloseHandle(snapshot);
    return children;
}
