#include "maint/run_program.h"

#include <windows.h>
#include <shellapi.h>

namespace {

// The shell's process handle, or null when it could not start the program.
// A start that gives no process (the shell handed the file to a running
// program) also counts as started; its handle is then null too.
bool StartProgram(const char* program, const char* parameters, ULONG flags, HANDLE* process, ToolRun* failure)
{
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | flags;
    info.nShow = SW_SHOWNORMAL;
    info.lpFile = program;
    info.lpParameters = parameters;
    *process = nullptr;
    SetLastError(0);
    BOOL started = ShellExecuteExA(&info);
    DWORD error = GetLastError();
    long instApp = static_cast<long>(reinterpret_cast<INT_PTR>(info.hInstApp));
    if (!started || instApp <= 32) {
        *failure = ShellStartFailure(instApp, error);
        return false;
    }
    *process = info.hProcess;
    return true;
}

// A message that ends the thread's loop is handed back to that loop.
void WaitHandlingMessages(HANDLE process)
{
    bool quit = false;
    int quitCode = 0;
    while (MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(message.wParam);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (quit)
        PostQuitMessage(quitCode);
}

}

ToolRun RunAndWait(const char* program, const char* parameters)
{
    HANDLE process;
    ToolRun run;
    if (!StartProgram(program, parameters, SEE_MASK_FLAG_NO_UI, &process, &run))
        return run;
    run.kind = ToolRunKind::Ended;
    run.code = 0;
    if (process != nullptr) {
        WaitHandlingMessages(process);
        DWORD exitCode = 0;
        GetExitCodeProcess(process, &exitCode);
        run.code = exitCode;
        CloseHandle(process);
    }
    return run;
}

int RunNoWait(const char* program, const char* parameters)
{
    HANDLE process;
    ToolRun failure;
    if (!StartProgram(program, parameters, 0, &process, &failure))
        return 0;
    if (process != nullptr)
        CloseHandle(process);
    return 1;
}
