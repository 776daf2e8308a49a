#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

#include "bench/bench_cases.h"

// A workload's frames compressed as key frames, with their format; the
// format's biSizeImage is the largest frame, so that a series begun with it
// serves every frame.
struct CompressedClip {
    BenchFormat format = {};
    std::vector<std::vector<uint8_t>> frames;
};

// Compresses the workload's frames with the codec `fccHandler`; false when
// the codec refuses.
bool CompressClip(const BenchCase& bench, DWORD fccHandler, CompressedClip* clip);

// One decompression series through the ordinary VfW calls, as a player
// makes them: ICOpen, the decompressed format, ICDecompressBegin, then one
// frame after the other into the same picture. The same code runs in the
// 64-bit benchmark through a slot of the bridge and in the 32-bit helper on
// the codec itself.
class DecompressSeries {
public:
    // The clip is the caller's and must outlive the series.
    explicit DecompressSeries(const CompressedClip& clip);
    DecompressSeries(const DecompressSeries&) = delete;
    DecompressSeries& operator=(const DecompressSeries&) = delete;
    // Ends the series and closes the codec.
    ~DecompressSeries();

    // Opens the codec `fccHandler`, asks for the decompressed format and
    // begins the series; false when any step fails.
    bool Open(DWORD fccHandler);
    bool Begin();
    bool End();
    // Decompresses the next frame into the series' picture, or from
    // `input` (which must hold the frame) into `picture`.
    bool DecompressNext();
    bool DecompressNext(uint8_t* input, uint8_t* picture);

    // The compressed bytes of the next frame, and the picture's bytes.
    const std::vector<uint8_t>& NextFrame() const { return clip_.frames[next_ % clip_.frames.size()]; }
    uint32_t PictureSize() const { return static_cast<uint32_t>(picture_.size()); }
    HIC Codec() const { return codec_; }

private:
    const CompressedClip& clip_;
    HIC codec_ = nullptr;
    bool begun_ = false;
    BenchFormat output_ = {};
    std::vector<uint8_t> picture_;
    size_t next_ = 0;
};
