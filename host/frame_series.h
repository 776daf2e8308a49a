#pragma once

#include <windows.h>

#include <cstdint>

#include "host/header_check.h"

// What the host keeps of one open series: the BEGIN message that the codec
// accepted, its two formats and the view sizes the BEGIN needed. Frames of
// the series must keep those formats (FitsSeriesFormat).
struct FrameSeries {
    UINT begin = 0;
    BITMAPINFOHEADER input = {};
    BITMAPINFOHEADER output = {};
    uint64_t inputNeed = 0;
    uint64_t outputNeed = 0;

    bool IsOpen() const { return begin != 0; }
    bool Takes(const BITMAPINFOHEADER& frameInput, const BITMAPINFOHEADER& frameOutput) const
    {
        return IsOpen() && FitsSeriesFormat(input, frameInput) && FitsSeriesFormat(output, frameOutput);
    }
};
