#include "maint/run_program.h"

#include <windows.h>
#include <shellapi.h>

namespace {

// The shell's process handle, or null when it could not start the program.
// A start that gives no process (the shell handed the file to a running
// program) also counts as started; its handle is then null too.
bool StartProgram(const char* program, const char* parameters, HANDLE* process)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.nShow = SW_SHOWNORMAL;
    info.lpFile = program;
    info.lpParameters = parameters;
    *process = nullptr;
    if (!ShellExecuteExA(&info) || reinterpret_cast<INT_PTR>(info.hInstApp) <= 32)
        return false;
    *process = info.hProcess;
    return true;
}

}

int RunAndWait(const char* program, const char* parameters)
{
    HANDLE process;
    if (!StartProgram(program, parameters, &process))
        return 0;
    if (process != nullptr) {
        WaitForSingleObject(process, INFINITE);
        CloseHandle(process);
    }
    return 1;
}

int RunNoWait(const char* program, const char* parameters)
{
    HANDLE process;
    if (!StartProgram(program, parameters, &process))
        return 0;
    if (process != nullptr)
        CloseHandle(process);
    return 1;
}
