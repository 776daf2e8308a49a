// The 32-bit side of the benchmark besides the host:
//   bench_helper.exe window <title> <fourcc>   a trivial window, GetMessage loop
//   bench_helper.exe sleep-window <title>      the same window, served by a loop
//                                              that pumps and sleeps 1 ms
// The windows answer 1 to kBenchPing and end on WM_CLOSE. The first one also
// compresses, on kBenchDirect with wParam n, the next n benchmark frames with
// the codec <fourcc> called directly in this process, and answers the time
// that took in tenths of a microsecond.

#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <vector>

#include "bench_frames.h"

namespace {

const char kBenchWindowClass[] = "TandrelBenchWindow";

// The codec called directly: opened at the first batch, kept for the next.
struct DirectCodec {
    DWORD fcc = 0;
    HIC codec = nullptr;
    BITMAPINFOHEADER input = {};
    BITMAPINFOHEADER output = {};
    std::vector<std::vector<uint8_t>> sources;
    std::vector<uint8_t> compressed;
    int next = 0;
};

DirectCodec g_direct;

bool OpenDirect()
{
    g_direct.codec = ICOpen(ICTYPE_VIDEO, g_direct.fcc, ICMODE_COMPRESS);
    g_direct.input = BenchInputHeader();
    if (g_direct.codec == nullptr
        || ICCompressGetFormat(g_direct.codec, &g_direct.input, &g_direct.output) != ICERR_OK
        || ICCompressBegin(g_direct.codec, &g_direct.input, &g_direct.output) != ICERR_OK)
        return false;
    for (int i = 0; i < kBenchSources; ++i)
        g_direct.sources.push_back(BenchFrame(i));
    g_direct.compressed.resize(g_direct.output.biSizeImage);
    return true;
}

LRESULT CompressDirect(int frames)
{
    if (g_direct.codec == nullptr && !OpenDirect())
        return -1;
    double start = BenchMicroseconds();
    for (int i = 0; i < frames; ++i, ++g_direct.next) {
        BITMAPINFOHEADER output = g_direct.output;
        DWORD ckid = 0;
        DWORD flags = 0;
        const std::vector<uint8_t>& source = g_direct.sources[g_direct.next % kBenchSources];
        if (ICCompress(g_direct.codec, ICCOMPRESS_KEYFRAME, &output, g_direct.compressed.data(),
                       &g_direct.input, const_cast<uint8_t*>(source.data()), &ckid, &flags, g_direct.next, 0,
                       0, nullptr, nullptr)
            != ICERR_OK)
            return -1;
    }
    return static_cast<LRESULT>((BenchMicroseconds() - start) * 10);
}

LRESULT CALLBACK BenchWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kBenchPing)
        return 1;
    if (message == kBenchDirect)
        return CompressDirect(static_cast<int>(wParam));
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateBenchWindow(const char* title)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BenchWndProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kBenchWindowClass;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, kBenchWindowClass, title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

int RunWindow(const char* title)
{
    CreateBenchWindow(title);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

int RunSleepingWindow(const char* title)
{
    CreateBenchWindow(title);
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageA(&message, nullptr, 0, 0) == 0)
                return 0;
            DispatchMessageA(&message);
        }
        Sleep(1);
    }
}

}

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "window") == 0) {
        g_direct.fcc = mmioFOURCC(argv[3][0], argv[3][1], argv[3][2], argv[3][3]);
        return RunWindow(argv[2]);
    }
    if (argc >= 3 && std::strcmp(argv[1], "sleep-window") == 0)
        return RunSleepingWindow(argv[2]);
    return 2;
}
