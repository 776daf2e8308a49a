#pragma once

#include <windows.h>

// The window procedure of the hidden host window: keeps the CCodecHost given
// at creation and forwards every message to it.
LRESULT CALLBACK HostWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
