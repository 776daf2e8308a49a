#pragma once

#include "bench/bench_setup.h"
#include "bench/codec_shortcut.h"
#include "bench/host_side.h"

// The figures of the codec host, through the driver's channel: what a
// request and a frame cost against a bare round trip and the same codec
// called directly, where the extra time goes, what a series costs, and how
// the placement of the processes on the CPUs changes the round trip.
struct HostBench {
    HostSide& host;
    CodecShortcut& shortcut;
    HelperWindow& bare;
    HelperWindow& sleeping;
};

void RunRequestAndFrameFigures(HostBench& bench);
void RunSeriesFigures(HostSide& host);
// The 32-bit side moves to a CPU the client does not run on, and back.
void RunPlacementFigures(HostBench& bench);
