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

// Addresses stored into the mappings are this process's 32-bit addresses.
uint32_t Address(const void* pointer)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
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

// The pointers of a compression record: into the area at `base` (the
// private copy for the codec, ParamArea for the client) and the views.
void PointCompressRecord(IcCompress32* record, const uint8_t* base, const ParamPlaces& places, void* frameIn,
                         void* frameOut)
{
    record->lpInput = Address(frameIn);
    record->lpOutput = Address(frameOut);
    record->lpbiInput = Address(base + places.input);
    record->lpbiOutput = Address(base + places.output);
    record->lpckid = Address(base + places.chunkId);
    record->lpdwFlags = Address(base + places.flags);
}

}

LRESULT CCodecHost::OnMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
    case kRequestDrvClose:
        PostQuitMessage(0);
        return DefWindowProcA(target, message, wParam, lParam);
    case kRequestHandshake:
        return OnHandshake(wParam);
    case kRequestGetState:
        return OnGetState(wParam, lParam);
    case kRequestSetState:
        return OnSetState(lParam);
    case kRequestConfigure:
        return OnDialog(ICM_CONFIGURE, wParam);
    case kRequestAbout:
        return OnDialog(ICM_ABOUT, wParam);
    case kRequestGetDefaultQuality:
        return OnGetDefaultQuality(wParam, lParam);
    case kRequestCompressGetFormat:
        return OnGetFormat(ICM_COMPRESS_GET_FORMAT, lParam);
    case kRequestCompressGetSize:
        return OnHeaderPair(ICM_COMPRESS_GET_SIZE, wParam, lParam);
    case kRequestCompressQuery:
        return OnHeaderPair(ICM_COMPRESS_QUERY, wParam, lParam);
    case kRequestCompressBegin:
        return OnBegin(ICM_COMPRESS_BEGIN);
    case kRequestCompress:
        return OnCompress(lParam);
    case kRequestCompressEnd:
        return OnEnd(ICM_COMPRESS_END);
    case kRequestDecompressGetFormat:
        return OnGetFormat(ICM_DECOMPRESS_GET_FORMAT, lParam);
    case kRequestDecompressQuery:
        return OnHeaderPair(ICM_DECOMPRESS_QUERY, wParam, lParam);
    case kRequestDecompressBegin:
        return OnBegin(ICM_DECOMPRESS_BEGIN);
    case kRequestDecompress:
        return OnDecompress(lParam);
    case kRequestDecompressEnd:
        return OnEnd(ICM_DECOMPRESS_END);
    case kRequestDecompressGetPalette:
        return OnHeaderPair(ICM_DECOMPRESS_GET_PALETTE, wParam, lParam);
    case kRequestDrvLoad:
        return SendToCodec(DRV_LOAD, 0, 0);
    case kRequestDrvEnable:
        return SendToCodec(DRV_ENABLE, 0, 0);
    case kRequestDrvDisable:
        return SendToCodec(DRV_DISABLE, 0, 0);
    case kRequestDrvFree:
        return SendToCodec(DRV_FREE, 0, 0);
    case kRequestDrvConfigure:
        return SendToCodec(DRV_CONFIGURE, OwnerWindow(wParam), 0);
    case kRequestDrvQueryConfigure:
        return SendToCodec(DRV_QUERYCONFIGURE, wParam, lParam);
    case kRequestDrvExitSession:
        return SendToCodec(DRV_EXITSESSION, 0, 0);
    case kRequestDrvPower:
        return SendToCodec(DRV_POWER, 0, 0);
    default:
        return DefWindowProcA(target, message, wParam, lParam);
    }
}

// Answered with or without a codec: it only chooses how later requests lay
// out ParamArea.
LRESULT CCodecHost::OnHandshake(WPARAM wParam)
{
    if (wParam == kLayoutsClassic || wParam == kLayoutsWholeHeaders)
        layouts = static_cast<uint32_t>(wParam);
    return HandshakeResult(kHostProtocolVersion, layouts);
}

DWORD_PTR CCodecHost::Param(uint32_t offset) const
{
    return reinterpret_cast<DWORD_PTR>(params.At(offset));
}

bool CCodecHost::StartRequest()
{
    return params.Start(paramArea);
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
    if (!StartRequest() || !params.Take(room))
        return kHostCannotServe;
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
    if (!StartRequest() || !params.Take(static_cast<uint32_t>(lParam)))
        return kHostCannotServe;
    return GuardedSendMessage(codec, ICM_SETSTATE, Param(0), lParam);
}

// -1 asks whether the dialog exists.
LRESULT CCodecHost::OnDialog(UINT message, WPARAM wParam)
{
    return SendToCodec(message, wParam == static_cast<WPARAM>(-1) ? wParam : OwnerWindow(wParam), 0);
}

// The codec writes the quality through its first parameter; an address of
// the client means nothing here, so the quality goes to ParamArea instead.
LRESULT CCodecHost::OnGetDefaultQuality(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0 || codec == nullptr)
        return SendToCodec(ICM_GETDEFAULTQUALITY, 0, lParam);
    if (!StartRequest() || !params.Take(sizeof(DWORD)))
        return kHostCannotServe;
    LRESULT result = SendToCodec(ICM_GETDEFAULTQUALITY, Param(0), lParam);
    params.Return(0, sizeof(DWORD));
    return result;
}

