#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "host/frame_size.h"
#include "host/header_check.h"

// What the host keeps of one open series: the BEGIN message that the codec
// accepted, its two formats and the bytes its frames take in the views:
// the input's extent, and the output's or the codec's largest compressed
// frame, whichever is larger.
//
// A frame's own headers may differ from the BEGIN's: they are the codec's
// business. A codec set up by the BEGIN may still read and write as much as
// the BEGIN's formats take, so each frame gets room for the larger of its
// own extent and the BEGIN's.
struct FrameSeries {
    UINT begin = 0;
    BITMAPINFOHEADER input = {};
    BITMAPINFOHEADER output = {};
    uint64_t inputNeed = 0;
    uint64_t outputNeed = 0;

    bool IsOpen() const { return begin != 0; }
    // True when the BEGIN's reckoning of the codec's largest frame holds
    // for the frame's headers too.
    bool Keeps(const BITMAPINFOHEADER& frameInput, const BITMAPINFOHEADER& frameOutput) const
    {
        return FitsSeriesFormat(input, frameInput) && FitsSeriesFormat(output, frameOutput);
    }
    uint64_t InputRoom(const BITMAPINFOHEADER& frameInput) const
    {
        return std::max(FrameExtent(frameInput), inputNeed);
    }
    uint64_t OutputRoom(const BITMAPINFOHEADER& frameOutput) const
    {
        return std::max(FrameExtent(frameOutput), outputNeed);
    }
};
