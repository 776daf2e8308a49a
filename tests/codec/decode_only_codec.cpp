// The decode-only test codec: Wine's iccvid.dll behind a DriverProc that
// refuses the opens a real decode-only decoder refuses. An open for
// compression (ICMODE_COMPRESS, ICMODE_FASTCOMPRESS) gives 0 and
// ICERR_UNSUPPORTED, before iccvid sees it. Every other open (decompression,
// fast decompression, a query as ICLocate and compressor lists make, drawing)
// and every other message goes to iccvid as it came, so the codec answers
// exactly as Wine's Cinepak decoder does: it decodes and refuses to compress.

#include <windows.h>
#include <vfw.h>

namespace {

using DriverProcFunction = LRESULT(WINAPI*)(DWORD_PTR, HDRVR, UINT, LPARAM, LPARAM);

HMODULE g_cinepak = nullptr;
DriverProcFunction g_cinepakProc = nullptr;

// Loaded at the first message rather than in DllMain, where loading another
// module is not allowed; freed again with DRV_FREE.
bool LoadCinepak()
{
    if (g_cinepakProc != nullptr)
        return true;
    g_cinepak = LoadLibraryA("iccvid.dll");
    if (g_cinepak == nullptr)
        return false;
    g_cinepakProc = reinterpret_cast<DriverProcFunction>(
        reinterpret_cast<void*>(GetProcAddress(g_cinepak, "DriverProc")));
    if (g_cinepakProc == nullptr) {
        FreeLibrary(g_cinepak);
        g_cinepak = nullptr;
    }
    return g_cinepakProc != nullptr;
}

bool OpensForCompression(const ICOPEN* open)
{
    return open != nullptr && (open->dwFlags == ICMODE_COMPRESS || open->dwFlags == ICMODE_FASTCOMPRESS);
}

}

extern "C" LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM lParam1, LPARAM lParam2)
{
    if (message == DRV_OPEN && OpensForCompression(reinterpret_cast<ICOPEN*>(lParam2))) {
        reinterpret_cast<ICOPEN*>(lParam2)->dwError = ICERR_UNSUPPORTED;
        return 0;
    }
    if (!LoadCinepak())
        return message == DRV_OPEN ? 0 : ICERR_INTERNAL;
    LRESULT result = g_cinepakProc(id, driver, message, lParam1, lParam2);
    if (message == DRV_FREE) {
        FreeLibrary(g_cinepak);
        g_cinepak = nullptr;
        g_cinepakProc = nullptr;
    }
    return result;
}
