// bridge_demo.exe [/assign]
//
// A 64-bit program using a 32-bit codec through the bridge: opens slot
// tdl0 with ICOpen, compresses a generated clip with ICCompress,
// decompresses it again, compares every answer with the same codec called
// directly in a 32-bit process (codec_reference.exe) and prints frames,
// bytes and the frames per second of both. /assign first sets tdl0 up for
// Wine's mrle codec. Exit code 0 when the bridge gave the codec's own bytes.

#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstring>

#include "catalogue/fourcc.h"
#include "demo/codec_session.h"
#include "demo/demo_slot.h"
#include "demo/reference_run.h"
#include "driver/slot_config.h"

namespace {

const ClipSpec kClip = {320, 240, 8, 100, 25};
const DWORD kReferenceTimeoutMs = 120000;

void PrintSlot(HIC codec)
{
    ICINFO info = {};
    ICGetInfo(codec, &info, sizeof info);
    std::printf("Slot tdl0: %ls - %ls\n", info.szName, info.szDescription);
}

double FramesPerSecond(int frames, double seconds)
{
    return seconds > 0 ? frames / seconds : 0;
}

// The bridge's frame rates beside those of the codec called directly, when
// the reference program ran.
void PrintFigures(const SessionFigures& bridged, const SessionFigures* direct)
{
    std::printf(
        "Clip: %d frames of %dx%d, %d-bit palettized, %lu bytes, compressed to %lu bytes (%d key frames)\n",
        bridged.frames, kClip.width, kClip.height, kClip.bitCount,
        static_cast<unsigned long>(bridged.rawBytes), static_cast<unsigned long>(bridged.compressedBytes),
        bridged.keyFrames);
    std::printf("Frames per second   through the bridge   called directly in 32 bits\n");
    const char* names[2] = {"compressed", "decompressed"};
    double seconds[2][2] = {
        {bridged.compressSeconds, bridged.decompressSeconds},
        {direct != nullptr ? direct->compressSeconds : 0, direct != nullptr ? direct->decompressSeconds : 0}};
    for (int row = 0; row < 2; ++row) {
        std::printf("  %-16s %20.1f", names[row], FramesPerSecond(bridged.frames, seconds[0][row]));
        if (direct != nullptr)
            std::printf(" %28.1f\n", FramesPerSecond(direct->frames, seconds[1][row]));
        else
            std::printf(" %28s\n", "-");
    }
}

int Compare(const Transcript& bridged, const SessionFigures& figures)
{
    SlotSettings slot;
    ReadSlotSettings(0, &slot);
    char fcc[kFourCCTextCapacity];
    FourCCToText(slot.dwFcc, fcc);
    Transcript direct;
    SessionFigures directFigures;
    if (!RunReference(fcc, kClip, kReferenceTimeoutMs, &direct, &directFigures)) {
        PrintFigures(figures, nullptr);
        std::printf("The codec %s could not be called directly in a 32-bit process.\n", fcc);
        return 1;
    }
    PrintFigures(figures, &directFigures);
    int difference = FirstDifference(bridged, direct);
    if (difference >= 0) {
        std::printf(
            "Called directly, the codec %s answers otherwise, from step %d (%s) on.\n", fcc, difference,
            static_cast<size_t>(difference) < bridged.size() ? bridged[difference].what.c_str() : "end");
        return 1;
    }
    std::printf(
        "Called directly in a 32-bit process, the codec %s gave the same %u answers, byte for byte.\n", fcc,
        static_cast<unsigned>(direct.size()));
    return 0;
}

}

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "/assign") == 0 && !AssignDemoSlot()) {
        std::printf("Slot tdl0 could not be set up.\n");
        return 1;
    }
    HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(0), ICMODE_COMPRESS);
    if (codec == nullptr) {
        std::printf("Slot tdl0 does not open: is it registered, switched on and given a codec?\n");
        return 1;
    }
    PrintSlot(codec);
    Transcript bridged;
    SessionFigures figures;
    RunCodecSession(codec, kClip, &bridged, &figures);
    ICClose(codec);
    return Compare(bridged, figures);
}
