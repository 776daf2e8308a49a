// codec_reference.exe FCC WIDTH HEIGHT BITS FRAMES KEYINTERVAL OUTPUT
//
// Runs the demo's codec session on the 32-bit codec FCC called directly in
// this process and writes the transcript to OUTPUT, for the bridge demo
// and the tests to compare with the same session through the bridge; its
// timing figures follow as the last step.
// Exit codes: 0 done, 1 the codec does not open, 2 malformed arguments,
// 3 the transcript could not be written.

#include <windows.h>
#include <vfw.h>

#include <cstring>

#include "demo/codec_session.h"

int main(int argc, char** argv)
{
    ClipSpec clip;
    if (argc != 8 || std::strlen(argv[1]) != 4 || !ParseClipArguments(argv + 2, &clip))
        return 2;
    HIC codec
        = ICOpen(ICTYPE_VIDEO, mmioFOURCC(argv[1][0], argv[1][1], argv[1][2], argv[1][3]), ICMODE_COMPRESS);
    if (codec == nullptr)
        return 1;
    Transcript transcript;
    SessionFigures figures;
    RunCodecSession(codec, clip, &transcript, &figures);
    ICClose(codec);
    AddFiguresStep(&transcript, figures);
    return WriteTranscript(argv[7], transcript) ? 0 : 3;
}
