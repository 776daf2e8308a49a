// Measures, in one run under Wine, what a 64-bit program pays for the
// bridge. Every figure that is compared with another is an operation timed
// on its own, run in shuffled cycles interleaved with the others; each
// round keeps the median of its operations, and a figure is the median of
// its rounds with the 10th to 90th percentile beside it (bench_figures.h).
//   requests      the codec host through the driver's channel: requests and
//                 frames against a bare round trip and the same codec
//                 called directly, where the extra time goes, series, and
//                 the placement of the processes;
//   listing       through slot tdl0 with the VfW API: listing the slots'
//                 codecs;
//   compression   frames of Wine's mrle and of the recording test codec;
//   decompression mrle's frames at three sizes, taken apart into the round
//                 trip, the host's part and each of the driver's copies;
//   clients       Wine's AVIFile writer and ICSeqCompressFrame;
//   first-frame   the time from ICOpen to the first frame;
//   idle          the CPU use of an idle host, read from /proc.
// host_bench64.exe [short] [SECTION...] runs the sections named (all by
// default); "short" takes a tenth of the rounds, to try it out. Run by
// scripts/bench.sh, which pins Wine and every process of the run to one
// CPU. Prints its figures, asserts nothing.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "bench/bench_figures.h"
#include "bench/bench_setup.h"
#include "bench/client_figures.h"
#include "bench/decompression_figures.h"
#include "bench/driver_figures.h"
#include "bench/host_figures.h"
#include "bench/idle_cpu.h"
#include "catalogue/fourcc.h"

namespace {

// The slot of the host that the channel figures start; tdl0 is the one the
// driver figures go through.
const int kHostSlot = 9;
const DWORD kIdleMs = 10000;
const char* const kSections[]
    = {"requests", "listing", "compression", "decompression", "clients", "first-frame", "idle"};

void PrintPlacement()
{
    DWORD_PTR own;
    DWORD_PTR system;
    GetProcessAffinityMask(GetCurrentProcess(), &own, &system);
    std::printf(
        "Tandrel64 benchmark: 64-bit client, 32-bit host, one run under Wine; CPU mask %#llx of %#llx\n",
        static_cast<unsigned long long>(own), static_cast<unsigned long long>(system));
}

// False, after a line of usage, for an argument that names no section.
bool ReadArguments(int argc, char** argv, std::set<std::string>* sections)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "short") == 0) {
            SetShortRun(true);
            continue;
        }
        bool known = false;
        for (const char* section : kSections)
            known = known || std::strcmp(argv[i], section) == 0;
        if (!known) {
            std::printf("usage: host_bench64.exe [short] [requests|listing|compression|decompression|clients|"
                        "first-frame|idle]...\n");
            return false;
        }
        sections->insert(argv[i]);
    }
    if (sections->empty())
        sections->insert(std::begin(kSections), std::end(kSections));
    return true;
}

}

int main(int argc, char** argv)
{
    std::set<std::string> sections;
    if (!ReadArguments(argc, argv, &sections))
        return 2;
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
    if (sections.count("requests") != 0) {
        HostBench bench {host, shortcut, bare, sleeping};
        RunRequestAndFrameFigures(bench);
        RunSeriesFigures(host);
        RunPlacementFigures(bench);
    }

    std::printf("\nThrough slot tdl0: the 64-bit VfW API, TandrelDrv64.dll, a host, the 32-bit codec\n");
    if (sections.count("listing") != 0)
        RunListingFigures(bare.Window());
    if (sections.count("compression") != 0)
        RunDriverFrameFigures(setup, bare.Window());
    if (sections.count("decompression") != 0)
        RunDecompressionFigures(setup, bare);
    if (sections.count("clients") != 0)
        RunClientFigures(setup, bare);
    if (sections.count("first-frame") != 0)
        RunFirstFrameFigures(setup, bare.Window());

    if (sections.count("idle") != 0) {
        DWORD idleMs = static_cast<DWORD>(BenchRounds(kIdleMs / 1000)) * 1000;
        std::printf("\nCPU while idle for %lu s (from /proc)\n", idleMs / 1000);
        std::vector<double> idle
            = IdlePercents({std::string("/map:") + host.MappingName(), sleeping.Title()}, idleMs);
        std::printf("  host %.2f %% of a core; a window served by a 1 ms sleep loop %.2f %% of a core\n",
                    idle[0], idle[1]);
    }
    return 0;
}
