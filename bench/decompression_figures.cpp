#include "bench/decompression_figures.h"

#include <cstdio>
#include <string>

#include "bench/bench_figures.h"
#include "bench/host_decompression.h"
#include "driver/slot_config.h"

namespace {

const int kBridgeSlot = 0;
// The host played on the driver's channel.
const int kChannelSlot = 8;
const int kRounds = 30;
const int kCycles = 4;
const int kSeries = 10;
// No message of VfW's: the driver answers it itself, ICERR_UNSUPPORTED.
const UINT kUnknownMessage = ICM_USER + 0xF00;

double Helper(HWND helper, UINT message, int index)
{
    return HelperMicroseconds(SendMessageA(helper, message, static_cast<WPARAM>(index), 0));
}

struct DecompressionRun {
    BenchFigure bridged;
    BenchFigure direct;
    BenchFigure onViews;
    BenchFigure replayed;
    BenchFigure request;
    BenchFigure bare;
    BenchFigure hostTrip;
    BenchFigure frameIn;
    BenchFigure pictureIn;
    BenchFigure pictureBack;
    BenchFigure dispatch;
};

void PrintBreakdown(const DecompressionRun& run)
{
    std::printf("  Where the extra goes, per frame\n");
    PrintFigure("    the bare round trip", run.bare.rounds, "us");
    PrintFigure("    the host's loop and window (host's round trip - bare)",
                PerRound({&run.hostTrip, &run.bare}, Difference), "us");
    PrintFigure("    the codec on views of mappings (on views - direct)",
                PerRound({&run.onViews, &run.direct}, Difference), "us");
    PrintFigure("    the host's part: checks, copy, the codec there (see docs)",
                PerRound({&run.request, &run.hostTrip, &run.onViews},
                         [](const std::vector<double>& m) { return m[0] - m[1] - m[2]; }),
                "us");
    PrintFigure("    the compressed frame in (cannot be left out)", run.frameIn.rounds, "us");
    PrintFigure("    the program's picture in (kept for exactness, see docs)", run.pictureIn.rounds, "us");
    PrintFigure("    the picture back (cannot be left out)", run.pictureBack.rounds, "us");
    PrintFigure("    the copies' toll on the rest (replayed - request - copies)",
                PerRound({&run.replayed, &run.request, &run.frameIn, &run.pictureIn, &run.pictureBack},
                         [](const std::vector<double>& m) { return m[0] - m[1] - m[2] - m[3] - m[4]; }),
                "us");
    PrintFigure("    through tdl0 beyond the replay (tdl0 - replayed)",
                PerRound({&run.bridged, &run.replayed}, Difference), "us");
    PrintFigure("      of it: the call through VfW to the driver and back", run.dispatch.rounds, "us");
}

void PrintRun(const DecompressionRun& run)
{
    PrintFigure(run.bridged, "us/frame");
    PrintFigure(run.direct, "us/frame");
    PrintFigure("  through tdl0 / directly", PerRound({&run.bridged, &run.direct}, Ratio), "x");
    PrintFigure("  extra through tdl0 (tdl0 - direct)", PerRound({&run.bridged, &run.direct}, Difference),
                "us/frame");
    PrintFigure(
        "  extra / (bare round trip + frame in + picture in + picture back)",
        PerRound({&run.bridged, &run.direct, &run.bare, &run.frameIn, &run.pictureBack, &run.pictureIn},
                 [](const std::vector<double>& m) { return (m[0] - m[1]) / (m[2] + m[3] + m[4] + m[5]); }),
        "x", "goal <= 1.2");
    for (const BenchFigure* figure : {&run.replayed, &run.request, &run.onViews, &run.bare, &run.hostTrip,
                                      &run.frameIn, &run.pictureIn, &run.pictureBack, &run.dispatch})
        PrintFigure(*figure, "us");
    PrintBreakdown(run);
}

// On the bridged instance: BEGIN maps two fresh views in the host, whose
// pages the first frame touches for the first time.
void RunBridgedSeries(DecompressSeries& series)
{
    series.End();
    RunSeries({"  Decompression series through tdl0", "ICDecompressBegin",
               [&] { return Timed([&] { return series.Begin(); }); },
               [&] { return Timed([&] { return series.DecompressNext(); }); }, "ICDecompressEnd",
               [&] { return Timed([&] { return series.End(); }); }},
              BenchRounds(kSeries));
}

void RunCase(BenchSetup& setup, HelperWindow& helper, int index)
{
    const BenchCase& bench = kDecompressionCases[index];
    std::string name = CaseName(bench);
    CompressedClip clip;
    DecompressSeries bridged(clip);
    HostDecompression channel(clip);
    std::string channelSlot = "tdl" + std::to_string(kChannelSlot);
    if (!setup.SetSlotCodec(kBridgeSlot, bench.fcc) || !setup.SetSlotCodec(kChannelSlot, bench.fcc)
        || !CompressClip(bench, SlotFourCC(kBridgeSlot), &clip) || !bridged.Open(SlotFourCC(kBridgeSlot))
        || !channel.Start(channelSlot.c_str())) {
        std::printf("Decompression, %s: the series through tdl0 or the host did not start\n", name.c_str());
        return;
    }
    HWND window = helper.Window();
    DecompressionRun run {
        {"through tdl0 (ICDecompress, TandrelDrv64.dll, a host)",
         [&] { return Timed([&] { return bridged.DecompressNext(); }); }},
        {"the same codec called directly in 32 bits",
         [&] { return Helper(window, kBenchDecompress, index); }},
        {"the same, directly, from and into views of file mappings",
         [&] { return Helper(window, kBenchDecompressOnViews, index); }},
        {"the driver's work replayed on its channel (copies, request)", [&] { return channel.Frame(); }},
        {"the request alone, the frames already in the mappings", [&] { return channel.Request(); }},
        {"bare round trip to a trivial 32-bit window", [&] { return helper.RoundTrip(); }, 4},
        {"the host's round trip, a message it does not serve", [&] { return channel.Link().NullRoundTrip(); },
         4},
        {"copy: the compressed frame into the input mapping", [&] { return channel.CopyFrameIn(); }},
        {"copy: the program's picture into the output mapping", [&] { return channel.CopyPictureIn(); }},
        {"copy: the picture back to the program", [&] { return channel.CopyPictureBack(); }},
        {"ICSendMessage of a message the driver answers itself",
         [&] {
             return Timed(
                 [&] { return ICSendMessage(bridged.Codec(), kUnknownMessage, 0, 0) == ICERR_UNSUPPORTED; });
         },
         4},
    };
    int rounds = BenchRounds(kRounds);
    RunInterleaved({&run.bridged, &run.direct, &run.onViews, &run.replayed, &run.request, &run.bare,
                    &run.hostTrip, &run.frameIn, &run.pictureIn, &run.pictureBack, &run.dispatch},
                   rounds, kCycles);
    std::printf("Decompression, %s: key frames of %.0f bytes on average into a picture of %u bytes\n"
                "(%d rounds of %d shuffled cycles)\n",
                name.c_str(), channel.MeanFrameSize(), channel.PictureSize(), rounds, kCycles);
    PrintRun(run);
    if (channel.Link().Channel().Failed())
        std::printf("  the host on the channel ended with exit code %lu\n",
                    static_cast<unsigned long>(channel.Link().Channel().HostExitCode()));
    RunBridgedSeries(bridged);
}

}

void RunDecompressionFigures(BenchSetup& setup, HelperWindow& bare)
{
    for (int index = 0; index < kDecompressionCaseCount; ++index)
        RunCase(setup, bare, index);
}
