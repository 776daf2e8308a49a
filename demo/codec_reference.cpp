// codec_reference.exe FCC WIDTH HEIGHT BITS FRAMES KEYINTERVAL OUTPUT
// codec_reference.exe /info FCC OUTPUT
//
// Runs the demo's codec session on the 32-bit codec FCC called directly in
// this process and writes the transcript to OUTPUT, for the bridge demo
// and the tests to compare with the same session through the bridge; its
// timing figures follow as the last step. With /info the transcript holds
// one step instead: the codec's own ICINFO, as the configuration tool asks
// for it, for the demo to describe a slot by.
// Exit codes: 0 done, 1 the codec does not open, 2 malformed arguments,
// 3 the transcript could not be written.

#include <windows.h>
#include <vfw.h>

#include <cstring>

#include "demo/codec_session.h"

namespace {

DWORD FourCCArgument(const char* text)
{
    return mmioFOURCC(text[0], text[1], text[2], text[3]);
}

int WriteInfo(const char* fcc, const char* output)
{
    HIC codec = ICOpen(ICTYPE_VIDEO, FourCCArgument(fcc), ICMODE_DECOMPRESS);
    if (codec == nullptr)
        return 1;
    ICINFO info = {};
    info.dwSize = sizeof info;
    Transcript transcript;
    AddStep(&transcript, kCodecInformationStep, static_cast<int32_t>(ICGetInfo(codec, &info, sizeof info)),
            &info, sizeof info);
    ICClose(codec);
    return WriteTranscript(output, transcript) ? 0 : 3;
}

}

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "/info") == 0 && std::strlen(argv[2]) == 4)
        return WriteInfo(argv[2], argv[3]);
    ClipSpec clip;
    if (argc != 8 || std::strlen(argv[1]) != 4 || !ParseClipArguments(argv + 2, &clip))
        return 2;
    HIC codec = ICOpen(ICTYPE_VIDEO, FourCCArgument(argv[1]), ICMODE_COMPRESS);
    if (codec == nullptr)
        return 1;
    Transcript transcript;
    SessionFigures figures;
    RunCodecSession(codec, clip, &transcript, &figures);
    ICClose(codec);
    AddFiguresStep(&transcript, figures);
    return WriteTranscript(argv[7], transcript) ? 0 : 3;
}
