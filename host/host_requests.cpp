#include "host/codec_host.h"

#include <algorithm>
#include <cstring>

#include "host/codec_guard.h"
#include "host/frame_size.h"
#include "host/param_layout.h"

namespace {

// The results when no codec is open.
const LRESULT kNoCodecState = 0;
const LRESULT kNoCodecMessage = -1;

// The program's window that a dialog request names (a 32-bit value; 0 from a
// client that names none): it owns the codec's dialog while it is still a
// window, so that the dialog is modal to the program and in front of it.
DWORD_PTR OwnerWindow(WPARAM wParam)
{
    return IsWindow(reinterpret_cast<HWND>(wParam)) ? wParam : 0;
}

// The room a codec writes a palette into: the output header, as long as the
// longer of the two headers it is given, and a full colour table.
uint32_t PaletteRoom(ParamCopy& params, const ParamPlaces& places, bool withInput)
{
    BITMAPINFOHEADER input = {};
    BITMAPINFOHEADER output;
    if (withInput)
        ReadHeader(params, places.input, &input);
    ReadHeader(params, places.output, &output);
    return std::max(input.biSize, output.biSize) + 256 * sizeof(RGBQUAD);
}

}

LRESULT CCodecHost::Refuse(uint32_t reason)
{
    if (WholeRecords())
        controlBlock->dwRefusal = reason;
    return kHostCannotServe;
}

// Answered with or without a codec: it only chooses how later requests lay
// out ParamArea, and whether the client may keep the host.
LRESULT CCodecHost::OnHandshake(WPARAM wParam, LPARAM lParam)
{
    if (wParam == kLayoutsClassic || wParam == kLayoutsWholeHeaders || wParam == kLayoutsWholeRecords)
        layouts = static_cast<uint32_t>(wParam);
    reuse = static_cast<uint32_t>(lParam) >= kReuseProtocolVersion;
    return HandshakeResult(kHostProtocolVersion, layouts);
}

LRESULT CCodecHost::SendToCodec(UINT message, DWORD_PTR dw1, DWORD_PTR dw2)
{
    if (codec == nullptr)
        return kNoCodecMessage;
    return GuardedSendMessage(codec, message, dw1, dw2);
}

LRESULT CCodecHost::OnGetState(WPARAM wParam, LPARAM lParam)
{
    if (codec == nullptr)
        return kNoCodecState;
    if (wParam == 0) {
        LRESULT size = GuardedSendMessage(codec, ICM_GETSTATE, 0, lParam);
        return static_cast<DWORD>(size) <= kParamAreaSize ? size : 0;
    }
    // The codec may write as many bytes as the client says it has room for.
    uint32_t room = static_cast<uint32_t>(lParam);
    if (!StartRequest())
        return Refuse(kRefusalNoCodec);
    if (!params.Take(room))
        return Refuse(kRefusalLayout);
    LRESULT result = GuardedSendMessage(codec, ICM_GETSTATE, Param(0), lParam);
    params.Return(0, room);
    return result;
}

LRESULT CCodecHost::OnSetState(LPARAM lParam)
{
    if (codec == nullptr)
        return kNoCodecState;
    if (static_cast<DWORD>(lParam) > kParamAreaSize)
        return 0;
    if (!StartRequest())
        return Refuse(kRefusalNoCodec);
    params.Take(static_cast<uint32_t>(lParam));
    return GuardedSendMessage(codec, ICM_SETSTATE, Param(0), lParam);
}

// -1 asks whether the configuration or About dialog exists.
LRESULT CCodecHost::OnDialog(UINT message, WPARAM wParam)
{
    bool query = wParam == static_cast<WPARAM>(-1) && message != DRV_CONFIGURE;
    return SendToCodec(message, query ? wParam : OwnerWindow(wParam), 0);
}

// The codec writes a value (a quality, a key-frame rate, a number of
// buffers) through its first parameter; an address of the client means
// nothing here, so the value goes to ParamArea instead, where the client's
// own value waits in case the codec writes nothing.
LRESULT CCodecHost::OnValueOut(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0 || codec == nullptr)
        return SendToCodec(message, 0, lParam);
    if (!StartRequest())
        return Refuse(kRefusalNoCodec);
    params.Take(sizeof(DWORD));
    LRESULT result = SendToCodec(message, Param(0), lParam);
    params.Return(0, sizeof(DWORD));
    return result;
}

// Programs pass the quality itself or, as the interface describes it, a
// pointer to it, and codecs read it either way: the codec gets what the
// program passed, a pointer into the private copy for a pointer.
LRESULT CCodecHost::OnSetQuality(WPARAM pointed, LPARAM lParam)
{
    if (codec == nullptr)
        return SendToCodec(ICM_SETQUALITY, 0, lParam);
    DWORD quality;
    if (!StartRequest())
        return Refuse(kRefusalNoCodec);
    params.Take(sizeof quality);
    std::memcpy(&quality, params.At(0), sizeof quality);
    return SendToCodec(ICM_SETQUALITY, pointed != 0 ? Param(0) : quality, lParam);
}

