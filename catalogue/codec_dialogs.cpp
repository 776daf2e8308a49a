#include "catalogue/codec_dialogs.h"

#include <vfw.h>

#include <cstdio>

#include "catalogue/codec_open.h"
#include "catalogue/fourcc.h"

namespace {

bool ShowCodecDialog(HWND owner, const char* fccText, UINT message)
{
    if (StrEqual(fccText, "DIB") || StrEqual(fccText, "DIB ")) {
        MessageBoxA(owner, "Not support configuration.", "warning", MB_ICONWARNING);
        return true;
    }
    HIC codec = OpenCodecKeptLoaded(ICTYPE_VIDEO, FourCCFromText(fccText), ICMODE_COMPRESS);
    if (codec == nullptr) {
        char text[MAX_PATH];
        std::snprintf(text, sizeof text, "Not install %s codec.", fccText);
        MessageBoxA(owner, text, "error", MB_ICONERROR);
        return false;
    }
    ICSendMessage(codec, message, reinterpret_cast<DWORD_PTR>(owner), 0);
    CloseCodecKeptLoaded(codec);
    return true;
}

}

bool ConfigureCodec(HWND owner, const char* fccText)
{
    return ShowCodecDialog(owner, fccText, ICM_CONFIGURE);
}

bool AboutCodec(HWND owner, const char* fccText)
{
    return ShowCodecDialog(owner, fccText, ICM_ABOUT);
}
