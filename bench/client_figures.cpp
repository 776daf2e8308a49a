#include "bench/client_figures.h"

#include <cstdio>
#include <string>

#include "bench/bench_figures.h"
#include "bench/client_runs.h"
#include "driver/slot_config.h"

namespace {

const int kBridgeSlot = 0;
const int kWriterRounds = 8;
const int kSequenceRounds = 30;
const int kSequenceCycles = 2;

// AVIFile opens the compressor anew for every file, and a decompressor for
// every reader: each file after the first goes through the host the one
// before let go.
void RunWriterFigures(HWND helper)
{
    const BenchCase& bench = kAviWriterCase;
    std::vector<std::vector<uint8_t>> frames = ClipFrames(bench.clip);
    std::string path = BenchAviPath();
    BenchFigure bridged {
        "the whole file through tdl0",
        [&] { return Timed([&] { return WriteAviClip(SlotFourCC(kBridgeSlot), bench, frames, path); }); }};
    BenchFigure direct {"the same program on 32-bit mrle directly",
                        [&] { return HelperMicroseconds(SendMessageA(helper, kBenchAviWriter, 0, 0)); }};
    BenchFigure reader {"the file opened for its frames (AVIStreamGetFrameOpen) through tdl0",
                        [&] { return Timed([&] { return OpenFrameReader(path); }); }};
    BenchFigure readerDirect {"the same program in 32 bits on its file", [&] {
                                  return HelperMicroseconds(SendMessageA(helper, kBenchAviReader, 0, 0));
                              }};
    int rounds = BenchRounds(kWriterRounds);
    RunInterleaved({&bridged, &direct}, rounds, 1);
    RunInterleaved({&reader, &readerDirect}, rounds, 1);
    uint64_t bytes = 0;
    int keyFrames = 0;
    bool read = ReadAviFacts(path, &bytes, &keyFrames);
    DeleteFileA(path.c_str());
    std::printf("Wine's AVIFile writer (AVIMakeCompressedStream, AVIStreamWrite): %d frames of %s,\n"
                "a key frame asked for every %d, and its reader (%d rounds)\n",
                bench.clip.frames, CaseName(bench).c_str(), bench.clip.keyInterval, rounds);
    PrintFigure(bridged, "ms", "", 1e-3);
    PrintFigure(direct, "ms", "", 1e-3);
    PrintFigure("  through tdl0 / directly", PerRound({&bridged, &direct}, Ratio), "x");
    std::printf(
        "  the files: through tdl0 %s%llu bytes, %d key frames; directly %lld bytes, %lld key frames\n",
        read ? "" : "(unreadable) ", static_cast<unsigned long long>(bytes), keyFrames,
        static_cast<long long>(SendMessageA(helper, kBenchAviFacts, 0, 0)),
        static_cast<long long>(SendMessageA(helper, kBenchAviFacts, 1, 0)));
    PrintFigure(reader, "us");
    PrintFigure(readerDirect, "us");
    PrintFigure("  through tdl0 / directly", PerRound({&reader, &readerDirect}, Ratio), "x");
}

void RunSequenceFigures(HWND helper)
{
    const BenchCase& bench = kSequenceCase;
    std::vector<std::vector<uint8_t>> sources = ClipFrames(bench.clip);
    SequenceSeries series(bench, sources);
    if (!series.Open(SlotFourCC(kBridgeSlot))) {
        std::printf("ICSeqCompressFrameStart through tdl0 failed\n");
        return;
    }
    BenchFigure bridged {"through tdl0", [&] { return Timed([&] { return series.CompressNext(); }); }};
    BenchFigure direct {"directly in 32 bits",
                        [&] { return HelperMicroseconds(SendMessageA(helper, kBenchSequence, 0, 0)); }};
    int rounds = BenchRounds(kSequenceRounds);
    RunInterleaved({&bridged, &direct}, rounds, kSequenceCycles);
    std::printf("ICSeqCompressFrame, %s, a key frame every %d (%d rounds of %d shuffled cycles)\n",
                CaseName(bench).c_str(), bench.clip.keyInterval, rounds, kSequenceCycles);
    PrintFigure(bridged, "us/frame",
                "mean " + std::to_string(static_cast<long>(series.MeanBytes())) + " bytes");
    PrintFigure(direct, "us/frame",
                "mean " + std::to_string(static_cast<long>(SendMessageA(helper, kBenchSequenceBytes, 0, 0)))
                    + " bytes");
    PrintFigure("  through tdl0 / directly", PerRound({&bridged, &direct}, Ratio), "x", "goal <= 1.25");
    PrintFigure("  extra through tdl0", PerRound({&bridged, &direct}, Difference), "us/frame");
}

}

void RunClientFigures(BenchSetup& setup, HelperWindow& bare)
{
    if (!setup.SetSlotCodec(kBridgeSlot, kBenchRealCodec)) {
        std::printf("slot tdl0 could not be given mrle\n");
        return;
    }
    RunWriterFigures(bare.Window());
    RunSequenceFigures(bare.Window());
}
