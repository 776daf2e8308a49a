#pragma once

#include "bench/bench_setup.h"

// Real clients through slot tdl0 against the same program on the codec
// directly in 32 bits (the helper `bare`): Wine's AVIFile writer compressing
// a whole clip to a file, and ICSeqCompressFrame frame by frame.
void RunClientFigures(BenchSetup& setup, HelperWindow& bare);
