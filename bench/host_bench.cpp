// Measures, in one run under Wine, what a 64-bit program pays for the
// bridge. Every figure that is compared with another is an operation timed
// on its own, run in shuffled cycles interleaved with the others; each
// round keeps the median of its operations, and a figure is the median of
// its rounds with the 10th to 90th percentile beside it (bench_figures.h).
//   - the codec host through the driver's channel: requests and frames
//     against a bare round trip and the same codec called directly, where
//     the extra time goes, series, and the placement of the processes;
//   - through slot tdl0 with the VfW API: listing the slots' codecs,
//     frames of Wine's mrle and of the recording test codec, and the time
//     from ICOpen to the first frame;
//   - the CPU use of an idle host, read from /proc.
// Run by scripts/bench.sh, which pins Wine and every process of the run to
// one CPU. Prints its figures, asserts nothing.

#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bench_setup.h"
#include "bench/driver_figures.h"
#include "bench/host_figures.h"
#include "bench/idle_cpu.h"
#include "catalogue/fourcc.h"

namespace {

// The slot of the host that the channel figures start; tdl0 is the one the
// driver figures go through.
const int kHostSlot = 9;
const DWORD kIdleMs = 10000;

void PrintPlacement()
{
    DWORD_PTR own;
    DWORD_PTR system;
    GetProcessAffinityMask(GetCurrentProcess(), &own, &system);
    std::printf(
        "Tandrel64 benchmark: 64-bit client, 32-bit host, one run under Wine; CPU mask %#llx of %#llx\n",
        static_cast<unsigned long long>(own), static_cast<unsigned long long>(system));
}

}

int main()
{
    PrintPlacement();
    BenchSetup setup;
    CodecShortcut shortcut;
    if (!setup.Prepare() || !setup.SetSlotCodec(kHostSlot, kBenchTestCodec)
        || !shortcut.Create(FourCCFromText(kBenchTestCodec))) {
        std::printf("cannot register the test codec or set up the slots\n");
        return 1;
    }
    HelperWindow bare;
    HelperWindow sleeping;
    std::vector<std::vector<uint8_t>> sources = BenchSources(kBenchCases[kHostCase]);
    HostSide host(sources);
    if (!bare.Start("window") || !sleeping.Start("sleep-window")
        || !host.Start(("tdl" + std::to_string(kHostSlot)).c_str())) {
        std::printf("the helper windows or the host did not start\n");
        return 1;
    }
    HostBench bench {host, shortcut, bare, sleeping};
    RunRequestAndFrameFigures(bench);
    RunSeriesFigures(host);
    RunPlacementFigures(bench);

    std::printf("\nThrough slot tdl0: the 64-bit VfW API, TandrelDrv64.dll, a host, the 32-bit codec\n");
    RunListingFigures(bare.Window());
    RunDriverFrameFigures(setup, bare.Window());
    RunFirstFrameFigures(setup, bare.Window());

    std::printf("\nCPU while idle for %lu s (from /proc)\n", kIdleMs / 1000);
    std::vector<double> idle
        = IdlePercents({std::string("/map:") + host.MappingName(), sleeping.Title()}, kIdleMs);
    std::printf("  host %.2f %% of a core; a window served by a 1 ms sleep loop %.2f %% of a core\n", idle[0],
                idle[1]);
    return 0;
}
