// The entry point of TandrelDrv64.dll, the 64-bit client driver that the
// system loads for the slots vidc.tdl0 to vidc.tdl9.

#include <windows.h>
#include <vfw.h>

#include "driver/driver_instance.h"
#include "driver/host_channel.h"
#include "driver/slot_config.h"
#include "driver/wait_limits.h"

namespace {

// Wine's driver loader, when an open is refused, frees its record of the
// driver a second time after unloading the module; with nothing unloaded in
// between, the second free finds the record already free and does no harm
// to the program. So a driver that refuses an open stays loaded from then
// on; one that never refuses unloads normally (and an uninstaller can
// remove it while the program runs on).
void StayLoaded()
{
    HMODULE self;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&StayLoaded), &self);
}

// The first open comes without an ICOPEN and must succeed; an open of a
// slot is refused when the slot is switched off, names no codec or has no
// host program beside the driver. No host starts here.
LRESULT OpenInstance(ICOPEN* open)
{
    if (open == nullptr)
        return reinterpret_cast<LRESULT>(new DriverInstance(kNoSlot, 0));
    int slot = SlotFromFourCC(open->fccHandler);
    char hostExe[MAX_PATH];
    if (slot == kNoSlot || !SlotServes(slot) || !FindHostExe(hostExe)) {
        StayLoaded();
        open->dwError = static_cast<DWORD>(ICERR_UNSUPPORTED);
        return 0;
    }
    open->dwError = ICERR_OK;
    return reinterpret_cast<LRESULT>(new DriverInstance(slot, TimeoutSeconds(ReadTimeoutSetting())));
}

}

extern "C" LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM lParam1, LPARAM lParam2)
{
    DriverInstance* instance = reinterpret_cast<DriverInstance*>(id);
    switch (message) {
    case DRV_OPEN:
        return OpenInstance(reinterpret_cast<ICOPEN*>(lParam2));
    case DRV_CLOSE:
        delete instance;
        return 1;
    case DRV_QUERYCONFIGURE:
    case DRV_CONFIGURE:
        return instance != nullptr ? instance->OnMessage(message, lParam1, lParam2) : 0;
    default:
        if (message < ICM_USER)
            return DefDriverProc(id, driver, message, lParam1, lParam2);
        return instance != nullptr ? instance->OnMessage(message, lParam1, lParam2) : ICERR_UNSUPPORTED;
    }
}