// wParam and lParam only say whether the input and the output header are
// passed. A palette request gets room behind the output header for what the
// codec writes.
LRESULT CCodecHost::OnHeaderPair(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    if (!StartRequest() || !PlaceHeaderPair(params, layouts, wParam != 0, lParam != 0, &places))
        return kHostCannotServe;
    uint32_t room = 0;
    if (message == ICM_DECOMPRESS_GET_PALETTE && lParam != 0) {
        room = PaletteRoom(params, places, wParam != 0);
        if (!params.Take(uint64_t(places.output) + room))
            return kHostCannotServe;
    }
    LRESULT result = GuardedSendMessage(codec, message, wParam != 0 ? Param(places.input) : 0,
                                        lParam != 0 ? Param(places.output) : 0);
    params.Return(places.output, room);
    return result;
}

// The bytes behind the input header are the codec's to write: they are
// never read as a header. The codec is asked for the format's size first and
// gets exactly that much room.
LRESULT CCodecHost::OnGetFormat(UINT message, LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    if (!StartRequest() || !PlaceInputHeader(params, layouts, kHeaderPairInputOffset, &places))
        return kHostCannotServe;
    LRESULT size = GuardedSendMessage(codec, message, Param(places.input), 0);
    if (lParam == 0) {
        // The unsigned sum turns error results into sizes too.
        return places.output + static_cast<DWORD>(size) <= kParamAreaSize ? size : 0;
    }
    // A codec that cannot tell the size gets the room of a palettized format.
    uint32_t room
        = size > 0 ? std::max<uint32_t>(static_cast<uint32_t>(size), sizeof(BITMAPINFOHEADER)) : kFormatRoom;
    if (!params.Take(uint64_t(places.output) + room))
        return kHostCannotServe;
    LRESULT result = GuardedSendMessage(codec, message, Param(places.input), Param(places.output));
    params.Return(places.output, room);
    return result;
}

// Any BEGIN ends the series before it. The views open only for headers a
// bitmap can have, sized for what the codec may write; they stay open only
// when the codec accepts the BEGIN.
LRESULT CCodecHost::OnBegin(UINT message)
{
    if (codec == nullptr)
        return kHostCannotServe;
    EndSeries();
    ParamPlaces places;
    BITMAPINFOHEADER input;
    BITMAPINFOHEADER output;
    if (!StartRequest() || !PlaceHeaderPair(params, layouts, true, true, &places)
        || !ReadHeader(params, places.input, &input) || !ReadHeader(params, places.output, &output))
        return kHostCannotServe;
    uint64_t codecMaximum = 0;
    if (message == ICM_COMPRESS_BEGIN) {
        LRESULT size
            = GuardedSendMessage(codec, ICM_COMPRESS_GET_SIZE, Param(places.input), Param(places.output));
        codecMaximum = size > 0 ? static_cast<uint64_t>(size) : 0;
    }
    if (!OpenFrameMappings(input, output, codecMaximum))
        return kHostCannotServe;
    LRESULT result = GuardedSendMessage(codec, message, Param(places.input), Param(places.output));
    if (result != ICERR_OK) {
        EndSeries();
        return result;
    }
    seriesBegin = message;
    seriesInput = input;
    seriesOutput = output;
    return result;
}

LRESULT CCodecHost::OnEnd(UINT message)
{
    EndSeries();
    return SendToCodec(message, 0, 0);
}

// The codec gets the record, both headers and the two result slots in the
// private copy; the output header and the slots come back to ParamArea, and
// the record there gets the host's addresses.
LRESULT CCodecHost::OnCompress(LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    IcCompress32 record;
    if (!StartRequest() || !PlaceCompress(params, layouts, static_cast<uint32_t>(lParam), &places)
        || !FramesFit(ICM_COMPRESS_BEGIN, places))
        return kHostCannotServe;
    std::memcpy(&record, params.At(0), sizeof record);
    IcCompress32 shared = record;
    if (!PlacePrevious(&record))
        return kHostCannotServe;
    PointCompressRecord(&record, params.At(0), places, mcMapFrameIn.GetView(), mcMapFrameOut.GetView());
    std::memcpy(params.At(0), &record, sizeof record);
    LRESULT result = GuardedSendMessage(codec, ICM_COMPRESS, Param(0), lParam);
    params.Return(places.output, places.flags + sizeof(DWORD) - places.output);
    PointCompressRecord(&shared, paramArea, places, mcMapFrameIn.GetView(), mcMapFrameOut.GetView());
    std::memcpy(paramArea, &shared, sizeof shared);
    return result;
}

LRESULT CCodecHost::OnDecompress(LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    if (!StartRequest() || !PlaceDecompress(params, layouts, static_cast<uint32_t>(lParam), &places)
        || !FramesFit(ICM_DECOMPRESS_BEGIN, places))
        return kHostCannotServe;
    IcDecompress32 record;
    std::memcpy(&record, params.At(0), sizeof record);
    record.lpInput = Address(mcMapFrameIn.GetView());
    record.lpOutput = Address(mcMapFrameOut.GetView());
    record.lpbiInput = Address(params.At(places.input));
    record.lpbiOutput = Address(params.At(places.output));
    std::memcpy(params.At(0), &record, sizeof record);
    return GuardedSendMessage(codec, ICM_DECOMPRESS, Param(0), lParam);
}
