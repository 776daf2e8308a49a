#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo/clip.h"

// What both halves of the benchmark share: the messages of the 32-bit
// helper's window, the workloads (a codec and a clip of the demo's frames)
// and the clock.

// Messages of the helper's window (bench_helper.cpp). The timing ones
// answer tenths of a microsecond measured inside the helper, or -1.
const UINT kBenchPing = WM_USER + 30; // answers 1
const UINT kBenchDirect = WM_USER + 31; // wParam: case; compresses its next frame
const UINT kBenchFirstFrame = WM_USER + 32; // wParam: case; ICOpen to the first frame
const UINT kBenchListing = WM_USER + 33; // wParam: n; n times ICOpen (query), ICGetInfo, ICClose of mrle
const UINT kBenchDecompress = WM_USER + 34; // wParam: decompression case; decompresses its next frame
const UINT kBenchDecompressOnViews = WM_USER + 35; // the same, from and into views of file mappings
const UINT kBenchAviWriter = WM_USER + 36; // Wine's AVIFile writer: the whole clip into a file
const UINT kBenchAviFacts = WM_USER + 37; // wParam 0: that file's bytes; 1: its key frames
const UINT kBenchSequence = WM_USER + 38; // ICSeqCompressFrame: its next frame
const UINT kBenchSequenceBytes = WM_USER + 39; // the mean bytes of its frames so far
const UINT kBenchTryCodec = WM_USER + 40; // wParam: case, lParam: n; n times TryCodec on its codec
const UINT kBenchAviReader = WM_USER + 41; // the writer's file opened for frames (OpenFrameReader)

// The recording test codec registered under the benchmark's own FourCC:
// PackBits on RGB24, done the same way in both processes.
const char kBenchTestCodec[] = "tbnc";
// Wine's own run-length codec: a real codec, for 8-bit palettized frames.
const char kBenchRealCodec[] = "mrle";

struct BenchCase {
    const char* fcc;
    ClipSpec clip;
};

// 0 is the codec host's workload; the others are compressed through slot
// tdl0.
const BenchCase kBenchCases[] = {
    {kBenchTestCodec, {640, 480, 24, 1, 1}},  {kBenchRealCodec, {640, 480, 8, 1, 1}},
    {kBenchRealCodec, {1920, 1080, 8, 1, 1}}, {kBenchRealCodec, {3840, 2160, 8, 1, 1}},
    {kBenchTestCodec, {640, 480, 24, 1, 1}},  {kBenchTestCodec, {1920, 1080, 24, 1, 1}},
};
const int kBenchCaseCount = sizeof kBenchCases / sizeof kBenchCases[0];
const int kHostCase = 0;

// Decompressed through slot tdl0, and on the driver's channel: key frames
// of Wine's mrle into a picture of the source's format, as a player shows
// a clip.
const BenchCase kDecompressionCases[] = {
    {kBenchRealCodec, {640, 480, 8, 1, 1}},
    {kBenchRealCodec, {1920, 1080, 8, 1, 1}},
    {kBenchRealCodec, {3840, 2160, 8, 1, 1}},
};
const int kDecompressionCaseCount = sizeof kDecompressionCases / sizeof kDecompressionCases[0];

// Codecs tried as a program that looks for one tries them: Wine's mrle, and
// the recording test codec made as slow to open as a real MPEG-4 codec.
const int kTryCases[] = {1, 4};
const DWORD kSlowOpenMs = 13;

// The real clients, on the clip's frames in order: Wine's AVIFile writer
// compressing the whole clip to a file, and ICSeqCompressFrame one frame
// after the other, the frames over and over; both with a key frame every
// keyInterval frames. The writer keeps every frame a key frame: for any
// other interval it also begins a decompression on the compressor's
// instance for a temporal codec, which mrle refuses, so that the file is
// never written when mrle is called directly.
const BenchCase kAviWriterCase = {kBenchRealCodec, {640, 480, 8, 100, 1}};
const BenchCase kSequenceCase = {kBenchRealCodec, {1920, 1080, 8, 8, 25}};

// Every workload cycles through this many different frames, each compressed
// as a key frame.
const int kBenchSources = 8;

std::vector<std::vector<uint8_t>> BenchSources(const BenchCase& bench);

// "mrle 640x480 8-bit".
std::string CaseName(const BenchCase& bench);

// A BITMAPINFOHEADER with room for a full colour table behind it.
struct BenchFormat {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};
BenchFormat BenchInputFormat(const BenchCase& bench);

// Microseconds on the performance counter.
double BenchMicroseconds();

// The microseconds `work` took, or -1 when it failed (gave false).
template <typename Work>
double Timed(Work work)
{
    double start = BenchMicroseconds();
    bool done = work();
    double took = BenchMicroseconds() - start;
    return done ? took : -1;
}

// An answer of the helper in microseconds: negative when it failed.
inline double HelperMicroseconds(LRESULT tenths)
{
    return static_cast<int32_t>(tenths) / 10.0;
}
