#include "bench/driver_figures.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "bench/bench_figures.h"
#include "bench/codec_series.h"
#include "bench/host_link.h"
#include "driver/slot_config.h"

namespace {

const int kBridgeSlot = 0;
const int kSlots = 10;
const int kListingRounds = 30;
const int kFrameRounds = 30;
const int kFrameCycles = 2;
const int kFirstFrameRounds = 8;

double ListSlots()
{
    ICINFO info;
    return Timed([&] {
               for (int slot = 0; slot < kSlots; ++slot) {
                   if (!ListCodecInfo(SlotFourCC(slot), &info))
                       return false;
               }
               return true;
           })
        / kSlots;
}

// With every slot open in query mode and its information read, the number
// of hosts has not changed.
bool ListingStartsNoHost()
{
    int before = CountHostProcesses();
    HIC codecs[kSlots];
    bool none = true;
    for (int slot = 0; slot < kSlots; ++slot) {
        ICINFO info;
        codecs[slot] = ICOpen(ICTYPE_VIDEO, SlotFourCC(slot), ICMODE_QUERY);
        none = none && codecs[slot] != nullptr && ICGetInfo(codecs[slot], &info, sizeof info) > 0;
    }
    none = none && CountHostProcesses() == before;
    for (HIC codec : codecs) {
        if (codec != nullptr)
            ICClose(codec);
    }
    return none;
}

double ReadOneSlot()
{
    SlotSettings settings;
    return Timed([&] {
        ReadSlotSettings(kBridgeSlot, &settings);
        return true;
    });
}

double LoadDriver()
{
    std::string path = BesideThisProgram("TandrelDrv64.dll");
    return Timed([&] {
        HMODULE driver = LoadLibraryA(path.c_str());
        return driver != nullptr && FreeLibrary(driver);
    });
}

using Figures = std::vector<std::unique_ptr<BenchFigure>>;

// For every workload that runs through tdl0, a figure of `bridged` and one
// of the helper doing the same on the codec itself (`helperMessage`).
Figures CasePairs(const std::function<double(int)>& bridged, HWND helper, UINT helperMessage)
{
    Figures figures;
    for (int index = 0; index < kBenchCaseCount; ++index) {
        if (index == kHostCase)
            continue;
        std::string name = CaseName(kBenchCases[index]);
        figures.emplace_back(
            new BenchFigure(name + ", through tdl0", [bridged, index] { return bridged(index); }));
        figures.emplace_back(new BenchFigure(name + ", directly in 32 bits", [helper, helperMessage, index] {
            return HelperMicroseconds(SendMessageA(helper, helperMessage, index, 0));
        }));
    }
    return figures;
}

void RunPairs(const Figures& pairs, BenchFigure* extra, int rounds, int cycles)
{
    std::vector<BenchFigure*> all;
    for (const std::unique_ptr<BenchFigure>& figure : pairs)
        all.push_back(figure.get());
    if (extra != nullptr)
        all.push_back(extra);
    RunInterleaved(all, rounds, cycles);
}

void PrintPairs(const Figures& pairs, const char* unit)
{
    for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
        const BenchFigure& bridged = *pairs[i];
        const BenchFigure& direct = *pairs[i + 1];
        PrintFigure(bridged, unit);
        PrintFigure(direct, unit);
        PrintFigure("  through tdl0 / directly", PerRound({&bridged, &direct}, Ratio), "x");
        PrintFigure("  extra through tdl0", PerRound({&bridged, &direct}, Difference), unit);
    }
}

}

void RunListingFigures(HWND helper)
{
    bool noHost = ListingStartsNoHost();
    BenchFigure bridged {"ten slots, each ICOpen (query), ICGetInfo, ICClose", ListSlots};
    BenchFigure direct {"32-bit mrle listed directly the same way, ten times", [&] {
                            return HelperMicroseconds(SendMessageA(helper, kBenchListing, kSlots, 0))
                                / kSlots;
                        }};
    BenchFigure settings {"  of it: the driver reads a slot's settings (eight values)", ReadOneSlot, 2};
    BenchFigure load {"  of it: TandrelDrv64.dll loaded and freed", LoadDriver};
    int rounds = BenchRounds(kListingRounds);
    RunInterleaved({&bridged, &direct, &settings, &load}, rounds, 1);
    std::printf("Listing codecs (%d rounds); hosts started: %s\n", rounds,
                noHost ? "none" : "SOME, where there must be none");
    PrintFigure(bridged, "us/codec");
    PrintFigure(direct, "us/codec");
    PrintFigure("  slot / 32-bit codec", PerRound({&bridged, &direct}, Ratio), "x");
    PrintFigure(settings, "us", "at ICGetInfo; ICOpen reads two of them");
    PrintFigure(load, "us");
}

void RunDriverFrameFigures(BenchSetup& setup, HWND helper)
{
    std::vector<std::vector<std::vector<uint8_t>>> sources(kBenchCaseCount);
    std::vector<std::unique_ptr<CodecSeries>> series(kBenchCaseCount);
    for (int index = 0; index < kBenchCaseCount; ++index) {
        const BenchCase& bench = kBenchCases[index];
        sources[index] = BenchSources(bench);
        series[index].reset(new CodecSeries(bench, sources[index]));
        // The host reads the slot's codec when it starts, at the series' first request.
        if (index == kHostCase || !setup.SetSlotCodec(kBridgeSlot, bench.fcc)
            || !series[index]->Open(SlotFourCC(kBridgeSlot)))
            series[index].reset();
    }
    Figures pairs = CasePairs(
        [&series](int index) {
            CodecSeries* opened = series[index].get();
            return opened != nullptr ? Timed([opened] { return opened->CompressNext(); }) : -1;
        },
        helper, kBenchDirect);
    int rounds = BenchRounds(kFrameRounds);
    RunPairs(pairs, nullptr, rounds, kFrameCycles);
    std::printf("Frames compressed through slot tdl0 (%d rounds of %d shuffled cycles)\n", rounds,
                kFrameCycles);
    PrintPairs(pairs, "us/frame");
}

void RunFirstFrameFigures(BenchSetup& setup, HWND helper)
{
    std::vector<std::vector<std::vector<uint8_t>>> sources(kBenchCaseCount);
    for (int index = 0; index < kBenchCaseCount; ++index)
        sources[index] = BenchSources(kBenchCases[index]);
    // The series closes, and its host ends, after the clock has stopped.
    Figures pairs = CasePairs(
        [&setup, &sources](int index) {
            const BenchCase& bench = kBenchCases[index];
            if (!setup.SetSlotCodec(kBridgeSlot, bench.fcc))
                return -1.0;
            CodecSeries series(bench, sources[index]);
            return Timed([&] { return series.Open(SlotFourCC(kBridgeSlot)) && series.CompressNext(); });
        },
        helper, kBenchFirstFrame);
    BenchFigure hostStart {"of it: a host started until its window is published",
                           [] { return TimeHostStart("tdl0"); }};
    int rounds = BenchRounds(kFirstFrameRounds);
    RunPairs(pairs, &hostStart, rounds, 1);
    std::printf("From ICOpen to the first compressed frame (%d rounds)\n", rounds);
    PrintPairs(pairs, "us");
    PrintFigure(hostStart, "us");
}
