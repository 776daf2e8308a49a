#pragma once

#include <windows.h>

#include <utility>
#include <vector>

// A process this one started: a driver instance's host, or a program the
// demo runs. The object owns the process and thread handles until Close;
// Terminate ends the process and keeps the handles, so that its end can
// still be waited for.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Close(); }

    // Runs `commandLine` (the program's quoted path first) as `exePath`,
    // inheriting no handles.
    bool Start(const char* exePath, const char* commandLine);

    bool IsRunning() const;
    // True when the process ended within the time-out; its exit code goes to
    // `exitCode` when given.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    void Terminate();
    void Close();
    void Swap(ChildProcess& other) { std::swap(info_, other.info_); }

    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_ = {};
};

// The processes of `exeName` ("Tandrel64.exe") that this process started and
// that still run.
std::vector<DWORD> RunningChildrenNamed(const char* exeName);
