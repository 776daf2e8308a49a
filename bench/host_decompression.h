#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "bench/decompress_series.h"
#include "bench/host_link.h"

// The client of the decompression figures: plays the client driver towards
// one host through the driver's own channel and request layouts, with a
// decompression series of one clip open, and takes a frame apart into what
// the driver does for it. Every operation gives its microseconds, negative
// when it failed.
class HostDecompression {
public:
    // The clip is the caller's and must outlive the object.
    explicit HostDecompression(const CompressedClip& clip);

    // Starts the host of `slot`, asks for the decompressed format, creates
    // the frame mappings and begins the series.
    bool Start(const char* slot);

    // A frame as the driver decompresses it: the compressed frame into the
    // input mapping, the program's picture into the output mapping (a frame
    // may change only part of it), the request, the picture back.
    double Frame();
    // The request alone, on the frame that lies in the input mapping (mrle
    // writes far past its picture for bytes that are no frame).
    double Request();
    // Each of the driver's copies alone.
    double CopyFrameIn();
    double CopyPictureIn();
    double CopyPictureBack();

    HostLink& Link() { return link_; }
    uint32_t PictureSize() const { return static_cast<uint32_t>(picture_.size()); }
    double MeanFrameSize() const;

private:
    // Decompresses the frame that lies in the input mapping.
    bool Decompress();
    // The next frame into the input mapping.
    void PutFrame();
    void PutPicture();
    void CopyBack();

    const CompressedClip& clip_;
    HostLink link_;
    BenchFormat output_ = {};
    std::vector<uint8_t> picture_;
    size_t next_ = 0;
    size_t lying_ = 0;
};
