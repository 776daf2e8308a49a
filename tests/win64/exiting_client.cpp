// A client that goes away without a word. With "/driver tdlN exit|wait
// <event>" it opens the slot through the driver, makes the host start,
// waits until the named event is set (so that the test can watch the host
// first), and then ends, or waits to be killed; "closed-exit" and
// "closed-wait" close the codec first, which lets its host wait for the
// program's next instance. Without arguments it ends at once.

#include <windows.h>
#include <vfw.h>

#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 5 || std::strcmp(argv[1], "/driver") != 0 || std::strlen(argv[2]) != 4)
        return 0;
    const char* slot = argv[2];
    HIC codec = ICOpen(ICTYPE_VIDEO, mmioFOURCC(slot[0], slot[1], slot[2], slot[3]), ICMODE_COMPRESS);
    DWORD quality = 0;
    if (codec == nullptr || ICSendMessage(codec, ICM_GETDEFAULTQUALITY, (DWORD_PTR)&quality, 4) != ICERR_OK)
        return 1;
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, argv[4]);
    if (go == nullptr || WaitForSingleObject(go, 60000) != WAIT_OBJECT_0)
        return 1;
    const char* then = argv[3];
    if (std::strncmp(then, "closed-", 7) == 0) {
        ICClose(codec);
        then += 7;
    }
    while (std::strcmp(then, "wait") == 0)
        Sleep(INFINITE);
    // Leaves without closing the codec, or with its host waiting.
    ExitProcess(0);
}
