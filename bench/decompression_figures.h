#pragma once

#include "bench/bench_setup.h"

// Decompression, what players do most: key frames of Wine's mrle at each
// size of kDecompressionCases through slot tdl0, against the codec called
// directly in 32 bits (the helper `bare`, which also gives the bare round
// trip), taken apart on the driver's channel into the round trip, the
// host's part, each of the driver's copies and what VfW and the driver add;
// and what a series costs (BEGIN, the first touches of the views, END).
void RunDecompressionFigures(BenchSetup& setup, HelperWindow& bare);
