#include "driver/message_pump_wait.h"

namespace {

struct PendingSend {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT answer;
};

DWORD WINAPI SendOnHelper(void* context)
{
    PendingSend* send = static_cast<PendingSend*>(context);
    send->answer = SendMessageA(send->window, send->message, send->wParam, send->lParam);
    return 0;
}

// Handles what waits in the queue; false once WM_QUIT was taken, with its
// exit code in `quitCode`.
bool HandleWaitingMessages(WPARAM* quitCode)
{
    bool quitTaken = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitTaken = true;
            *quitCode = message.wParam;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return !quitTaken;
}

}

bool SendKeepingMessagesFlowing(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer)
{
    PendingSend send = {window, message, wParam, lParam, 0};
    HANDLE helper = CreateThread(nullptr, 0, SendOnHelper, &send, 0, nullptr);
    if (helper == nullptr)
        return false;
    bool quitTaken = false;
    WPARAM quitCode = 0;
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjectsEx(1, &helper, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0 + 1) {
            quitTaken = !HandleWaitingMessages(&quitCode) || quitTaken;
            continue;
        }
        // The helper has ended, or the wait failed and only the helper's end
        // is left to wait for: `send` lives on this stack.
        if (woke != WAIT_OBJECT_0)
            WaitForSingleObject(helper, INFINITE);
        break;
    }
    CloseHandle(helper);
    if (quitTaken)
        PostQuitMessage(static_cast<int>(quitCode));
    *answer = send.answer;
    return true;
}

void WaitHandlingSentMessages(HANDLE event)
{
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_SENDMESSAGE, 0);
        if (woke != WAIT_OBJECT_0 + 1) {
            if (woke != WAIT_OBJECT_0)
                WaitForSingleObject(event, INFINITE);
            return;
        }
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Sent messages are handled in the order they came, so an empty one sent
// behind them returns only after them; this thread's own queue is handled
// at once.
void WaitForMessagesSentTo(HWND window)
{
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        SendMessageW(window, WM_NULL, 0, 0);
        return;
    }
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}
