#include "host/host_wnd_proc.h"

#include "host/codec_host.h"

LRESULT CALLBACK HostWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    CCodecHost* host = reinterpret_cast<CCodecHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    return host->OnMessage(window, message, wParam, lParam);
}
