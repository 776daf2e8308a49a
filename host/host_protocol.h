#pragma once

// The contract between the host (32-bit, this program) and the 64-bit client
// driver: the control mapping's layout, the parameter-area layouts, the
// 32-bit codec records and the private request numbers. Both sides include
// this header; every field has a fixed width so that both compilers agree.
//
// The client creates all three mappings; the host only opens them. The
// client writes a request's parameters before it sends the request with
// SendMessage and reads the results after the send returns; the host touches
// the shared memory only while it handles a request.

#include <windows.h>
#include <vfw.h>

#include <cstddef>
#include <cstdint>

#include "host/mapping_limits.h"

// The control mapping: HostControlBlock, then ParamArea.
const uint32_t kControlMappingSize = 0x10000;

// The first 32 bytes of the control mapping.
// - iAlive: written by the client; non-zero while it wants the host to run.
//   The host reads it at each once-a-second check.
// - hWndHost: written once by the host, right after it mapped the view and
//   before it opens the codec; 0 until then. The client sends every request
//   to this window.
// - dwClientPid: written by the client before it starts the host; read once
//   when the host's loop starts.
// - reserved: never read or written by the host.
struct HostControlBlock {
    int32_t iAlive;
    uint32_t hWndHost;
    uint32_t dwClientPid;
    uint8_t reserved[20];
};

const uint32_t kParamAreaSize = kControlMappingSize - sizeof(HostControlBlock); // 65504

// ICCOMPRESS as a 32-bit process lays it out. The client writes dwFlags,
// lFrameNum, dwFrameSize, dwQuality, lpbiPrev and lpPrev; the host writes
// the six other pointers, as its own addresses in ParamArea and the frame
// views. lpbiPrev must be 0 or the host's address of a header in ParamArea,
// lpPrev 0 or the host's address of a frame inside a frame view; anything
// else is refused.
struct IcCompress32 {
    uint32_t dwFlags;
    uint32_t lpbiOutput;
    uint32_t lpOutput;
    uint32_t lpbiInput;
    uint32_t lpInput;
    uint32_t lpckid;
    uint32_t lpdwFlags;
    int32_t lFrameNum;
    uint32_t dwFrameSize;
    uint32_t dwQuality;
    uint32_t lpbiPrev;
    uint32_t lpPrev;
};

// ICDECOMPRESS as a 32-bit process lays it out. The client writes dwFlags
// and ckid; the host sets the four pointers.
struct IcDecompress32 {
    uint32_t dwFlags;
    uint32_t lpbiInput;
    uint32_t lpInput;
    uint32_t lpbiOutput;
    uint32_t lpOutput;
    uint32_t ckid;
};

// The four ParamArea layouts, as a host starts with them (the classic
// layouts; see the whole-header layouts below). B is the biSize of the input
// header as it lies in ParamArea; the output header starts B bytes after the
// input header, so nothing behind the input header's biSize bytes (a colour
// table) is carried.
//
// State (ICM_GETSTATE, ICM_SETSTATE): the codec's state bytes at offset 0.
const uint32_t kStateOffset = 0;
// Header pair (the queries, both GET_FORMAT, both BEGIN, GET_PALETTE): input
// header at offset 0, output header at B. A query without an input header
// has its output header at offset 0.
const uint32_t kHeaderPairInputOffset = 0;
// Compress (ICM_COMPRESS): IcCompress32 at 0, input header at 48, output
// header at 48 + B, then the chunk id (4 bytes) and the index flags (4 bytes)
// right behind the output header's biSize bytes. The codec writes both.
const uint32_t kCompressInputOffset = sizeof(IcCompress32);
// Decompress (ICM_DECOMPRESS): IcDecompress32 at 0, input header at 24,
// output header at 24 + B.
const uint32_t kDecompressInputOffset = sizeof(IcDecompress32);

// Whole-header layouts. In the layouts above a header is taken to be biSize
// bytes long, so a palettized input's colour table lies where the output
// header goes and a codec that reads the input palette reads the output
// header instead. A client that asks for the whole-header layouts (see the
// handshake below) gets the same four layouts with every header carrying
// its colour table or bit masks: each place that lay "behind a header's
// biSize bytes" lies behind the header's whole span instead.
enum HostLayouts : uint32_t {
    kLayoutsClassic = 0,
    kLayoutsWholeHeaders = 1,
};