// wParam and lParam only say whether the input and the output header are
// passed. The output header comes back as the codec left it; a palette
// request gets room behind it for what the codec writes.
LRESULT CCodecHost::OnHeaderPair(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    ParamPlaces places;
    if (!PlaceHeaderPair(params, layouts, wParam != 0, lParam != 0, &places))
        return Refuse(kRefusalLayout);
    uint32_t end = places.end;
    if (message == ICM_DECOMPRESS_GET_PALETTE && lParam != 0) {
        end = std::max<uint32_t>(end, places.output + PaletteRoom(params, places, wParam != 0));
        if (!params.Take(end))
            return Refuse(kRefusalLayout);
    }
    LRESULT result = GuardedSendMessage(codec, message, wParam != 0 ? Param(places.input) : 0,
                                        lParam != 0 ? Param(places.output) : 0);
    ReturnHeader(places.output, end);
    return result;
}

// The bytes behind the input header are the codec's to read and write, as
// the program's output: they are never read as a header here. The codec gets
// as much room as the client states (wParam), which the client asked the
// codec for just before, so that the codec is not asked again; a client that
// states none gets the size the codec tells here. Only that room, checked
// against ParamArea, comes back. A codec that writes more than the room
// writes into the private copy, or faults at its guard page.
LRESULT CCodecHost::OnGetFormat(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    ParamPlaces places;
    if (!PlaceInputHeader(params, layouts, kHeaderPairInputOffset, &places))
        return Refuse(kRefusalLayout);
    if (lParam == 0) {
        LRESULT size = GuardedSendMessage(codec, message, Param(places.input), 0);
        // The unsigned sum turns error results into sizes too.
        return places.output + static_cast<DWORD>(size) <= kParamAreaSize ? size : 0;
    }
    // A codec that cannot tell the size gets the room of a palettized format.
    int32_t size = wParam != 0
        ? static_cast<int32_t>(std::min<WPARAM>(wParam, kParamAreaSize))
        : static_cast<int32_t>(GuardedSendMessage(codec, message, Param(places.input), 0));
    uint32_t room = FormatRoom(size);
    if (!params.Take(uint64_t(places.output) + room))
        return Refuse(kRefusalLayout);
    LRESULT result = GuardedSendMessage(codec, message, Param(places.input), Param(places.output));
    params.Return(places.output, room);
    return result;
}

LRESULT CCodecHost::OnSetPalette(WPARAM wParam)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    ParamPlaces places;
    if (wParam == 0)
        return GuardedSendMessage(codec, ICM_DECOMPRESS_SET_PALETTE, 0, 0);
    if (!PlaceHeaderPair(params, layouts, true, false, &places))
        return Refuse(kRefusalLayout);
    return GuardedSendMessage(codec, ICM_DECOMPRESS_SET_PALETTE, Param(places.input), 0);
}

// The record's headers go as places in the copy; GetData and PutData,
// functions of the client, go as none. The output header comes back.
LRESULT CCodecHost::OnFramesInfo(LPARAM lParam)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    ParamPlaces places;
    if (!PlaceFramesInfo(params, static_cast<uint32_t>(lParam), &places))
        return Refuse(kRefusalLayout);
    IcCompressFrames32 record;
    std::memcpy(&record, params.At(0), sizeof record);
    record.lpbiInput = record.lpbiInput != kNoPlace ? HostAddress(params.At(places.input)) : 0;
    record.lpbiOutput = record.lpbiOutput != kNoPlace ? HostAddress(params.At(places.output)) : 0;
    record.GetData = 0;
    record.PutData = 0;
    std::memcpy(params.At(0), &record, sizeof record);
    LRESULT result = GuardedSendMessage(codec, ICM_COMPRESS_FRAMES_INFO, Param(0), lParam);
    ReturnHeader(places.output, places.end);
    return result;
}

// A query touches no frame: the source and destination frames go as none.
// The destination header comes back.
LRESULT CCodecHost::OnDecompressExQuery(LPARAM lParam)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    ParamPlaces places;
    if (!PlaceDecompressEx(params, static_cast<uint32_t>(lParam), &places))
        return Refuse(kRefusalLayout);
    IcDecompressEx32 record;
    std::memcpy(&record, params.At(0), sizeof record);
    record.lpbiSrc = record.lpbiSrc != kNoPlace ? HostAddress(params.At(places.input)) : 0;
    record.lpbiDst = record.lpbiDst != kNoPlace ? HostAddress(params.At(places.output)) : 0;
    record.lpSrc = 0;
    record.lpDst = 0;
    std::memcpy(params.At(0), &record, sizeof record);
    LRESULT result = GuardedSendMessage(codec, ICM_DECOMPRESSEX_QUERY, Param(0), lParam);
    ReturnHeader(places.output, places.end);
    return result;
}

// The codec fills its information in the copy; the stated size comes back,
// what the codec wrote and what it left of the client's bytes.
LRESULT CCodecHost::OnGetInfo(LPARAM lParam)
{
    uint32_t size = static_cast<uint32_t>(lParam);
    if (codec == nullptr || !StartRequest() || !params.Take(size))
        return 0;
    LRESULT result = GuardedSendMessage(codec, ICM_GETINFO, Param(0), size);
    params.Return(0, size);
    return result;
}
