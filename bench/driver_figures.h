#pragma once

#include <windows.h>

#include "bench/bench_cases.h"
#include "bench/bench_setup.h"

// The figures of a 64-bit program using the bridge through slot tdl0: the
// VfW API, TandrelDrv64.dll, a host and the 32-bit codec, against the same
// calls on the same codec in the 32-bit helper (`helper`, a "window").
//
// Listing the ten slots' codec information, which starts no host, and
// codecs tried as a program that looks for one tries them (kTryCases), on
// the hosts that the tries before let go.
void RunListingFigures(BenchSetup& setup, HWND helper);
// Frames of every workload of bench_cases.h that runs through tdl0.
void RunDriverFrameFigures(BenchSetup& setup, HWND helper);
// From ICOpen to the first compressed frame, and a first codec tried, with
// no host waiting (all but `kept` are ended): a host's start included.
void RunFirstFrameFigures(BenchSetup& setup, HWND helper, DWORD kept);

// Slots `first` to `first + count - 1` given the codec of `bench` and tried
// one after the other (TryCodec), in microseconds.
double TrySlots(BenchSetup& setup, int first, int count, const BenchCase& bench);
