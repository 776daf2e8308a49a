#include "host/codec_host.h"

#include <cstdio>

#include "host/frame_size.h"
#include "host/header_check.h"

namespace {

void FrameMappingName(const char* mappingName, const char* suffix, char* name, size_t capacity)
{
    std::snprintf(name, capacity, "%s%s", mappingName, suffix);
}

uint32_t Address(const void* pointer)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// True when `size` bytes at `address` lie inside the `viewSize` bytes at `view`.
bool InsideView(uint32_t address, uint64_t size, const void* view, uint64_t viewSize)
{
    uint32_t offset = address - Address(view);
    return view != nullptr && offset <= viewSize && size <= viewSize - offset;
}

}

// Both views are as large as the frames of the series can be: the codec
// reads and writes through their addresses, and a write past one faults.
int CCodecHost::OpenFrameMappings(const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output,
                                  uint64_t codecMaximum)
{
    char name[kMappingNameCapacity + sizeof kFrameOutSuffix];
    FrameMappingName(mappingName, kFrameInSuffix, name, sizeof name);
    uint64_t inputSize = FrameMappingSize(input);
    if (!mcMapFrameIn.Open(inputSize, name)) {
        char text[64];
        std::snprintf(text, sizeof text, "lpbiIn->biSizeImage=%d", static_cast<int>(input.biSizeImage));
        MessageBoxA(nullptr, text, name, MB_OK);
        MessageBoxA(nullptr, "mcMapFrameIn.Open", "Tandrel64.exe", MB_OK);
        return 0;
    }
    FrameMappingName(mappingName, kFrameOutSuffix, name, sizeof name);
    uint64_t outputSize = FrameMappingSize(output, codecMaximum);
    if (!mcMapFrameOut.Open(outputSize, name)) {
        MessageBoxA(nullptr, "mcMapFrameOut.Open", "Tandrel64.exe", MB_OK);
        // Half a series is no series.
        mcMapFrameIn.Close();
        return 0;
    }
    frameInSize = inputSize;
    frameOutSize = outputSize;
    return 1;
}

void CCodecHost::EndSeries()
{
    mcMapFrameIn.Close();
    mcMapFrameOut.Close();
    seriesBegin = 0;
    frameInSize = 0;
    frameOutSize = 0;
}

// A frame request belongs to the open series of its kind and has its
// formats; its frames fit the views.
bool CCodecHost::FramesFit(UINT begin, const ParamPlaces& places)
{
    BITMAPINFOHEADER input;
    BITMAPINFOHEADER output;
    return seriesBegin == begin && ReadHeader(params, places.input, &input)
        && ReadHeader(params, places.output, &output) && FitsSeriesFormat(seriesInput, input)
        && FitsSeriesFormat(seriesOutput, output) && FrameExtent(input) <= frameInSize
        && FrameExtent(output) <= frameOutSize;
}

// The previous frame of temporal compression: its header must lie in
// ParamArea (the codec gets it from the private copy) and have the series'
// input format, its pixels inside a frame view. 0 passes as 0.
bool CCodecHost::PlacePrevious(IcCompress32* record)
{
    if (record->lpbiPrev != 0) {
        uint32_t offset = record->lpbiPrev - Address(paramArea);
        BITMAPINFOHEADER previous;
        if (offset >= kParamAreaSize || !HeaderFits(params, offset, &previous)
            || !FitsSeriesFormat(seriesInput, previous))
            return false;
        record->lpbiPrev = static_cast<uint32_t>(Param(offset));
    }
    return record->lpPrev == 0 || InsideFrameView(record->lpPrev, FrameExtent(seriesInput));
}

bool CCodecHost::InsideFrameView(uint32_t address, uint64_t size) const
{
    return InsideView(address, size, mcMapFrameIn.GetView(), frameInSize)
        || InsideView(address, size, mcMapFrameOut.GetView(), frameOutSize);
}
