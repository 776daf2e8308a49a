// The 32-bit side of the benchmark besides the host:
//   bench_helper.exe window <title>        a trivial window, GetMessage loop
//   bench_helper.exe sleep-window <title>  the same window, served by a loop
//                                          that pumps and sleeps 1 ms
//   bench_helper.exe direct <fourcc> <frames> <result file>
//                                          compresses the benchmark frames
//                                          with the codec called directly
// The windows answer 1 to WM_USER + 30 and end on WM_CLOSE.

#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_frames.h"

namespace {

const char kBenchWindowClass[] = "TandrelBenchWindow";

LRESULT CALLBACK BenchWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 30)
        return 1;
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

int RunDirect(const char* fccText, int frames, const char* resultPath)
{
    HIC codec
        = ICOpen(ICTYPE_VIDEO, mmioFOURCC(fccText[0], fccText[1], fccText[2], fccText[3]), ICMODE_COMPRESS);
    if (codec == nullptr)
        return 1;
    BITMAPINFOHEADER input = BenchInputHeader();
    BITMAPINFOHEADER output = {};
    if (ICCompressGetFormat(codec, &input, &output) != ICERR_OK
        || ICCompressBegin(codec, &input, &output) != ICERR_OK)
        return 1;
    std::vector<std::vector<uint8_t>> sources;
    for (int i = 0; i < 16; ++i)
        sources.push_back(BenchFrame(i));
    std::vector<uint8_t> compressed(output.biSizeImage);
    const int warmUp = 10;
    double start = 0;
    double bytes = 0;
    for (int i = 0; i < warmUp + frames; ++i) {
        if (i == warmUp)
            start = BenchMicroseconds();
        BITMAPINFOHEADER frameOutput = output;
        DWORD ckid = 0;
        DWORD flags = 0;
        if (ICCompress(codec, ICCOMPRESS_KEYFRAME, &frameOutput, compressed.data(), &input,
                       sources[i % sources.size()].data(), &ckid, &flags, i, 0, 0, nullptr, nullptr)
            != ICERR_OK)
            return 1;
        if (i >= warmUp)
            bytes += frameOutput.biSizeImage;
    }
    double perFrame = (BenchMicroseconds() - start) / frames;
    ICCompressEnd(codec);
    ICClose(codec);
    FILE* result = std::fopen(resultPath, "w");
    if (result == nullptr)
        return 1;
    std::fprintf(result, "%.3f %.0f\n", perFrame, bytes / frames);
    return std::fclose(result) == 0 ? 0 : 1;
}

}

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "window") == 0)
        return RunWindow(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "sleep-window") == 0)
        return RunSleepingWindow(argv[2]);
    if (argc >= 5 && std::strcmp(argv[1], "direct") == 0)
        return RunDirect(argv[2], std::atoi(argv[3]), argv[4]);
    return 2;
}
