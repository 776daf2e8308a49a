#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/bench_cases.h"

// What real programs do with a compressor, run the same way in the 64-bit
// benchmark through a slot of the bridge and in the 32-bit helper on the
// codec itself.

// Wine's AVIFile writer as a program uses it: a new file, a video stream,
// AVIMakeCompressedStream with key frames every keyInterval frames and the
// codec's default quality, the input format, then every frame with
// AVIStreamWrite. False when any step fails.
bool WriteAviClip(DWORD fccHandler, const BenchCase& bench, const std::vector<std::vector<uint8_t>>& frames,
                  const std::string& path);

// The file's size and how many frames of its video stream are key frames;
// false when it does not open.
bool ReadAviFacts(const std::string& path, uint64_t* bytes, int* keyFrames);

// Wine's AVIFile reader as a player opens a file for its frames: the file,
// its video stream and AVIStreamGetFrameOpen, which finds a decompressor
// with ICLocate; then all of it closed again. False when a step fails.
bool OpenFrameReader(const std::string& path);

// A file in the temporary folder named for this process.
std::string BenchAviPath();

// The clip's frames in order, as a writer gets them.
std::vector<std::vector<uint8_t>> ClipFrames(const ClipSpec& clip);

// ICSeqCompressFrameStart, then ICSeqCompressFrame for one frame after the
// other (a key frame every keyInterval frames), as a capture program does.
class SequenceSeries {
public:
    // The frames are the caller's and must outlive the series.
    SequenceSeries(const BenchCase& bench, const std::vector<std::vector<uint8_t>>& sources);
    SequenceSeries(const SequenceSeries&) = delete;
    SequenceSeries& operator=(const SequenceSeries&) = delete;
    // Ends the sequence and closes the codec.
    ~SequenceSeries();

    bool Open(DWORD fccHandler);
    bool CompressNext();
    double MeanBytes() const { return frames_ != 0 ? bytes_ / frames_ : 0; }

private:
    const BenchCase& bench_;
    const std::vector<std::vector<uint8_t>>& sources_;
    std::vector<uint8_t> input_;
    COMPVARS vars_ = {};
    bool started_ = false;
    size_t next_ = 0;
    double bytes_ = 0;
    double frames_ = 0;
};
