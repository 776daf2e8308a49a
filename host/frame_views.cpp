#include "host/frame_views.h"

#include <cstdio>

#include "host/frame_size.h"
#include "host/host_protocol.h"

namespace {

void ClassicName(const char* mappingName, const char* suffix, char* name, size_t capacity)
{
    std::snprintf(name, capacity, "%s%s", mappingName, suffix);
}

}

bool FrameViews::OpenClassic(const char* mappingName, const BITMAPINFOHEADER& input,
                             const BITMAPINFOHEADER& output, uint64_t codecMaximum)
{
    char name[kMappingNameCapacity + sizeof kFrameOutSuffix];
    ClassicName(mappingName, kFrameInSuffix, name, sizeof name);
    uint64_t inputSize = FrameMappingSize(input);
    if (!mcMapFrameIn.Open(inputSize, name)) {
        char text[64];
        std::snprintf(text, sizeof text, "lpbiIn->biSizeImage=%d", static_cast<int>(input.biSizeImage));
        MessageBoxA(nullptr, text, name, MB_OK);
        MessageBoxA(nullptr, "mcMapFrameIn.Open", "Tandrel64.exe", MB_OK);
        return false;
    }
    ClassicName(mappingName, kFrameOutSuffix, name, sizeof name);
    uint64_t outputSize = FrameMappingSize(output, codecMaximum);
    if (!mcMapFrameOut.Open(outputSize, name)) {
        MessageBoxA(nullptr, "mcMapFrameOut.Open", "Tandrel64.exe", MB_OK);
        // Half a series is no series.
        Close();
        return false;
    }
    inSize = inputSize;
    outSize = outputSize;
    return true;
}

bool FrameViews::OpenAnnounced(const char* mappingName, uint32_t kind, uint32_t generation)
{
    Close();
    char inName[kMappingNameCapacity];
    char outName[kMappingNameCapacity];
    // Size 1: the whole mapping, guarded, whatever it holds.
    if (!FormatFrameViewName(inName, sizeof inName, mappingName, kind, generation, false)
        || !FormatFrameViewName(outName, sizeof outName, mappingName, kind, generation, true)
        || !mcMapFrameIn.Open(1, inName, false) || !mcMapFrameOut.Open(1, outName, false)) {
        Close();
        return false;
    }
    inSize = mcMapFrameIn.GetViewSize();
    outSize = mcMapFrameOut.GetViewSize();
    return true;
}

void FrameViews::Close()
{
    mcMapFrameIn.Close();
    mcMapFrameOut.Close();
    inSize = 0;
    outSize = 0;
}
