// bridge_demo.exe [/assign]
//
// A 64-bit program using a 32-bit codec through the bridge: opens slot
// tdl0 with ICOpen, compresses a generated clip with ICCompress,
// decompresses it again, compares every answer with the same codec called
// directly in a 32-bit process (codec_reference.exe) and prints frames,
// bytes and the frames per second of both. Then Wine's AVIFile writer and the sequence
// compression calls compress the clip through tdl0, and the messages
// programs send besides frames go to it, compared in the same way. /assign first sets tdl0 up for Wine's mrle
// codec. Exit code 0 when the bridge gave the codec's own bytes.

#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/fourcc.h"
#include "demo/client_sessions.h"
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

// Runs the same session on the slot's codec directly; 0 when it answered
// the same. The codec session's own figures, when given, are printed
// beside those of the codec called directly.
int Compare(const Transcript& bridged, std::vector<std::string> session,
            const SessionFigures* bridgedFigures = nullptr)
{
    SlotSettings slot;
    ReadSlotSettings(0, &slot);
    char fcc[kFourCCTextCapacity];
    FourCCToText(slot.dwFcc, fcc);
    session[1] = fcc;
    Transcript direct;
    SessionFigures directFigures;
    bool ran = RunReference(session, kReferenceTimeoutMs, &direct, &directFigures);
    if (bridgedFigures != nullptr)
        PrintFigures(*bridgedFigures, ran ? &directFigures : nullptr);
    if (!ran) {
        std::printf("The codec %s could not be called directly in a 32-bit process.\n", fcc);
        return 1;
    }
    int difference = FirstDifference(bridged, direct);
    if (difference >= 0) {
        std::printf(
            "  Called directly, the codec %s answers otherwise, from step %d (%s) on.\n", fcc, difference,
            static_cast<size_t>(difference) < bridged.size() ? bridged[difference].what.c_str() : "end");
        return 1;
    }
    std::printf(
        "  Called directly in a 32-bit process, the codec %s gave the same %u answers, byte for byte.\n", fcc,
        static_cast<unsigned>(direct.size()));
    return 0;
}

// Real programs' ways through tdl0: Wine's AVIFile writer asked for a
// data rate, the sequence compression calls, and what programs send
// besides frames.
int CompareClients()
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "tandrel-demo.avi";
    const std::vector<std::vector<std::string>> sessions = {
        {"avi-write", "tdl0", file, "8", "0", "100000"},
        {"seq-compress", "tdl0", file, "8", "5"},
        {"messages", "tdl0", "8"},
    };
    int failures = 0;
    for (const std::vector<std::string>& session : sessions) {
        Transcript bridged;
        RunClientSession(session, &bridged);
        std::printf("%s through tdl0: %u answers\n", session[0].c_str(),
                    static_cast<unsigned>(bridged.size()));
        failures += Compare(bridged, session);
    }
    DeleteFileA(file.c_str());
    return failures == 0 ? 0 : 1;
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
    std::vector<std::string> session = {"codec-session", "tdl0"};
    for (int value : {kClip.width, kClip.height, kClip.bitCount, kClip.frames, kClip.keyInterval})
        session.push_back(std::to_string(value));
    int sessionResult = Compare(bridged, session, &figures);
    return CompareClients() | sessionResult;
}
