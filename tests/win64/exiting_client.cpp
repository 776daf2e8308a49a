// A client that goes away without a word. With a slot and a mapping name
// it plays the client driver: starts the host, waits until the host serves
// requests and ends its own process. With "/driver tdlN exit|wait" it opens
// the slot through the driver, makes the host start, and then ends, or
// waits to be killed. Without arguments it ends at once.

#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <string>

#include "host_client.h"

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "/driver") == 0 && std::strlen(argv[2]) == 4) {
        const char* slot = argv[2];
        HIC codec = ICOpen(ICTYPE_VIDEO, mmioFOURCC(slot[0], slot[1], slot[2], slot[3]), ICMODE_COMPRESS);
        DWORD quality = 0;
        if (codec == nullptr
            || ICSendMessage(codec, ICM_GETDEFAULTQUALITY, (DWORD_PTR)&quality, 4) != ICERR_OK)
            return 1;
        while (std::strcmp(argv[3], "wait") == 0)
            Sleep(INFINITE);
        ExitProcess(0);
    }
    if (argc < 3)
        return 0;
    HostClient client(argv[2]);
    if (!client.CreateControl() || !client.Launch(argv[1]))
        return 1;
    // Answered only once the host's loop runs, with this process opened.
    client.Send(HostRequestNumber(ICM_GETINFO));
    // Leaves without the destructors, which would end the host.
    ExitProcess(0);
}
