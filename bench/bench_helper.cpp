// The 32-bit side of the benchmark besides the host:
//   bench_helper.exe window <title>         a trivial window, GetMessage loop
//   bench_helper.exe sleep-window <title>   the same window, served by a loop
//                                           that pumps and sleeps 1 ms
// The windows answer 1 to kBenchPing and end on WM_CLOSE. The first one also
// calls the workloads' codecs directly in this process (bench_cases.h), as
// the real clients do too, and answers how long that took.

#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <memory>

#include "bench/bench_cases.h"
#include "bench/client_runs.h"
#include "bench/codec_series.h"
#include "bench/decompress_series.h"
#include "catalogue/fourcc.h"
#include "driver/shared_mapping.h"

namespace {

const char kBenchWindowClass[] = "TandrelBenchWindow";

// A workload's frames and its series, made at its first use and kept.
struct DirectCase {
    std::vector<std::vector<uint8_t>> sources;
    std::unique_ptr<CodecSeries> series;
    bool failed = false;
};

DirectCase g_cases[kBenchCaseCount];

// A decompression workload: its clip compressed, its series and the views
// of the same series on file mappings, made at its first use and kept.
struct DirectDecompression {
    CompressedClip clip;
    std::unique_ptr<DecompressSeries> series;
    std::unique_ptr<DecompressSeries> onViews;
    // Views of file mappings of their own, as the host gets its frames.
    SharedMapping inputView;
    SharedMapping pictureView;
    bool failed = false;
};

DirectDecompression g_decompressions[kDecompressionCaseCount];

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

DirectDecompression* Decompression(WPARAM index)
{
    if (index >= kDecompressionCaseCount)
        return nullptr;
    DirectDecompression& direct = g_decompressions[index];
    if (!direct.series && !direct.failed) {
        DWORD fcc = FourCCFromText(kDecompressionCases[index].fcc);
        direct.series.reset(new DecompressSeries(direct.clip));
        direct.onViews.reset(new DecompressSeries(direct.clip));
        direct.failed = !CompressClip(kDecompressionCases[index], fcc, &direct.clip)
            || !direct.series->Open(fcc) || !direct.onViews->Open(fcc);
        direct.failed = direct.failed
            || !direct.inputView.Create(nullptr, direct.clip.format.header.biSizeImage, false)
            || !direct.pictureView.Create(nullptr, direct.onViews->PictureSize(), false);
    }
    return direct.failed ? nullptr : &direct;
}

LRESULT DecompressDirect(WPARAM index)
{
    DirectDecompression* direct = Decompression(index);
    return direct != nullptr ? Tenths(Timed([direct] { return direct->series->DecompressNext(); })) : -1;
}

// The frame goes into its view before the clock starts, as the driver puts
// it there before the request.
LRESULT DecompressOnViews(WPARAM index)
{
    DirectDecompression* direct = Decompression(index);
    if (direct == nullptr)
        return -1;
    DecompressSeries& series = *direct->onViews;
    const std::vector<uint8_t>& frame = series.NextFrame();
    std::memcpy(direct->inputView.View(), frame.data(), frame.size());
    return Tenths(
        Timed([&] { return series.DecompressNext(direct->inputView.View(), direct->pictureView.View()); }));
}

LRESULT WriteAviDirect()
{
    static const std::vector<std::vector<uint8_t>> frames = ClipFrames(kAviWriterCase.clip);
    return Tenths(Timed([] {
        return WriteAviClip(FourCCFromText(kAviWriterCase.fcc), kAviWriterCase, frames, BenchAviPath());
    }));
}

LRESULT AviFacts(WPARAM which)
{
    uint64_t bytes = 0;
    int keyFrames = 0;
    if (!ReadAviFacts(BenchAviPath(), &bytes, &keyFrames))
        return -1;
    return which == 0 ? static_cast<LRESULT>(bytes) : keyFrames;
}

SequenceSeries* Sequence()
{
    static const std::vector<std::vector<uint8_t>> sources = ClipFrames(kSequenceCase.clip);
    static SequenceSeries series(kSequenceCase, sources);
    static bool opened = series.Open(FourCCFromText(kSequenceCase.fcc));
    return opened ? &series : nullptr;
}

LRESULT SequenceDirect()
{
    SequenceSeries* series = Sequence();
    return series != nullptr ? Tenths(Timed([series] { return series->CompressNext(); })) : -1;
}

// `count` times `work` on the codec of `bench`, timed together.
template <typename Work>
LRESULT RepeatDirect(WPARAM count, const BenchCase& bench, Work work)
{
    return Tenths(Timed([&] {
        bool done = true;
        for (WPARAM i = 0; i < count; ++i)
            done = work(FourCCFromText(bench.fcc), bench) && done;
        return done;
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
        return RepeatDirect(wParam, kBenchCases[kTryCases[0]], [](DWORD fcc, const BenchCase&) {
            ICINFO info;
            return ListCodecInfo(fcc, &info);
        });
    case kBenchTryCodec:
        return wParam < kBenchCaseCount
            ? RepeatDirect(static_cast<WPARAM>(lParam), kBenchCases[wParam], TryCodec)
            : -1;
    case kBenchAviReader:
        return Tenths(Timed([] { return OpenFrameReader(BenchAviPath()); }));
    case kBenchDecompress:
        return DecompressDirect(wParam);
    case kBenchDecompressOnViews:
        return DecompressOnViews(wParam);
    case kBenchAviWriter:
        return WriteAviDirect();
    case kBenchAviFacts:
        return AviFacts(wParam);
    case kBenchSequence:
        return SequenceDirect();
    case kBenchSequenceBytes:
        return Sequence() != nullptr ? static_cast<LRESULT>(Sequence()->MeanBytes()) : -1;
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
    DeleteFileA(BenchAviPath().c_str());
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
