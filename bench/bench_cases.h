#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "demo/clip.h"

// What both halves of the benchmark share: the messages of the 32-bit
// helper's window, the workloads (a codec and a clip of the demo's frames)
// and the clock.

// Messages of the helper's window (bench_helper.cpp). The timing ones
// answer tenths of a microsecond measured inside the helper, or -1.
const UINT kBenchPing = WM_USER + 30; // answers 1
const UINT kBenchDirect = WM_USER + 31; // wParam: case; compresses its next frame
const UINT kBenchFirstFrame = WM_USER + 32; // wParam: case; ICOpen to the first frame
const UINT kBenchListing = WM_USER + 33; // wParam: n; n times ICOpen (query), ICGetInfo, ICClose of mrle

// The recording test codec registered under the benchmark's own FourCC:
// PackBits on RGB24, done the same way in both processes.
const char kBenchTestCodec[] = "tbnc";
// Wine's own run-length codec: a real codec, for 8-bit palettized frames.
const char kBenchRealCodec[] = "mrle";

struct BenchCase {
    const char* fcc;
    ClipSpec clip;
};

// 0 is the codec host's workload; 1 to 4 run through slot tdl0.
const BenchCase kBenchCases[] = {
    {kBenchTestCodec, {640, 480, 24, 1, 1}},   {kBenchRealCodec, {640, 480, 8, 1, 1}},
    {kBenchRealCodec, {1920, 1080, 8, 1, 1}},  {kBenchTestCodec, {640, 480, 24, 1, 1}},
    {kBenchTestCodec, {1920, 1080, 24, 1, 1}},
};
const int kBenchCaseCount = sizeof kBenchCases / sizeof kBenchCases[0];
const int kHostCase = 0;

// Every workload cycles through this many different frames, each compressed
// as a key frame.
const int kBenchSources = 8;

std::vector<std::vector<uint8_t>> BenchSources(const BenchCase& bench);

// A BITMAPINFOHEADER with room for a full colour table behind it.
struct BenchFormat {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};
BenchFormat BenchInputFormat(const BenchCase& bench);

// Microseconds on the performance counter.
double BenchMicroseconds();

// The microseconds `work` took, or -1 when it failed (gave false).
template <typename Work>
double Timed(Work work)
{
    double start = BenchMicroseconds();
    bool done = work();
    double took = BenchMicroseconds() - start;
    return done ? took : -1;
}

// An answer of the helper in microseconds: negative when it failed.
inline double HelperMicroseconds(LRESULT tenths)
{
    return static_cast<int32_t>(tenths) / 10.0;
}
