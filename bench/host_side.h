#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

#include "bench/bench_cases.h"
#include "bench/host_link.h"
#include "driver/request_layout.h"

// The client of the codec host's figures: plays the client driver towards
// one host through the driver's own channel and request layouts, with the
// same time limits, and keeps a compression series of the host workload
// open. Every operation is one request (or the client's part of one) and
// gives its microseconds, negative when it failed.
class HostSide {
public:
    // The frames are the caller's and must outlive the object.
    explicit HostSide(const std::vector<std::vector<uint8_t>>& sources);

    // Starts the host of `slot`, asks for the compressed format, creates
    // the frame mappings and begins the series.
    bool Start(const char* slot);

    double NullRoundTrip() { return link_.NullRoundTrip(); }
    // The default quality through the host's private copy of ParamArea.
    double QualityRequest();
    // One compression request on the frames as they lie in the mappings.
    double FrameRequest();
    // A frame as the driver compresses it: copied in, the request, the
    // compressed bytes copied out.
    double Frame();
    // The driver's two copies of a frame alone.
    double Copies();
    // The same copies, untimed: the next frame in, and as many bytes out as
    // the frames so far gave on average.
    void CopyIn();
    void CopyOut();
    double Begin();
    double End();

    HWND Window() const { return link_.Window(); }
    HANDLE Process() { return link_.Process(); }
    const char* MappingName() const { return link_.MappingName(); }
    double MeanCompressedSize() const { return frames_ != 0 ? bytes_ / frames_ : 0; }

private:
    bool Compress(CompressResults* results);

    const std::vector<std::vector<uint8_t>>& sources_;
    HostLink link_;
    HostChannel& channel_;
    BenchFormat input_;
    BenchFormat output_ = {};
    std::vector<uint8_t> compressed_;
    int next_ = 0;
    double bytes_ = 0;
    double frames_ = 0;
};
