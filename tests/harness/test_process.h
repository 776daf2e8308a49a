#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver/child_process.h"

// The folder of the running test program; every program of the build lies
// there too.
std::string TestBinDirectory();

// Full path of a program beside the test program, e.g. "Tandrel64.exe".
std::string BinPath(const char* fileName);

// The exit code of `exePath` run with `arguments` to its end, or -1 when it
// did not start or end within 20 s.
int RunToExit(const std::string& exePath, const std::string& arguments);

// The running processes named `exeName` (no folder) that the process
// `ancestor` started, directly or through running processes it started (an
// installer that runs a copy of itself, say). The caller keeps its handle
// to `ancestor` open, so that the id is not another process's meanwhile.
std::vector<DWORD> DescendantsNamed(DWORD ancestor, const char* exeName);

// A program started as a child process, for tests that drive it from outside.
// The destructor ends a child that is still running.
class TestProcess {
public:
    TestProcess() = default;
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;
    ~TestProcess() { Terminate(); }

    // Starts `exePath` with `arguments` (the text after the program name).
    bool Start(const std::string& exePath, const std::string& arguments);

    // True when the process ended within the time-out; its exit code goes to
    // `exitCode` when given.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr)
    {
        return process_.WaitForExit(timeoutMs, exitCode);
    }

    // Ends the process and forgets it.
    void Terminate();
    DWORD Id() const { return process_.Id(); }
    HANDLE Handle() const { return process_.Handle(); }

private:
    ChildProcess process_;
};
