// The 32-bit side of the benchmark besides the host:
//   bench_helper.exe window <title>         a trivial window, GetMessage loop
//   bench_helper.exe sleep-window <title>   the same window, served by a loop
//                                           that pumps and sleeps 1 ms
// The windows answer 1 to kBenchPing and end on WM_CLOSE. The first one also
// calls the workloads' codecs directly in this process (bench_cases.h) and
// answers how long that took.

#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <memory>

#include "bench/bench_cases.h"
#include "bench/codec_series.h"
#include "catalogue/fourcc.h"

namespace {

const char kBenchWindowClass[] = "TandrelBenchWindow";

// A workload's frames and its series, made at its first use and kept.
struct DirectCase {
    std::vector<std::vector<uint8_t>> sources;
    std::unique_ptr<CodecSeries> series;
    bool failed = false;
};

DirectCase g_cases[kBenchCaseCount];

// -1 stays -1: a failure.
LRESULT Tenths(double microseconds)
{
    return microseconds < 0 ? -1 : static_cast<LRESULT>(microseconds * 10);
}

const std::vector<std::vector<uint8_t>>& Sources(int index)
{
    if (g_cases[index].sources.empty())
        g_cases[index].sources = BenchSources(kBenchCases[index]);
    return g_cases[index].sources;
}

CodecSeries* Series(int index)
{
    DirectCase& direct = g_cases[index];
    if (!direct.series && !direct.failed) {
        direct.series.reset(new CodecSeries(kBenchCases[index], Sources(index)));
        direct.failed = !direct.series->Open(FourCCFromText(kBenchCases[index].fcc));
    }
    return direct.failed ? nullptr : direct.series.get();
}

LRESULT CompressDirect(WPARAM index)
{
    CodecSeries* series = index < kBenchCaseCount ? Series(static_cast<int>(index)) : nullptr;
    return series != nullptr ? Tenths(Timed([series] { return series->CompressNext(); })) : -1;
}

// The frames are the program's own before it opens the codec; the series
// closes after the clock has stopped.
LRESULT FirstFrameDirect(WPARAM index)
{
    if (index >= kBenchCaseCount)
        return -1;
    const BenchCase& bench = kBenchCases[index];
    CodecSeries series(bench, Sources(static_cast<int>(index)));
    return Tenths(Timed([&] { return series.Open(FourCCFromText(bench.fcc)) && series.CompressNext(); }));
}

LRESULT ListDirect(WPARAM count)
{
    ICINFO info;
    return Tenths(Timed([&] {
        for (WPARAM i = 0; i < count; ++i) {
            if (!ListCodecInfo(FourCCFromText(kBenchRealCodec), &info))
                return false;
        }
        return true;
    }));
}

LRESULT CALLBACK BenchWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kBenchPing:
        return 1;
    case kBenchDirect:
        return CompressDirect(wParam);
    case kBenchFirstFrame:
        return FirstFrameDirect(wParam);
    case kBenchListing:
        return ListDirect(wParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
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
    if (argc >= 3 && std::strcmp(argv[1], "window") == 0)
        return RunWindow(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "sleep-window") == 0)
        return RunSleepingWindow(argv[2]);
    return 2;
}
