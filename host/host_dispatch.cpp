#include "host/codec_host.h"

#include "host/codec_guard.h"

namespace {

struct HostMessage {
    CCodecHost* host;
    HWND target;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

}

LRESULT CCodecHost::OnMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    HostMessage request = {this, target, message, wParam, lParam};
    ++requestDepth;
    LRESULT result = GuardedCall(
        [](void* context) {
            HostMessage* m = static_cast<HostMessage*>(context);
            return m->host->Dispatch(m->target, m->message, m->wParam, m->lParam);
        },
        &request);
    --requestDepth;
    return result;
}

// The request table. The requests that only the whole-record layouts know
// go, like every number outside the table, to the default procedure (0)
// until a handshake has chosen those layouts.
LRESULT CCodecHost::Dispatch(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A waiting host holds no instance: it takes the program's next one or
    // ends. Every other request meets a host without a codec (the codec is
    // closed and the layouts are the classic ones), and neither a handshake
    // nor frame views may prepare the next instance before the serve does.
    if (idle && message == kRequestHandshake)
        return 0;
    if (idle && message == kRequestFrameViews)
        return kHostCannotServe;
    switch (message) {
    case WM_DESTROY:
    case kRequestDrvClose:
        Quit();
        return DefWindowProcA(target, message, wParam, lParam);
    case kRequestHandshake:
        return OnHandshake(wParam, lParam);
    case kRequestIdle:
        return OnIdle();
    case kRequestServe:
        return OnServe(wParam, lParam);
    case kRequestGetState:
        return OnGetState(wParam, lParam);
    case kRequestSetState:
        return OnSetState(lParam);
    case kRequestConfigure:
        return OnDialog(ICM_CONFIGURE, wParam);
    case kRequestAbout:
        return OnDialog(ICM_ABOUT, wParam);
    case kRequestGetDefaultQuality:
        return OnValueOut(ICM_GETDEFAULTQUALITY, wParam, lParam);
    case kRequestCompressGetFormat:
        return OnGetFormat(ICM_COMPRESS_GET_FORMAT, wParam, lParam);
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
        return OnGetFormat(ICM_DECOMPRESS_GET_FORMAT, wParam, lParam);
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
        return OnDialog(DRV_CONFIGURE, wParam);
    case kRequestDrvQueryConfigure:
        return SendToCodec(DRV_QUERYCONFIGURE, wParam, lParam);
    case kRequestDrvExitSession:
        return SendToCodec(DRV_EXITSESSION, 0, 0);
    case kRequestDrvPower:
        return SendToCodec(DRV_POWER, 0, 0);
    }
    if (!WholeRecords())
        return DefWindowProcA(target, message, wParam, lParam);
    switch (message) {
    case kRequestFrameViews:
        return OnFrameViews(wParam, lParam);
    case kRequestGetInfo:
        return OnGetInfo(lParam);
    case kRequestGetQuality:
        return OnValueOut(ICM_GETQUALITY, wParam, lParam);
    case kRequestSetQuality:
        return OnSetQuality(wParam, lParam);
    case kRequestGetBuffersWanted:
        return OnValueOut(ICM_GETBUFFERSWANTED, wParam, lParam);
    case kRequestGetDefaultKeyFrameRate:
        return OnValueOut(ICM_GETDEFAULTKEYFRAMERATE, wParam, lParam);
    case kRequestDecompressSetPalette:
        return OnSetPalette(wParam);
    case kRequestCompressFramesInfo:
        return OnFramesInfo(lParam);
    case kRequestDecompressExQuery:
        return OnDecompressExQuery(lParam);
    case kRequestDecompressExBegin:
        return OnDecompressExBegin(lParam);
    case kRequestDecompressEx:
        return OnDecompressEx(lParam);
    case kRequestDecompressExEnd:
        return OnEnd(ICM_DECOMPRESSEX_END);
    default:
        return DefWindowProcA(target, message, wParam, lParam);
    }
}