// The bytes a header carries in the whole-header layouts: the header itself
// (biSize, at least a BITMAPINFOHEADER), then its colour table (biClrUsed
// entries, or 2^biBitCount for 1- to 8-bit headers that leave biClrUsed 0),
// then for BI_BITFIELDS with a header too short to hold them the three
// colour masks. Computed in 64 bits: every field comes from the other side.
inline uint64_t HeaderWholeSpan(const BITMAPINFOHEADER& header)
{
    uint64_t size = header.biSize > sizeof header ? header.biSize : sizeof header;
    uint64_t colours = header.biClrUsed;
    if (colours == 0 && header.biBitCount >= 1 && header.biBitCount <= 8)
        colours = uint64_t(1) << header.biBitCount;
    // From 52 bytes on (the V2 header and later) the masks are header fields.
    const uint32_t headerWithMasks = sizeof header + 3 * sizeof(DWORD);
    uint64_t masks
        = header.biCompression == BI_BITFIELDS && header.biSize < headerWithMasks ? 3 * sizeof(DWORD) : 0;
    return size + colours * sizeof(RGBQUAD) + masks;
}

// Where the next item lies behind the header at `offset` in the given
// layouts: behind its biSize bytes (classic) or its whole span. Both sides
// place the output header, the chunk id and the index flags with this.
inline uint64_t BehindHeader(uint64_t offset, const BITMAPINFOHEADER& header, uint32_t layouts)
{
    return offset + (layouts == kLayoutsWholeHeaders ? HeaderWholeSpan(header) : header.biSize);
}

// The handshake. It lies outside the request table, so a host that predates
// it answers 0 through its default window procedure; a client tells such a
// host by that 0 and keeps the classic layouts.
// - wParam: the layouts the client asks for (HostLayouts).
// - lParam: the client's protocol version.
// - result: the host's protocol version in the low 16 bits and the layouts
//   now in effect in the high 16 bits (HandshakeResult). A host that does not
//   know the asked layouts keeps the ones in effect.
// The layouts hold for every later request of this host until another
// handshake; a host starts with the classic layouts.
const UINT kRequestHandshake = WM_APP + 0x100;
const uint32_t kHostProtocolVersion = 2;

constexpr uint32_t HandshakeResult(uint32_t version, uint32_t layouts)
{
    return (layouts << 16) | (version & 0xFFFF);
}
constexpr uint32_t HandshakeVersion(uint32_t result)
{
    return result & 0xFFFF;
}
constexpr uint32_t HandshakeLayouts(uint32_t result)
{
    return result >> 16;
}

// Private request numbers, derived from the codec message they stand for.
constexpr UINT HostRequestNumber(UINT codecMessage)
{
    return codecMessage >= ICM_RESERVED_LOW ? WM_USER + (codecMessage - ICM_RESERVED_LOW)
        : codecMessage >= ICM_USER          ? WM_USER + 100 + (codecMessage - ICM_USER)
                                            : WM_USER + 200 + codecMessage;
}

const UINT kRequestGetState = HostRequestNumber(ICM_GETSTATE);
const UINT kRequestSetState = HostRequestNumber(ICM_SETSTATE);
// The dialog requests (configure, About, DRV_CONFIGURE) carry in wParam the
// program's window as a 32-bit value, which owns the codec's dialog while it
// is a window (0: none), or -1 for the query whether the dialog exists.
const UINT kRequestConfigure = HostRequestNumber(ICM_CONFIGURE);
const UINT kRequestAbout = HostRequestNumber(ICM_ABOUT);
const UINT kRequestGetDefaultQuality = HostRequestNumber(ICM_GETDEFAULTQUALITY);
const UINT kRequestCompressGetFormat = HostRequestNumber(ICM_COMPRESS_GET_FORMAT);
const UINT kRequestCompressGetSize = HostRequestNumber(ICM_COMPRESS_GET_SIZE);
const UINT kRequestCompressQuery = HostRequestNumber(ICM_COMPRESS_QUERY);
const UINT kRequestCompressBegin = HostRequestNumber(ICM_COMPRESS_BEGIN);
const UINT kRequestCompress = HostRequestNumber(ICM_COMPRESS);
const UINT kRequestCompressEnd = HostRequestNumber(ICM_COMPRESS_END);
const UINT kRequestDecompressGetFormat = HostRequestNumber(ICM_DECOMPRESS_GET_FORMAT);
const UINT kRequestDecompressQuery = HostRequestNumber(ICM_DECOMPRESS_QUERY);
const UINT kRequestDecompressBegin = HostRequestNumber(ICM_DECOMPRESS_BEGIN);
const UINT kRequestDecompress = HostRequestNumber(ICM_DECOMPRESS);
const UINT kRequestDecompressEnd = HostRequestNumber(ICM_DECOMPRESS_END);
const UINT kRequestDecompressGetPalette = HostRequestNumber(ICM_DECOMPRESS_GET_PALETTE);
const UINT kRequestDrvLoad = HostRequestNumber(DRV_LOAD);
const UINT kRequestDrvEnable = HostRequestNumber(DRV_ENABLE);
// Not passed on: ends the host.
const UINT kRequestDrvClose = HostRequestNumber(DRV_CLOSE);
const UINT kRequestDrvDisable = HostRequestNumber(DRV_DISABLE);
const UINT kRequestDrvFree = HostRequestNumber(DRV_FREE);
const UINT kRequestDrvConfigure = HostRequestNumber(DRV_CONFIGURE);
const UINT kRequestDrvQueryConfigure = HostRequestNumber(DRV_QUERYCONFIGURE);
const UINT kRequestDrvExitSession = HostRequestNumber(DRV_EXITSESSION);
const UINT kRequestDrvPower = HostRequestNumber(DRV_POWER);

