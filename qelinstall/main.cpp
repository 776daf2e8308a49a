// QelInstall32.exe: registers or unregisters one 32-bit video codec for the
// whole machine. No window: its exit code tells the result.

#include <windows.h>

#include "qelinstall/drivers32_registration.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RunInstaller(GetCommandLineW());
}
