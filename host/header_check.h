#pragma once

#include <windows.h>

// Judgements on bitmap headers that the client wrote, before a codec sees
// them: codecs trust their headers, and one that no bitmap can have (a
// colour table larger than its bit depth allows, say) overruns their
// buffers.

// True when the header can describe a bitmap: at least a
// BITMAPINFOHEADER, a positive width, a height, no more colours than 1- to
// 8-bit pixels can index, RGB at 1, 4, 8, 16, 24 or 32 bits, bit fields at
// 16 or 32. What is unusual but harmless to the host (biPlanes other than 1,
// a biSizeImage larger than the bitmap, which the views then hold) is left
// to the codec's own answer.
bool IsBitmapHeader(const BITMAPINFOHEADER& header);

// True when a frame's header has the format `series` began its series
// with: the same dimensions, bit depth and compression, and no more
// colours.
bool FitsSeriesFormat(const BITMAPINFOHEADER& series, const BITMAPINFOHEADER& frame);
