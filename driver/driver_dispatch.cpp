// The messages of one instance, by the codec message a program sent.

#include "driver/driver_instance.h"

#include "driver/driver_log.h"
#include "driver/slot_config.h"

namespace {

const BITMAPINFOHEADER* InputHeader(LPARAM lParam1)
{
    return reinterpret_cast<const BITMAPINFOHEADER*>(lParam1);
}

BITMAPINFOHEADER* OutputHeader(LPARAM lParam2)
{
    return reinterpret_cast<BITMAPINFOHEADER*>(lParam2);
}

bool CarriedByWholeRecords(UINT message)
{
    switch (message) {
    case ICM_GETQUALITY:
    case ICM_SETQUALITY:
    case ICM_GETBUFFERSWANTED:
    case ICM_GETDEFAULTKEYFRAMERATE:
    case ICM_DECOMPRESS_SET_PALETTE:
    case ICM_COMPRESS_FRAMES_INFO:
    case ICM_DECOMPRESSEX_QUERY:
    case ICM_DECOMPRESSEX_BEGIN:
    case ICM_DECOMPRESSEX:
    case ICM_DECOMPRESSEX_END:
        return true;
    default:
        return false;
    }
}

}

LRESULT DriverInstance::OnMessage(UINT message, LPARAM lParam1, LPARAM lParam2)
{
    // One ParamArea and one pair of frame mappings: requests from several
    // threads take turns. A refused request leaves one line in the log.
    EnterCriticalSection(&lock_);
    refusal_ = nullptr;
    LRESULT result = Dispatch(message, lParam1, lParam2);
    if (refusal_ != nullptr) {
        char text[kLogTextCapacity];
        FormatRefusal(message, refusedByHost_, refusal_, text);
        LogDriverEvent(logPath_, slot_, text);
    }
    LeaveCriticalSection(&lock_);
    return result;
}

LRESULT DriverInstance::Dispatch(UINT message, LPARAM lParam1, LPARAM lParam2)
{
    if (slot_ == kNoSlot)
        return message == ICM_GETINFO || message < ICM_USER ? 0 : ICERR_UNSUPPORTED;
    switch (message) {
    case ICM_GETINFO:
        return OnGetInfo(reinterpret_cast<ICINFO*>(lParam1), lParam2);
    case ICM_GETSTATE:
        return OnGetState(reinterpret_cast<void*>(lParam1), lParam2);
    case ICM_SETSTATE:
        return OnSetState(reinterpret_cast<const void*>(lParam1), lParam2);
    case ICM_CONFIGURE:
        return OnDialog(kRequestConfigure, lParam1);
    case ICM_ABOUT:
        return OnDialog(kRequestAbout, lParam1);
    case ICM_GETDEFAULTQUALITY:
        return OnValueOut(kRequestGetDefaultQuality, reinterpret_cast<DWORD*>(lParam1), lParam2);
    case ICM_COMPRESS_QUERY:
        return OnHeaderPair(kRequestCompressQuery, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_COMPRESS_GET_SIZE:
        return OnHeaderPair(kRequestCompressGetSize, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_DECOMPRESS_QUERY:
        return OnHeaderPair(kRequestDecompressQuery, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_COMPRESS_GET_FORMAT:
        return OnGetFormat(kRequestCompressGetFormat, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_DECOMPRESS_GET_FORMAT:
        return OnGetFormat(kRequestDecompressGetFormat, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_DECOMPRESS_GET_PALETTE:
        return OnGetPalette(InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_COMPRESS_BEGIN:
        return OnBegin(kRequestCompressBegin, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_DECOMPRESS_BEGIN:
        return OnBegin(kRequestDecompressBegin, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_COMPRESS:
        return OnCompress(reinterpret_cast<ICCOMPRESS*>(lParam1), lParam2);
    case ICM_DECOMPRESS:
        return OnDecompress(reinterpret_cast<ICDECOMPRESS*>(lParam1), lParam2);
    case ICM_COMPRESS_END:
        return Forward(kRequestCompressEnd);
    case ICM_DECOMPRESS_END:
        return Forward(kRequestDecompressEnd);
    case DRV_QUERYCONFIGURE:
        return Forward(kRequestDrvQueryConfigure);
    case DRV_CONFIGURE:
        return OnDialog(kRequestDrvConfigure, lParam1);
    }
    // The rest only the whole-record layouts carry; a host of an older
    // protocol leaves them unsupported, as every other message.
    if (!CarriedByWholeRecords(message))
        return Refuse(ICERR_UNSUPPORTED, "no message the bridge carries");
    if (!HostReady())
        return ICERR_UNSUPPORTED;
    if (!WholeRecords())
        return Refuse(ICERR_UNSUPPORTED, "the host's protocol does not carry it");
    switch (message) {
    case ICM_GETQUALITY:
        return OnValueOut(kRequestGetQuality, reinterpret_cast<DWORD*>(lParam1), lParam2);
    case ICM_SETQUALITY:
        return OnSetQuality(lParam1, lParam2);
    case ICM_GETBUFFERSWANTED:
        return OnValueOut(kRequestGetBuffersWanted, reinterpret_cast<DWORD*>(lParam1), lParam2);
    case ICM_GETDEFAULTKEYFRAMERATE:
        return OnValueOut(kRequestGetDefaultKeyFrameRate, reinterpret_cast<DWORD*>(lParam1), lParam2);
    case ICM_DECOMPRESS_SET_PALETTE:
        return OnSetPalette(InputHeader(lParam1));
    case ICM_COMPRESS_FRAMES_INFO:
        return OnFramesInfo(reinterpret_cast<const ICCOMPRESSFRAMES*>(lParam1), lParam2);
    case ICM_DECOMPRESSEX_QUERY:
        return OnDecompressExQuery(reinterpret_cast<const ICDECOMPRESSEX*>(lParam1), lParam2);
    case ICM_DECOMPRESSEX_BEGIN:
        return OnDecompressExBegin(reinterpret_cast<const ICDECOMPRESSEX*>(lParam1), lParam2);
    case ICM_DECOMPRESSEX:
        return OnDecompressEx(reinterpret_cast<ICDECOMPRESSEX*>(lParam1), lParam2);
    case ICM_DECOMPRESSEX_END:
        return Forward(kRequestDecompressExEnd);
    default:
        return Refuse(ICERR_UNSUPPORTED, "no message the bridge carries");
    }
}
