#include "bench/host_figures.h"

#include <cstdio>

#include "bench/bench_figures.h"

namespace {

const int kRounds = 100;
const int kCycles = 10;
const int kSeries = 30;
}

void RunRequestAndFrameFigures(HostBench& bench)
{
    HostSide& host = bench.host;
    HWND helper = bench.bare.Window();
    BenchFigure bare {"bare round trip to a trivial 32-bit window (GetMessage loop)",
                      [&] { return bench.bare.RoundTrip(); }, 4};
    BenchFigure hostTrip {"the same to the host's window, a message it does not serve",
                          [&] { return host.NullRoundTrip(); }, 4};
    BenchFigure request {"quality request through the host (its private copy)",
                         [&] { return host.QualityRequest(); }, 4};
    BenchFigure frameRequest {"frame request, the codec answering at once",
                              [&] {
                                  bench.shortcut.Set(true);
                                  double took = host.FrameRequest();
                                  bench.shortcut.Set(false);
                                  return took;
                              },
                              4};
    BenchFigure sleeping {"round trip to a window served by a 1 ms sleep loop",
                          [&] { return bench.sleeping.RoundTrip(); }};
    BenchFigure frame {"compressed through the host, the driver's copies included",
                       [&] { return host.Frame(); }};
    BenchFigure direct {"the same codec called directly in a 32-bit process",
                        [&] { return HelperMicroseconds(SendMessageA(helper, kBenchDirect, kHostCase, 0)); }};
    BenchFigure copies {"the driver's two copies alone", [&] { return host.Copies(); }};
    // The copies around it and the codec's work inside it leave the caches
    // as a frame through the host leaves them; the helper's own time for
    // the codec is taken off.
    BenchFigure frameTrip {"bare round trip around the same work (copies, the codec)", [&] {
                               host.CopyIn();
                               double start = BenchMicroseconds();
                               double codec
                                   = HelperMicroseconds(SendMessageA(helper, kBenchDirect, kHostCase, 0));
                               double took = BenchMicroseconds() - start;
                               host.CopyOut();
                               return codec < 0 ? -1 : took - codec;
                           }};
    int rounds = BenchRounds(kRounds);
    RunInterleaved(
        {&bare, &hostTrip, &request, &frameRequest, &sleeping, &frame, &direct, &copies, &frameTrip}, rounds,
        kCycles);

    std::printf("\nRequests and frames: %d rounds of %d shuffled cycles; each figure the median of its\n"
                "rounds' medians (10th .. 90th percentile of the rounds)\n",
                rounds, kCycles);
    PrintFigure(bare, "us");
    PrintFigure(hostTrip, "us");
    PrintFigure(request, "us");
    PrintFigure("  request / bare round trip", PerRound({&request, &bare}, Ratio), "x", "goal <= 1.15");
    PrintFigure("  request / the host's own round trip", PerRound({&request, &hostTrip}, Ratio), "x");
    PrintFigure(frameRequest, "us");
    PrintFigure(sleeping, "us");

    const ClipSpec& clip = kBenchCases[kHostCase].clip;
    std::printf("%d x %d RGB24 frames (%u bytes), recording test codec (PackBits), mean %.0f bytes out\n",
                clip.width, clip.height, ClipFrameSize(clip), host.MeanCompressedSize());
    PrintFigure(frame, "us/frame");
    PrintFigure(direct, "us/frame");
    PrintFigure(copies, "us/frame");
    PrintFigure(frameTrip, "us");
    PrintFigure("extra through the host (host - direct)", PerRound({&frame, &direct}, Difference),
                "us/frame");
    PrintFigure("  extra / (bare round trip + copies)",
                PerRound({&frame, &direct, &bare, &copies},
                         [](const std::vector<double>& m) { return (m[0] - m[1]) / (m[2] + m[3]); }),
                "x", "goal <= 1.2");
    PrintFigure("  extra / (bare round trip around the same work + copies)",
                PerRound({&frame, &direct, &frameTrip, &copies},
                         [](const std::vector<double>& m) { return (m[0] - m[1]) / (m[2] + m[3]); }),
                "x");
    std::printf("Where the extra goes, per frame\n");
    PrintFigure("  the bare round trip", bare.rounds, "us");
    PrintFigure("  the same around a frame's work: caches the frame emptied",
                PerRound({&frameTrip, &bare}, Difference), "us");
    PrintFigure("  the host's loop and window (host's round trip - bare)",
                PerRound({&hostTrip, &bare}, Difference), "us");
    PrintFigure("  the host's checks, private copy, record (frame req - trip)",
                PerRound({&frameRequest, &hostTrip}, Difference), "us");
    PrintFigure("  the driver's copies", copies.rounds, "us");
    PrintFigure(
        "  the rest (extra - all of the above)",
        PerRound({&frame, &direct, &frameTrip, &frameRequest, &bare, &copies},
                 [](const std::vector<double>& m) { return m[0] - m[1] - m[2] - (m[3] - m[4]) - m[5]; }),
        "us");
}

// BEGIN maps two fresh views, and the first frame touches their pages for
// the first time.
void RunSeriesFigures(HostSide& host)
{
    host.End();
    RunSeries({"Series", "BEGIN: the host maps two guarded views", [&] { return host.Begin(); },
               [&] { return host.Frame(); }, "END: the views unmapped", [&] { return host.End(); }},
              BenchRounds(kSeries));
    host.Begin();
}
