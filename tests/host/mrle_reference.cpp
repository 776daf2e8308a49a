// Runs the mrle round trip of mrle_scenario.h with the codec called
// directly in this 32-bit process, in a parameter area laid out like the
// host's (64 KB, the area 32 bytes in), and writes the transcript to the
// file named by the first argument. Exit code 0 when the codec opened.

#include <windows.h>
#include <vfw.h>

#include "mrle_scenario.h"

int main(int argc, char** argv)
{
    HIC codec = ICOpen(ICTYPE_VIDEO, kMrleFcc, ICMODE_COMPRESS);
    if (argc < 2 || codec == nullptr)
        return 1;
    uint8_t* block
        = static_cast<uint8_t*>(VirtualAlloc(nullptr, 0x10000, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    uint8_t* area = block + 32;
    std::vector<uint8_t> frameIn;
    std::vector<uint8_t> frameOut;
    MrleSide side;
    side.area = area;
    side.frames = [&](uint32_t inputSize, uint32_t outputSize) {
        frameIn.assign(inputSize, 0);
        frameOut.assign(outputSize, 0);
        side.frameIn = frameIn.data();
        side.frameOut = frameOut.data();
        return true;
    };
    // The pointers the host puts into each message, here into this area.
    side.send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR dw1 = reinterpret_cast<DWORD_PTR>(area);
        DWORD_PTR dw2 = 0;
        if (message == ICM_GETDEFAULTQUALITY) {
            dw1 = wParam != 0 ? dw1 : 0;
        } else if (message == ICM_COMPRESS_GET_FORMAT || message == ICM_COMPRESS_BEGIN
                   || message == ICM_DECOMPRESS_BEGIN) {
            dw2 = lParam != 0 || message != ICM_COMPRESS_GET_FORMAT ? dw1 + 40 : 0;
        } else if (message == ICM_COMPRESS) {
            ICCOMPRESS* record = reinterpret_cast<ICCOMPRESS*>(area);
            record->lpbiInput = reinterpret_cast<BITMAPINFOHEADER*>(area + 48);
            record->lpbiOutput = reinterpret_cast<BITMAPINFOHEADER*>(area + 88);
            record->lpInput = side.frameIn;
            record->lpOutput = side.frameOut;
            record->lpckid = reinterpret_cast<DWORD*>(area + 128);
            record->lpdwFlags = reinterpret_cast<DWORD*>(area + 132);
            dw2 = lParam;
        } else if (message == ICM_DECOMPRESS) {
            ICDECOMPRESS* record = reinterpret_cast<ICDECOMPRESS*>(area);
            record->lpbiInput = reinterpret_cast<BITMAPINFOHEADER*>(area + 24);
            record->lpbiOutput = reinterpret_cast<BITMAPINFOHEADER*>(area + 64);
            record->lpInput = side.frameIn;
            record->lpOutput = side.frameOut;
            dw2 = lParam;
        } else {
            dw1 = 0;
        }
        return static_cast<int32_t>(ICSendMessage(codec, message, dw1, dw2));
    };
    MrleTranscript transcript = RunMrleScenario(side);
    ICClose(codec);
    return WriteTranscript(argv[1], transcript) ? 0 : 3;
}
