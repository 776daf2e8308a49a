#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

#include "bench/bench_cases.h"

// One compression series through the ordinary VfW calls, as a program makes
// them: ICOpen, the default quality, the compressed format and the largest
// frame, ICCompressBegin, then one key frame after the other. The same code
// runs in the 64-bit benchmark through a slot of the bridge and in the
// 32-bit helper on the codec itself.
class CodecSeries {
public:
    // The frames are the caller's and must outlive the series.
    CodecSeries(const BenchCase& bench, const std::vector<std::vector<uint8_t>>& sources);
    CodecSeries(const CodecSeries&) = delete;
    CodecSeries& operator=(const CodecSeries&) = delete;
    // Ends the series and closes the codec.
    ~CodecSeries();

    // Opens the codec `fccHandler` and begins the series; false when any
    // step fails.
    bool Open(DWORD fccHandler);
    // Compresses the next frame; false when the codec refuses it.
    bool CompressNext();
    // The compressed bytes of the last frame, and their format.
    uint32_t LastSize() const { return lastSize_; }
    const uint8_t* LastFrame() const { return compressed_.data(); }
    const BenchFormat& Format() const { return output_; }

private:
    const BenchCase& bench_;
    const std::vector<std::vector<uint8_t>>& sources_;
    HIC codec_ = nullptr;
    bool begun_ = false;
    DWORD quality_ = 0;
    BenchFormat input_;
    BenchFormat output_ = {};
    std::vector<uint8_t> compressed_;
    int next_ = 0;
    uint32_t lastSize_ = 0;
};

// What a program does to show one codec in a list: ICOpen in query mode,
// ICGetInfo, ICClose. False when the codec does not open or tells nothing.
bool ListCodecInfo(DWORD fccHandler, ICINFO* info);

// What a program that looks for a codec does with each one it tries (Wine's
// ICLocate, a compressor chooser): ICOpen for decompression, a
// decompression query of `bench`'s compressed frames, a compression query
// of its pictures, ICClose. False when the codec does not open or refuses.
bool TryCodec(DWORD fccHandler, const BenchCase& bench);
