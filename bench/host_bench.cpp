// Measures, in one run under Wine, what a 64-bit program pays for the
// bridge, each figure against the same work directly in 32 bits; the
// sections (docs/benchmark.md) are requests, listing, compression,
// decompression, clients, first-frame and idle. Every figure that is
// compared with another is an operation timed on its own, in shuffled
// cycles interleaved with the others (bench_figures.h).
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
#include "host/liveness_deadline.h"

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
    }

    std::printf("\nThrough slot tdl0: the 64-bit VfW API, TandrelDrv64.dll, a host, the 32-bit codec\n");
    shortcut.SetOpenDelay(kSlowOpenMs);
    if (sections.count("listing") != 0)
        RunListingFigures(setup, bare.Window());
    shortcut.SetOpenDelay(0);
    if (sections.count("compression") != 0)
        RunDriverFrameFigures(setup, bare.Window());
    if (sections.count("decompression") != 0)
        RunDecompressionFigures(setup, bare);
    if (sections.count("clients") != 0)
        RunClientFigures(setup, bare);
    DWORD kept = GetProcessId(host.Process());
    if (sections.count("first-frame") != 0)
        RunFirstFrameFigures(setup, bare.Window(), kept);

    if (sections.count("idle") != 0) {
        // A host started for tdl0 and let go waits until its idle time is up.
        EndHostsBut(kept);
        TrySlots(setup, 0, 1, kBenchCases[kTryCases[0]]);
        std::string waiting = BesideThisProgram("Tandrel64.exe") + std::string("\0/name:tdl0\0/map:", 17)
            + "Tandrel64Client_" + std::to_string(GetCurrentProcessId()) + "_";
        DWORD idleMs = static_cast<DWORD>(BenchRounds(kIdleMs / 1000)) * 1000;
        // From its first check on, after the codec's close has settled.
        DWORD waitingMs = kHostIdleMs - 2 * kHostCheckIntervalMs;
        Sleep(kHostCheckIntervalMs);
        std::printf("\nCPU while idle (from /proc)\n");
        std::vector<double> idle = IdlePercents({waiting}, waitingMs);
        std::printf("  a host waiting for the program's next instance %.2f %% of a core over %lu s\n",
                    idle[0], waitingMs / 1000);
        idle = IdlePercents({std::string("/map:") + host.MappingName(), sleeping.Title()}, idleMs);
        std::printf(
            "  a host serving an instance %.2f %% of a core; a window served by a 1 ms sleep loop %.2f %% "
            "of a core, over %lu s\n",
            idle[0], idle[1], idleMs / 1000);
    }
    return 0;
}
