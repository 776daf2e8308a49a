#include "catalogue/codec_info.h"

#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "catalogue/codec_catalogue.h"
#include "catalogue/codec_open.h"
#include "catalogue/codec_text.h"

namespace {

void SetEmpty(char* text)
{
    if (text != nullptr)
        text[0] = '\0';
}

void ConvertInto(const WCHAR* wide, int wideCapacity, char* text)
{
    if (text != nullptr)
        CodecTextToAnsi(CP_ACP, wide, wideCapacity, text);
}

BITMAPINFOHEADER ProbeInput(WORD bitCount, DWORD compression, DWORD sizeImage)
{
    BITMAPINFOHEADER input = {};
    input.biSize = sizeof input;
    input.biWidth = 320;
    input.biHeight = 240;
    input.biPlanes = 1;
    input.biBitCount = bitCount;
    input.biCompression = compression;
    input.biSizeImage = sizeImage;
    return input;
}

// The compressed format the codec gives for one input, or false.
bool OutputFormatFor(HIC codec, BITMAPINFOHEADER* input, uint32_t* outputFcc)
{
    LRESULT size = ICSendMessage(codec, ICM_COMPRESS_GET_FORMAT, reinterpret_cast<DWORD_PTR>(input), 0);
    if (size <= 0)
        return false;
    // Never smaller than the header that is read from it, whatever the codec
    // claimed to need.
    size_t capacity = static_cast<size_t>(size) < sizeof(BITMAPINFOHEADER) ? sizeof(BITMAPINFOHEADER)
                                                                           : static_cast<size_t>(size);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[capacity]());
    if (!buffer)
        return false;
    if (ICSendMessage(codec, ICM_COMPRESS_GET_FORMAT, reinterpret_cast<DWORD_PTR>(input),
                      reinterpret_cast<DWORD_PTR>(buffer.get()))
        != ICERR_OK)
        return false;
    *outputFcc = reinterpret_cast<const BITMAPINFOHEADER*>(buffer.get())->biCompression;
    return true;
}

void SetValue(uint32_t* field, uint32_t value)
{
    if (field != nullptr)
        *field = value;
}

}

bool GetCodecInfo(uint32_t fcc, char* name, char* version, char* description, char* driver, uint32_t* flags,
                  uint32_t* versionICM)
{
    SetEmpty(name);
    SetEmpty(version);
    SetEmpty(description);
    SetEmpty(driver);
    SetValue(flags, 0);
    SetValue(versionICM, 0);
    HIC codec = OpenCodecKeptLoaded(ICTYPE_VIDEO, fcc, ICMODE_DECOMPRESS);
    if (codec == nullptr)
        return false;
    ICINFO info = {};
    info.dwSize = sizeof info;
    if (ICGetInfo(codec, &info, sizeof info) > 0) {
        ConvertInto(info.szDescription, sizeof info.szDescription / sizeof(WCHAR), description);
        ConvertInto(info.szDriver, sizeof info.szDriver / sizeof(WCHAR), driver);
        ConvertInto(info.szName, sizeof info.szName / sizeof(WCHAR), name);
    }
    if (version != nullptr)
        std::snprintf(version, kCodecTextCapacity, "%d", static_cast<int>(info.dwVersion));
    SetValue(flags, info.dwFlags);
    SetValue(versionICM, info.dwVersionICM);
    CloseCodecKeptLoaded(codec);
    return true;
}

bool ProbeOutputFourCC(uint32_t fcc, uint32_t* outputFcc)
{
    *outputFcc = 0;
    HIC codec = OpenCodecKeptLoaded(ICTYPE_VIDEO, fcc, ICMODE_COMPRESS);
    if (codec == nullptr)
        return false;
    BITMAPINFOHEADER inputs[] = {
        ProbeInput(32, BI_RGB, 307200),
        ProbeInput(24, BI_RGB, 230400),
        ProbeInput(16, mmioFOURCC('Y', 'U', 'Y', '2'), 153600),
    };
    bool found = false;
    for (BITMAPINFOHEADER& input : inputs) {
        if ((found = OutputFormatFor(codec, &input, outputFcc)))
            break;
    }
    if (!found)
        *outputFcc = fcc;
    CloseCodecKeptLoaded(codec);
    return true;
}

bool IsCodecInstalled(uint32_t fcc)
{
    HIC codec = OpenCodecKeptLoaded(ICTYPE_VIDEO, fcc, ICMODE_COMPRESS);
    if (codec == nullptr)
        return false;
    CloseCodecKeptLoaded(codec);
    return true;
}
