#include "host/codec_host.h"

#include <cstring>

#include "host/param_layout.h"

namespace {

// The results when no codec is open.
const LRESULT kNoCodecState = 0;
const LRESULT kNoCodecMessage = -1;

// Addresses stored into the mappings are this process's 32-bit addresses.
uint32_t Address(const void* pointer)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
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
        return SendToCodec(DRV_CONFIGURE, 0, 0);
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

LRESULT CCodecHost::SendToCodec(UINT message, DWORD_PTR dw1, DWORD_PTR dw2)
{
    if (codec == nullptr)
        return kNoCodecMessage;
    return ICSendMessage(codec, message, dw1, dw2);
}

LRESULT CCodecHost::OnGetState(WPARAM wParam, LPARAM lParam)
{
    if (codec == nullptr)
        return kNoCodecState;
    if (wParam == 0) {
        LRESULT size = ICSendMessage(codec, ICM_GETSTATE, 0, lParam);
        return static_cast<DWORD>(size) <= kParamAreaSize ? size : 0;
    }
    // The codec may write as many bytes as the client says it has room for.
    if (static_cast<DWORD>(lParam) > kParamAreaSize)
        return kHostCannotServe;
    return ICSendMessage(codec, ICM_GETSTATE, reinterpret_cast<DWORD_PTR>(paramArea), lParam);
}

LRESULT CCodecHost::OnSetState(LPARAM lParam)
{
    if (codec == nullptr)
        return kNoCodecState;
    if (static_cast<DWORD>(lParam) > kParamAreaSize)
        return 0;
    return ICSendMessage(codec, ICM_SETSTATE, reinterpret_cast<DWORD_PTR>(paramArea), lParam);
}

LRESULT CCodecHost::OnDialog(UINT message, WPARAM wParam)
{
    if (codec == nullptr)
        return kNoCodecMessage;
    // -1 asks whether the dialog exists; anything else opens it without an
    // owner, since a window of the client cannot own one here.
    DWORD_PTR owner = wParam == static_cast<WPARAM>(-1) ? static_cast<DWORD_PTR>(-1) : 0;
    return ICSendMessage(codec, message, owner, 0);
}

// The codec writes the quality through its first parameter; an address of
// the client means nothing here, so the quality goes to ParamArea instead.
LRESULT CCodecHost::OnGetDefaultQuality(WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR target = wParam != 0 ? reinterpret_cast<DWORD_PTR>(paramArea) : 0;
    return SendToCodec(ICM_GETDEFAULTQUALITY, target, lParam);
}

// wParam and lParam only say whether the input and the output header are
// passed.
LRESULT CCodecHost::OnHeaderPair(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    uint32_t outputRoom = message == ICM_DECOMPRESS_GET_PALETTE ? kFormatRoom : 0;
    ParamPlaces places;
    if (!PlaceHeaderPair(paramArea, layouts, wParam != 0, lParam != 0, outputRoom, &places))
        return kHostCannotServe;
    DWORD_PTR input = wParam != 0 ? reinterpret_cast<DWORD_PTR>(paramArea + places.input) : 0;
    DWORD_PTR output = lParam != 0 ? reinterpret_cast<DWORD_PTR>(paramArea + places.output) : 0;
    return ICSendMessage(codec, message, input, output);
}

LRESULT CCodecHost::OnGetFormat(UINT message, LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    if (!PlaceHeaderPair(paramArea, layouts, true, lParam != 0, kFormatRoom, &places))
        return kHostCannotServe;
    DWORD_PTR input = reinterpret_cast<DWORD_PTR>(paramArea + places.input);
    if (lParam == 0) {
        // A format size is only good when the format fits behind the input
        // header; the unsigned sum turns error results into sizes too.
        LRESULT size = ICSendMessage(codec, message, input, 0);
        return places.output + static_cast<DWORD>(size) <= kParamAreaSize ? size : 0;
    }
    return ICSendMessage(codec, message, input, reinterpret_cast<DWORD_PTR>(paramArea + places.output));
}

LRESULT CCodecHost::OnBegin(UINT message)
{
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    if (!PlaceHeaderPair(paramArea, layouts, true, true, 0, &places) || !OpenFrameMappings(places))
        return kHostCannotServe;
    return ICSendMessage(codec, message, reinterpret_cast<DWORD_PTR>(paramArea + places.input),
                         reinterpret_cast<DWORD_PTR>(paramArea + places.output));
}

LRESULT CCodecHost::OnEnd(UINT message)
{
    CloseFrameMappings();
    return SendToCodec(message, 0, 0);
}

LRESULT CCodecHost::OnCompress(LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    if (!SeriesOpen() || !PlaceCompress(paramArea, layouts, static_cast<uint32_t>(lParam), &places)
        || !FramesFit(places))
        return kHostCannotServe;
    IcCompress32 record;
    std::memcpy(&record, paramArea, sizeof record);
    record.lpInput = Address(mcMapFrameIn.GetView());
    record.lpOutput = Address(mcMapFrameOut.GetView());
    record.lpbiInput = Address(paramArea + places.input);
    record.lpbiOutput = Address(paramArea + places.output);
    record.lpckid = Address(paramArea + places.chunkId);
    record.lpdwFlags = Address(paramArea + places.flags);
    std::memcpy(paramArea, &record, sizeof record);
    return ICSendMessage(codec, ICM_COMPRESS, reinterpret_cast<DWORD_PTR>(paramArea), lParam);
}

LRESULT CCodecHost::OnDecompress(LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    if (!SeriesOpen() || !PlaceDecompress(paramArea, layouts, static_cast<uint32_t>(lParam), &places)
        || !FramesFit(places))
        return kHostCannotServe;
    IcDecompress32 record;
    std::memcpy(&record, paramArea, sizeof record);
    record.lpInput = Address(mcMapFrameIn.GetView());
    record.lpOutput = Address(mcMapFrameOut.GetView());
    record.lpbiInput = Address(paramArea + places.input);
    record.lpbiOutput = Address(paramArea + places.output);
    std::memcpy(paramArea, &record, sizeof record);
    return ICSendMessage(codec, ICM_DECOMPRESS, reinterpret_cast<DWORD_PTR>(paramArea), lParam);
}
