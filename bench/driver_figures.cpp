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
    size_t before = RunningChildrenNamed("Tandrel64.exe").size();
    HIC codecs[kSlots];
    bool none = true;
    for (int slot = 0; slot < kSlots; ++slot) {
        ICINFO info;
        codecs[slot] = ICOpen(ICTYPE_VIDEO, SlotFourCC(slot), ICMODE_QUERY);
        none = none && codecs[slot] != nullptr && ICGetInfo(codecs[slot], &info, sizeof info) > 0;
    }
    none = none && RunningChildrenNamed("Tandrel64.exe").size() == before;
    for (HIC codec : codecs) {
        if (codec != nullptr)
            ICClose(codec);
    }
    return none;
}

double TryDirectly(HWND helper, int index, int count)
{
    return HelperMicroseconds(SendMessageA(helper, kBenchTryCodec, static_cast<WPARAM>(index), count));
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

// The slots are given their codec before the clock starts; the host that
// serves a try reads it there.
double TrySlots(BenchSetup& setup, int first, int count, const BenchCase& bench)
{
    for (int slot = first; slot < first + count; ++slot) {
        if (!setup.SetSlotCodec(slot, bench.fcc))
            return -1;
    }
    return Timed([&] {
        bool took = true;
        for (int slot = first; slot < first + count; ++slot)
            took = TryCodec(SlotFourCC(slot), bench) && took;
        return took;
    });
}

void RunListingFigures(BenchSetup& setup, HWND helper)
{
    bool noHost = setup.SetSlotCodec(kBridgeSlot, kBenchRealCodec) && ListingStartsNoHost();
    BenchFigure bridged {"ten slots, each ICOpen (query), ICGetInfo, ICClose", ListSlots};
    BenchFigure direct {"32-bit mrle listed directly the same way, ten times", [&] {
                            return HelperMicroseconds(SendMessageA(helper, kBenchListing, kSlots, 0))
                                / kSlots;
                        }};
    int rounds = BenchRounds(kListingRounds);
    // Each codec's tries run apart, so that the slots keep their codec
    // between tries, as a program finds them.
    std::vector<Figures> tries(sizeof kTryCases / sizeof kTryCases[0]);
    for (size_t group = 0; group < tries.size(); ++group) {
        int index = kTryCases[group];
        const BenchCase& bench = kBenchCases[index];
        const std::pair<std::string, std::function<double()>> figures[] = {
            {", a later try through tdl0", [&setup, &bench] { return TrySlots(setup, 0, 1, bench); }},
            {", a try directly in 32 bits", [helper, index] { return TryDirectly(helper, index, 1); }},
            {", one pass over ten slots", [&setup, &bench] { return TrySlots(setup, 0, kSlots, bench); }},
            {", ten tries directly in 32 bits",
             [helper, index] { return TryDirectly(helper, index, kSlots); }},
        };
        for (const auto& figure : figures)
            tries[group].emplace_back(new BenchFigure(CaseName(bench) + figure.first, figure.second));
        RunPairs(tries[group], nullptr, rounds, 1);
    }
    RunInterleaved({&bridged, &direct}, rounds, 1);
    std::printf("Listing codecs (%d rounds); hosts started: %s\n", rounds,
                noHost ? "none" : "SOME, where there must be none");
    PrintFigure(bridged, "us/codec");
    PrintFigure(direct, "us/codec");
    PrintFigure("  slot / 32-bit codec", PerRound({&bridged, &direct}, Ratio), "x");
    std::printf(
        "Codecs tried (ICOpen, two queries, ICClose) as a program that looks for one tries them, each on\n"
        "the host the try before let go (%d rounds; tbnc takes %lu ms to open, as a real MPEG-4 codec)\n",
        rounds, kSlowOpenMs);
    for (const Figures& group : tries)
        PrintPairs(group, "us");
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

void RunFirstFrameFigures(BenchSetup& setup, HWND helper, DWORD kept)
{
    std::vector<std::vector<std::vector<uint8_t>>> sources(kBenchCaseCount);
    for (int index = 0; index < kBenchCaseCount; ++index)
        sources[index] = BenchSources(kBenchCases[index]);
    // The series closes after the clock has stopped.
    Figures pairs = CasePairs(
        [&setup, &sources, kept](int index) {
            const BenchCase& bench = kBenchCases[index];
            if (!setup.SetSlotCodec(kBridgeSlot, bench.fcc))
                return -1.0;
            EndHostsBut(kept);
            CodecSeries series(bench, sources[index]);
            return Timed([&] { return series.Open(SlotFourCC(kBridgeSlot)) && series.CompressNext(); });
        },
        helper, kBenchFirstFrame);
    BenchFigure hostStart {"of it: a host started until its window is published",
                           [] { return TimeHostStart("tdl0"); }};
    const BenchCase& real = kBenchCases[kTryCases[0]];
    pairs.emplace_back(
        new BenchFigure("a first try of " + CaseName(real) + ", through tdl0", [&setup, &real, kept] {
            EndHostsBut(kept);
            return TrySlots(setup, kBridgeSlot, 1, real);
        }));
    pairs.emplace_back(new BenchFigure("the same directly in 32 bits",
                                       [helper] { return TryDirectly(helper, kTryCases[0], 1); }));
    int rounds = BenchRounds(kFirstFrameRounds);
    RunPairs(pairs, &hostStart, rounds, 1);
    std::printf(
        "From ICOpen to the first compressed frame, and a first try, with no host waiting (%d rounds)\n",
        rounds);
    PrintPairs(pairs, "us");
    PrintFigure(hostStart, "us");
}
