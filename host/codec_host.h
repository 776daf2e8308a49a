#pragma once

#include <windows.h>

// The host-mode object: serves one client-driver instance.
class CCodecHost {
public:
    int Run(HINSTANCE instance, const char* slotName, const char* mappingName);
    void Release();
};

extern CCodecHost g_codecHost;