// The result of a request that the host cannot serve: the frame mappings do
// not open, the request does not fit ParamArea or the frame views, or no
// codec is open. Clients compare against this number (it is ICERR_ERROR in
// vfw.h, not ICERR_INTERNAL).
const int32_t kHostCannotServe = -100;

// The exit code of a host that ended because its codec faulted during a
// request (an access violation, say). The request that was being served is
// never answered: the client's send fails. Otherwise the host ends with 0.
const DWORD kCodecFaultExitCode = 0xCF;

static_assert(sizeof(HostControlBlock) == 32, "HostControlBlock is 32 bytes");
static_assert(offsetof(HostControlBlock, iAlive) == 0, "iAlive at 0");
static_assert(offsetof(HostControlBlock, hWndHost) == 4, "hWndHost at 4");
static_assert(offsetof(HostControlBlock, dwClientPid) == 8, "dwClientPid at 8");
static_assert(offsetof(HostControlBlock, reserved) == 12, "reserved bytes from 12");
static_assert(kParamAreaSize == 0xFFE0, "ParamArea is 65504 bytes");

static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is the same in both layouts");
static_assert(offsetof(BITMAPINFOHEADER, biSizeImage) == 20, "biSizeImage at 20");
static_assert(offsetof(BITMAPINFOHEADER, biClrUsed) == 32, "biClrUsed at 32");

static_assert(sizeof(IcCompress32) == 48, "ICCOMPRESS is 48 bytes in 32-bit code");
static_assert(offsetof(IcCompress32, lpbiOutput) == 4, "lpbiOutput at 4");
static_assert(offsetof(IcCompress32, lpInput) == 16, "lpInput at 16");
static_assert(offsetof(IcCompress32, lpdwFlags) == 24, "lpdwFlags at 24");
static_assert(offsetof(IcCompress32, lFrameNum) == 28, "lFrameNum at 28");
static_assert(offsetof(IcCompress32, dwQuality) == 36, "dwQuality at 36");
static_assert(offsetof(IcCompress32, lpPrev) == 44, "lpPrev at 44");
static_assert(sizeof(IcDecompress32) == 24, "ICDECOMPRESS is 24 bytes in 32-bit code");
static_assert(offsetof(IcDecompress32, lpInput) == 8, "lpInput at 8");
static_assert(offsetof(IcDecompress32, ckid) == 20, "ckid at 20");

#ifndef _WIN64
// In the host the records are the platform's own.
static_assert(sizeof(ICCOMPRESS) == sizeof(IcCompress32), "ICCOMPRESS layout");
static_assert(offsetof(ICCOMPRESS, lpbiInput) == offsetof(IcCompress32, lpbiInput), "ICCOMPRESS layout");
static_assert(offsetof(ICCOMPRESS, lpckid) == offsetof(IcCompress32, lpckid), "ICCOMPRESS layout");
static_assert(offsetof(ICCOMPRESS, lpPrev) == offsetof(IcCompress32, lpPrev), "ICCOMPRESS layout");
static_assert(sizeof(ICDECOMPRESS) == sizeof(IcDecompress32), "ICDECOMPRESS layout");
static_assert(offsetof(ICDECOMPRESS, lpOutput) == offsetof(IcDecompress32, lpOutput), "ICDECOMPRESS layout");
static_assert(offsetof(ICDECOMPRESS, ckid) == offsetof(IcDecompress32, ckid), "ICDECOMPRESS layout");
#endif

static_assert(kRequestHandshake > WM_USER + 200 + ICM_USER
                  && kRequestHandshake > WM_USER + ICM_RESERVED_HIGH - ICM_RESERVED_LOW,
              "the handshake lies beyond every number the request scheme derives");
static_assert(kRequestGetState == 0x400 && kRequestGetDefaultQuality == 0x41E, "WM_USER + (m - 0x5000)");
static_assert(kRequestCompressGetFormat == 0x468 && kRequestDecompressGetPalette == 0x482,
              "WM_USER + 100 + (m - 0x4000)");
static_assert(kRequestDrvLoad == 0x4C9 && kRequestDrvClose == 0x4CC && kRequestDrvPower == 0x4D7,
              "WM_USER + 200 + m");
