// The requests that only the whole-record layouts carry and that touch no
// frame: a quality, a palette, the frames info, and the decompress-ex query.

#include "driver/driver_instance.h"

#include <cstring>

#include "driver/request_layout.h"

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
    if ((palette != nullptr && !PutHeaderPair(channel_.ParamArea(), layouts_, palette, nullptr, 0, &places))
        || !Request(kRequestDecompressSetPalette, palette != nullptr ? 1 : 0, 0, &result))
        return UnservedResult(kRequestDecompressSetPalette);
    return result;
}

LRESULT DriverInstance::OnFramesInfo(const ICCOMPRESSFRAMES* record, LPARAM size)
{
    RequestPlaces places;
    int32_t result;
    if (record == nullptr)
        return ICERR_BADPARAM;
    if (!PutFramesInfo(channel_.ParamArea(), *record, &places)
        || !Request(kRequestCompressFramesInfo, 0, FramesInfoRecordSize32(static_cast<uint64_t>(size)),
                    &result))
        return UnservedResult(kRequestCompressFramesInfo);
    return result;
}

LRESULT DriverInstance::OnDecompressExQuery(const ICDECOMPRESSEX* record, LPARAM size)
{
    RequestPlaces places;
    int32_t result;
    if (record == nullptr)
        return ICERR_BADPARAM;
    if (!PutDecompressEx(channel_.ParamArea(), *record, &places)
        || !Request(kRequestDecompressExQuery, 0, DecompressExRecordSize32(static_cast<uint64_t>(size)),
                    &result))
        return UnservedResult(kRequestDecompressExQuery);
    return result;
}
