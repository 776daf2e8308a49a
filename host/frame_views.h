#pragma once

#include <windows.h>

#include <cstdint>

#include "host/frame_place.h"
#include "host/mapping.h"

// The frame views of one series kind: the input view from which the codec
// reads frames and the output view into which it writes them, each a whole
// mapping that the client created, guarded behind (see mapping.h).
class FrameViews {
public:
    // The classic views "<mapping>FrameIn" and "<mapping>FrameOut", as large
    // as the headers of a BEGIN and the codec's largest compressed frame say
    // (FrameMappingSize). A view that cannot be opened is shown in message
    // boxes without an owner; both are closed then.
    bool OpenClassic(const char* mappingName, const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output,
                     uint64_t codecMaximum);

    // The views a client announced for a series kind and a generation
    // (FormatFrameViewName), whole and without message boxes. What was open
    // is closed first.
    bool OpenAnnounced(const char* mappingName, uint32_t kind, uint32_t generation);

    void Close();

    // The classic views count the bytes the BEGIN asked for, announced
    // views the whole mappings.
    FrameView In() const { return {static_cast<uint8_t*>(mcMapFrameIn.GetView()), inSize}; }
    FrameView Out() const { return {static_cast<uint8_t*>(mcMapFrameOut.GetView()), outSize}; }

private:
    CMapping mcMapFrameIn;
    CMapping mcMapFrameOut;
    uint64_t inSize = 0;
    uint64_t outSize = 0;
};
