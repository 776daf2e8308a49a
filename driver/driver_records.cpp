// The requests that only the whole-record layouts carry and that touch no
// frame: a quality, a palette, the frames info, and the decompress-ex query.
// The output headers of the last two come back as the codec left them.

#include "driver/driver_instance.h"

#include <cstring>

#include "driver/driver_log.h"
#include "driver/request_layout.h"
#include "host/host_protocol.h"

// Programs pass the quality itself or, as the interface describes it, a
// pointer to it. A quality runs from 0 to 10,000, and no address lies
// below 64 KB: what is larger is a pointer, whose value travels.
LRESULT DriverInstance::OnSetQuality(LPARAM quality, LPARAM lParam2)
{
    const LPARAM kLowestAddress = 0x10000;
    bool pointed = quality >= kLowestAddress;
    DWORD value = pointed ? *reinterpret_cast<const DWORD*>(quality) : static_cast<DWORD>(quality);
    std::memcpy(channel_.ParamArea(), &value, sizeof value);
    int32_t result;
    if (!Request(kRequestSetQuality, pointed ? 1 : 0, static_cast<DWORD>(lParam2), &result))
        return UnservedResult(kRequestSetQuality);
    return result;
}

LRESULT DriverInstance::OnSetPalette(const BITMAPINFOHEADER* palette)
{
    RequestPlaces places;
    int32_t result;
    if (palette != nullptr && !PutHeaderPair(channel_.ParamArea(), layouts_, palette, nullptr, 0, &places))
        return Refuse(UnservedResult(kRequestDecompressSetPalette), "the palette does not fit ParamArea");
    if (!Request(kRequestDecompressSetPalette, palette != nullptr ? 1 : 0, 0, &result))
        return UnservedResult(kRequestDecompressSetPalette);
    return result;
}

LRESULT DriverInstance::OnFramesInfo(const ICCOMPRESSFRAMES* record, LPARAM size)
{
    RequestPlaces places;
    int32_t result;
    if (record == nullptr)
        return Refuse(ICERR_BADPARAM, "no record");
    if (!PutFramesInfo(channel_.ParamArea(), *record, &places))
        return Refuse(UnservedResult(kRequestCompressFramesInfo), kRefusedParamAreaFull);
    if (!Request(kRequestCompressFramesInfo, 0, FramesInfoRecordSize32(static_cast<uint64_t>(size)), &result))
        return UnservedResult(kRequestCompressFramesInfo);
    if (record->lpbiOutput != nullptr)
        ReturnHeader(channel_.ParamArea(), places.output, HeaderWholeSpan(*record->lpbiOutput),
                     record->lpbiOutput);
    return result;
}

LRESULT DriverInstance::OnDecompressExQuery(const ICDECOMPRESSEX* record, LPARAM size)
{
    RequestPlaces places;
    int32_t result;
    if (record == nullptr)
        return Refuse(ICERR_BADPARAM, "no record");
    if (!PutDecompressEx(channel_.ParamArea(), *record, &places))
        return Refuse(UnservedResult(kRequestDecompressExQuery), kRefusedParamAreaFull);
    if (!Request(kRequestDecompressExQuery, 0, DecompressExRecordSize32(static_cast<uint64_t>(size)),
                 &result))
        return UnservedResult(kRequestDecompressExQuery);
    if (record->lpbiDst != nullptr)
        ReturnHeader(channel_.ParamArea(), places.output, HeaderWholeSpan(*record->lpbiDst), record->lpbiDst);
    return result;
}
