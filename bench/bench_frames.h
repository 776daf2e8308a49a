#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The frames of the benchmark, the same in the 64-bit client and the 32-bit
// helper: 640 x 480 RGB24, flat grey blocks with a rectangle that moves and
// a textured strip at the bottom.

// Messages of the helper's windows (bench_helper.cpp).
const UINT kBenchPing = WM_USER + 30;
const UINT kBenchDirect = WM_USER + 31;

// The frames repeat after this many.
const int kBenchSources = 16;

const int kBenchWidth = 640;
const int kBenchHeight = 480;
const uint32_t kBenchFrameSize = kBenchWidth * 3 * kBenchHeight;

std::vector<uint8_t> BenchFrame(int index);
BITMAPINFOHEADER BenchInputHeader();

// Microseconds on the performance counter.
double BenchMicroseconds();
