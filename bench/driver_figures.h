#pragma once

#include <windows.h>

#include "bench/bench_setup.h"

// The figures of a 64-bit program using the bridge through slot tdl0: the
// VfW API, TandrelDrv64.dll, a host and the 32-bit codec, against the same
// calls on the same codec in the 32-bit helper (`helper`, a "window").
//
// Listing the ten slots' codec information, which starts no host.
void RunListingFigures(HWND helper);
// Frames of every workload of bench_cases.h that runs through tdl0.
void RunDriverFrameFigures(BenchSetup& setup, HWND helper);
// The time from ICOpen to the first compressed frame, host start included.
void RunFirstFrameFigures(BenchSetup& setup, HWND helper);
