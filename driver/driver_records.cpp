// The requests that only the whole-record layouts carry and that touch no
// frame: a palette, the frames info, and the decompress-ex query.

#include "driver/driver_instance.h"

#include "driver/request_layout.h"

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
        || !Request(kRequestCompressFramesInfo, 0, FramesInfoRecordSize32(static_cast<uint64_t>(size)), &result))
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
        || !Request(kRequestDecompressExQuery, 0, DecompressExRecordSize32(static_cast<uint64_t>(size)), &result))
        return UnservedResult(kRequestDecompressExQuery);
    return result;
}
