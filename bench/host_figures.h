#pragma once

#include "bench/bench_setup.h"
#include "bench/codec_shortcut.h"
#include "bench/host_side.h"

// The figures of the codec host, through the driver's channel: what a
// request and a frame cost against a bare round trip and the same codec
// called directly, where the extra time goes, and what a series costs.
struct HostBench {
    HostSide& host;
    CodecShortcut& shortcut;
    HelperWindow& bare;
    HelperWindow& sleeping;
};

void RunRequestAndFrameFigures(HostBench& bench);
void RunSeriesFigures(HostSide& host);
