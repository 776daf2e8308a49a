// The entry point of TandrelDrv64.dll, the 64-bit client driver that the
// system loads for the slots vidc.tdl0 to vidc.tdl9.

#include <windows.h>
#include <vfw.h>

#include "catalogue/open_modes.h"
#include "driver/driver_instance.h"
#include "driver/driver_log.h"
#include "driver/host_channel.h"
#include "driver/idle_hosts.h"
#include "driver/instance_registry.h"
#include "driver/slot_config.h"
#include "driver/wait_limits.h"

namespace {

// The first open comes without an ICOPEN and must succeed. An open of a
// slot is refused when the slot is switched off, names no codec or has no
// host program beside the driver, for the draw mode, which the channel does
// not carry, and where the codec refuses the program's mode: as the
// configuration tool recorded it, or, for a slot without that record, as
// the host started for the instance finds it.
LRESULT OpenInstance(ICOPEN* open)
{
    if (open == nullptr)
        return static_cast<LRESULT>(AddInstance(new DriverInstance(kNoSlot, 0, 0, 0, "")));
    int slot = SlotFromFourCC(open->fccHandler);
    char hostExe[MAX_PATH];
    SlotOpenSettings settings = {0, 0, 1, ""};
    if (slot != kNoSlot)
        ReadSlotOpenSettings(slot, &settings);
    RecordedOpen recorded = RecordedOpenAnswer(settings.openModes, open->dwFlags);
    const char* refusal = slot == kNoSlot ? nullptr
        : settings.codec == 0   ? "ICOpen refused by the driver: the slot is switched off or has no codec"
        : open->dwFlags == ICMODE_DRAW ? "ICOpen refused by the driver: the slot does not draw (ICMODE_DRAW)"
        : recorded == RecordedOpen::Refuses
        ? "ICOpen refused by the driver: the codec does not open in the program's mode, as the configuration tool found"
        : !FindHostExe(hostExe) ? "ICOpen refused by the driver: Tandrel64.exe is not beside the driver"
                                : nullptr;
    if (refusal != nullptr)
        LogDriverEvent(settings.logPath, slot, refusal);
    DriverInstance* instance = slot == kNoSlot || refusal != nullptr
        ? nullptr
        : new DriverInstance(slot, settings.codec, open->dwFlags, TimeoutSeconds(settings.timeoutSetting),
                             settings.logPath);
    if (instance != nullptr && recorded == RecordedOpen::NotRecorded && !instance->CodecOpens()) {
        delete instance;
        instance = nullptr;
    }
    if (instance == nullptr) {
        // Wine's driver loader, when an open is refused, frees its record of
        // the driver a second time after unloading the module; with nothing
        // unloaded in between, the second free finds the record already free
        // and does no harm to the program. A driver that never refuses
        // unloads normally (and an uninstaller can remove it while the
        // program runs on).
        StayLoaded();
        open->dwError = static_cast<DWORD>(ICERR_UNSUPPORTED);
        return 0;
    }
    open->dwError = ICERR_OK;
    return static_cast<LRESULT>(AddInstance(instance));
}

}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH)
        LetIdleHostsGo();
    return TRUE;
}

extern "C" LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM lParam1, LPARAM lParam2)
{
    switch (message) {
    case DRV_OPEN:
        return OpenInstance(reinterpret_cast<ICOPEN*>(lParam2));
    case DRV_CLOSE:
        CloseInstance(id);
        return 1;
    case DRV_QUERYCONFIGURE:
    case DRV_CONFIGURE:
        break;
    default:
        if (message < ICM_USER)
            return DefDriverProc(id, driver, message, lParam1, lParam2);
    }
    InstanceCall call(id);
    if (call.Instance() == nullptr)
        return message < ICM_USER ? 0 : ICERR_UNSUPPORTED;
    return call.Instance()->OnMessage(message, lParam1, lParam2);
}
