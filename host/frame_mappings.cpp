#include "host/codec_host.h"

#include <cstdio>

#include "host/frame_size.h"

namespace {

void FrameMappingName(const char* mappingName, const char* suffix, char* name, size_t capacity)
{
    std::snprintf(name, capacity, "%s%s", mappingName, suffix);
}

}

int CCodecHost::OpenFrameMappings(const ParamPlaces& places)
{
    CloseFrameMappings();
    BITMAPINFOHEADER input;
    BITMAPINFOHEADER output;
    ReadHeader(paramArea, places.input, &input);
    ReadHeader(paramArea, places.output, &output);

    char name[kMappingNameCapacity + sizeof kFrameOutSuffix];
    FrameMappingName(mappingName, kFrameInSuffix, name, sizeof name);
    uint64_t inputSize = FrameViewSize(input);
    if (!mcMapFrameIn.Open(inputSize, name)) {
        char text[64];
        std::snprintf(text, sizeof text, "lpbiIn->biSizeImage=%d", static_cast<int>(input.biSizeImage));
        MessageBoxA(nullptr, text, name, MB_OK);
        MessageBoxA(nullptr, "mcMapFrameIn.Open", "Tandrel64.exe", MB_OK);
        return 0;
    }
    frameInSize = inputSize;

    FrameMappingName(mappingName, kFrameOutSuffix, name, sizeof name);
    uint64_t outputSize = FrameViewSize(output);
    if (!mcMapFrameOut.Open(outputSize, name)) {
        MessageBoxA(nullptr, "mcMapFrameOut.Open", "Tandrel64.exe", MB_OK);
        return 0;
    }
    frameOutSize = outputSize;
    return 1;
}

void CCodecHost::CloseFrameMappings()
{
    mcMapFrameIn.Close();
    mcMapFrameOut.Close();
    frameInSize = 0;
    frameOutSize = 0;
}

bool CCodecHost::SeriesOpen() const
{
    return mcMapFrameIn.GetView() != nullptr && mcMapFrameOut.GetView() != nullptr;
}

// The headers of a frame request must not describe more than the views of
// the BEGIN hold: the codec reads and writes through the views' addresses.
bool CCodecHost::FramesFit(const ParamPlaces& places) const
{
    BITMAPINFOHEADER input;
    BITMAPINFOHEADER output;
    ReadHeader(paramArea, places.input, &input);
    ReadHeader(paramArea, places.output, &output);
    return FrameExtent(input) <= frameInSize && FrameExtent(output) <= frameOutSize;
}
