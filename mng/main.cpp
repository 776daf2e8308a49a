// TandrelMng.exe: registers or unregisters the client driver under the ten
// slot names for the whole machine. No window: its exit code tells the
// result.

#include <windows.h>

#include "mng/slot_driver_registration.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return RunManager(GetCommandLineW());
}
