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
#include <cstdio>

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
// - dwRefusal: in the whole-record layouts, written by the host when it
//   refuses a request itself (kHostCannotServe without asking the codec):
//   why, a HostRefusal. The host never clears it; a client that wants the
//   reason clears it before the request. Untouched in the other layouts.
// - dwOpenMode: written by the client before it starts the host or hands a
//   waiting host this block: the mode of the program's ICOpen with
//   kOpenModeStated set (StateOpenMode). 0 (a client before this field)
//   opens the codec for compression. Read once, when the host starts or
//   takes the instance.
// - reserved, reservedTail: never read or written by the host.
struct HostControlBlock {
    int32_t iAlive;
    uint32_t hWndHost;
    uint32_t dwClientPid;
    uint8_t reserved[8];
    uint32_t dwRefusal;
    uint32_t dwOpenMode;
    uint8_t reservedTail[4];
};

// A stated open mode: the codec opens in it, as the program asked. A host
// whose codec refuses a stated mode (a decoder asked to compress), and every
// host asked for the draw mode, which the channel cannot carry, publishes no
// window and ends with kCodecNotOpenedExitCode, as silently as ICOpen
// refuses; a waiting host refuses the handover. Without a stated mode the
// host opens for compression and tells a refusal in a message box.
const uint32_t kOpenModeStated = 0x80000000u;
constexpr uint32_t StateOpenMode(uint32_t mode)
{
    return mode | kOpenModeStated;
}
// The mode the host opens its codec with for the field's value.
constexpr uint32_t OpenModeOf(uint32_t field)
{
    return (field & kOpenModeStated) != 0 ? field & ~kOpenModeStated : ICMODE_COMPRESS;
}

// Why the host refused a request (HostControlBlock::dwRefusal).
enum HostRefusal : uint32_t {
    kRefusalNone = 0,
    // No codec is open, or the host's private copy of ParamArea is missing.
    kRefusalNoCodec = 1,
    // A record or header does not fit ParamArea, or a header is none a
    // bitmap can have.
    kRefusalLayout = 2,
    // The record leaves out a header or frame that the request needs.
    kRefusalRecordGaps = 3,
    // A frame whose series of its kind is not open (the classic and
    // whole-header layouts only).
    kRefusalNoSeries = 4,
    // A frame, the previous frame or the room the codec may write does not
    // lie inside its view.
    kRefusalFrameRoom = 5,
    // The frame views cannot be opened, or cannot hold the series.
    kRefusalViews = 6,
    kRefusalKinds = 7,
};

const uint32_t kParamAreaSize = kControlMappingSize - sizeof(HostControlBlock); // 65504

// ICCOMPRESS as a 32-bit process lays it out. In the classic and
// whole-header layouts the client writes dwFlags, lFrameNum, dwFrameSize,
// dwQuality, lpbiPrev and lpPrev; the host writes the six other pointers, as
// its own addresses in ParamArea and the frame views. lpbiPrev must be 0 or
// the host's address of a header in ParamArea, lpPrev 0 or the host's
// address of a frame inside a frame view; anything else is refused. In the
// whole-record layouts every pointer field holds a place (see below).
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
// and ckid; the host sets the four pointers (places in the whole-record
// layouts).
struct IcDecompress32 {
    uint32_t dwFlags;
    uint32_t lpbiInput;
    uint32_t lpInput;
    uint32_t lpbiOutput;
    uint32_t lpOutput;
    uint32_t ckid;
};

// ICDECOMPRESSEX as a 32-bit process lays it out (whole-record layouts
// only): the pointer fields hold places.
struct IcDecompressEx32 {
    uint32_t dwFlags;
    uint32_t lpbiSrc;
    uint32_t lpSrc;
    uint32_t lpbiDst;
    uint32_t lpDst;
    int32_t xDst;
    int32_t yDst;
    int32_t dxDst;
    int32_t dyDst;
    int32_t xSrc;
    int32_t ySrc;
    int32_t dxSrc;
    int32_t dySrc;
};

// ICCOMPRESSFRAMES as a 32-bit process lays it out (whole-record layouts
// only). lpbiOutput and lpbiInput hold places; lOutput and lInput are the
// low halves of the program's values; GetData and PutData, functions of the
// program, cannot be called from the host and go as 0.
struct IcCompressFrames32 {
    uint32_t dwFlags;
    uint32_t lpbiOutput;
    uint32_t lOutput;
    uint32_t lpbiInput;
    uint32_t lInput;
    int32_t lStartFrame;
    int32_t lFrameCount;
    int32_t lQuality;
    int32_t lDataRate;
    int32_t lKeyRate;
    uint32_t dwRate;
    uint32_t dwScale;
    uint32_t dwOverheadPerFrame;
    uint32_t dwReserved2;
    uint32_t GetData;
    uint32_t PutData;
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
// The layouts of the requests that only the whole-record layouts answer:
// - Decompress-ex (ICM_DECOMPRESSEX_QUERY, _BEGIN, ICM_DECOMPRESSEX):
//   IcDecompressEx32 at 0, the source header (when given) at 52, the
//   destination header (when given) behind it, or at 52 without a source.
// - Frames info (ICM_COMPRESS_FRAMES_INFO): IcCompressFrames32 at 0, the
//   input header (when given) at 64, the output header (when given) behind
//   it, or at 64 without an input.
// - A palette (ICM_DECOMPRESS_SET_PALETTE): the header with its colour
//   table at 0 when wParam is non-zero; none otherwise.
// - A value the codec writes (ICM_GETQUALITY, ICM_GETBUFFERSWANTED,
//   ICM_GETDEFAULTKEYFRAMERATE, as ICM_GETDEFAULTQUALITY in every layout):
//   4 bytes at 0, passed to the codec when wParam is non-zero.
// - ICM_SETQUALITY: the quality in 4 bytes at 0; wParam non-zero when the
//   program passed a pointer to it, and the codec then gets a pointer to
//   it in the host's copy of ParamArea, else the value itself.
// - Codec information (ICM_GETINFO): an ICINFO (the same 568 bytes in both
//   bitnesses) at 0, lParam bytes long as the client states its size. The
//   codec fills it on top of the client's bytes, and the lParam bytes come
//   back; the result is the codec's (the bytes it filled, 0 when it tells
//   nothing). A host without a codec, or a size past ParamArea, answers 0,
//   as does a host before these layouts: a client that gets 0 knows no more
//   of the codec than it knew before.
const uint32_t kDecompressExSourceOffset = sizeof(IcDecompressEx32);
const uint32_t kFramesInfoInputOffset = sizeof(IcCompressFrames32);

// Whole-header layouts. In the layouts above a header is taken to be biSize
// bytes long, so a palettized input's colour table lies where the output
// header goes and a codec that reads the input palette reads the output
// header instead. A client that asks for the whole-header layouts (see the
// handshake below) gets the same four layouts with every header carrying
// its colour table or bit masks: each place that lay "behind a header's
// biSize bytes" lies behind the header's whole span instead.
//
// The whole-record layouts (protocol 3) keep the whole-header placing and
// change what the records say, so that a record reaches the codec as the
// program filled it and comes back as the codec left it:
// - The pointer fields of a record hold places, not addresses: 0 where the
//   program passed none, otherwise one more than the item's offset in its
//   frame view (lpInput, lpOutput, lpPrev, lpSrc, lpDst) or 1 for an item
//   at its place in ParamArea (headers, lpckid, lpdwFlags, lpbiPrev). The
//   host gives the codec a null pointer for 0 and refuses a frame that does
//   not lie inside its view.
// - The chunk id and index flags slots carry the program's values in, and
//   the codec's out; behind them lies the previous frame's header when the
//   record names one.
// - Every series kind has frame views of its own (kRequestFrameViews below),
//   so a compression and a decompression series can run at once; a BEGIN
//   ends only the series of its own kind, and views stay until replaced.
// - After a frame request the host copies the whole layout back, so that
//   the record, the headers and the slots show what the codec left there.
// - A frame may come with headers other than its BEGIN's: the codec gets
//   it, and its frames lie in places with room for the larger of their own
//   extent and the BEGIN's (for a compression's output, the codec's largest
//   frame for the frame's own headers too; for its input and previous frame,
//   the larger of both). Only a frame whose room does not lie inside its
//   view is refused.
// - A frame needs no open series: one without a BEGIN before it, or after
//   an END, reaches the codec with the room of its own headers, in the
//   views of its kind as they stand.
//
// Output headers in every layout: the codec reads the program's output
// header and the host brings back what the codec leaves there. Behind the
// input header of both GET_FORMAT requests lie the bytes of the program's
// output (as much as the format's size, at least a header), which the
// codec may read and writes; the header pair requests (queries, GET_SIZE,
// GET_PALETTE and both BEGINs), ICM_DECOMPRESSEX_QUERY and _BEGIN, and
// ICM_COMPRESS_FRAMES_INFO copy their output header (the destination)
// back, as the codec left it, after the codec answered.
enum HostLayouts : uint32_t {
    kLayoutsClassic = 0,
    kLayoutsWholeHeaders = 1,
    kLayoutsWholeRecords = 2,
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
    return offset + (layouts != kLayoutsClassic ? HeaderWholeSpan(header) : header.biSize);
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
const uint32_t kHostProtocolVersion = 4;

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

// What a client of the whole-record layouts does when the handshake gave it
// protocol 2: it asks again for kLayoutsWholeHeaders and keeps to them.
inline bool HandshakeGaveWholeRecords(uint32_t result)
{
    return HandshakeVersion(result) >= 3 && HandshakeLayouts(result) == kLayoutsWholeRecords;
}

// Reuse (protocol 4). A client that states protocol 4 or later in the
// handshake's lParam may keep its host, at the driver close, for the
// program's next instance instead of ending it. Before such a handshake
// (and from a client of an older protocol) both requests are answered 0,
// as numbers outside the table are.
// - kRequestIdle (no parameters): the host closes the codec as a program's
//   ICClose does (DRV_CLOSE; as the last instance of the codec in the host,
//   the system then frees the driver and unloads its module), drops the
//   frame views and series and goes back to the classic layouts, and waits
//   with the control mapping of the instance that ended. Result 1 when it
//   waits; 0 when it cannot (no codec, reuse not enabled, or the request
//   came inside another one), and the client ends it with the close request.
//   A waiting host answers requests as a host without a codec does. It ends
//   at the close request, or at a check (kHostCheckIntervalMs) that finds
//   the client gone, iAlive 0, or kHostIdleMs passed since it began to wait.
// - kRequestServe (wParam and lParam as in the handshake): gives a waiting
//   host the program's next instance. The client first creates the new
//   instance's control mapping as for a start (iAlive 1, its process id,
//   hWndHost 0) and writes a HostHandover into the waiting host's ParamArea.
//   The host opens the new mapping, which must name the process that started
//   the host, publishes its window there, gives up the old one, and opens
//   the record's codec as a host started with that slot and mapping opens
//   the one it reads from the slot's settings. The result is the
//   handshake's: from then on the host serves the new instance as a new
//   host would after that handshake. 0 when the host does not wait
//   or refuses the record, the mapping or the process, or the codec does not
//   open; the host then waits on as before.
// Whatever the client's protocol, a host serves only the program that
// started it, and every instance has mappings of its own.
const UINT kRequestIdle = WM_APP + 0x102;
const UINT kRequestServe = WM_APP + 0x103;
const uint32_t kReuseProtocolVersion = 4;

// The next instance, as a client writes it at offset 0 of a waiting host's
// ParamArea: the slot's settings section ("tdl0" to "tdl9"), the name of the
// new control mapping (at most kControlMappingNameLimit characters), each
// terminated inside its field, and the codec to open: the slot's dwFcc as
// the client read it when the program opened the slot, never 0.
const uint32_t kHandoverSlotCapacity = 16;
struct HostHandover {
    char slotName[kHandoverSlotCapacity];
    char mappingName[kMappingNameCapacity];
    uint32_t dwFcc;
};

// The kinds of frame series, each with frame views of its own in the
// whole-record layouts. A BEGIN opens the series of its kind, its frames use
// it, its END closes it; frames of a kind without an open series use its
// views all the same.
enum SeriesKind : uint32_t {
    kSeriesCompress = 0,
    kSeriesDecompress = 1,
    kSeriesDecompressEx = 2,
    kSeriesKinds = 3,
};

// Frame views (whole-record layouts only). The client creates the mappings
// "<name>K<kind>G<generation>FrameIn" and "...FrameOut" (FormatFrameViewName)
// and announces them; the host maps both whole and from then on gives that
// kind's frames places in them, until the next announcement of the kind
// replaces them. A client grows the views of a kind by announcing a new
// generation, larger, at any time, also in the middle of a series: the
// frames of the series must fit the new views.
// - wParam: the SeriesKind.
// - lParam: the generation, as the names spell it.
// - result: ICERR_OK, or kHostCannotServe when a mapping cannot be opened
//   or the views cannot hold the open series of the kind; the kind then has
//   no views until the next announcement.
// A name that does not fit kMappingNameCapacity is refused by both sides
// (FormatFrameViewName).
const UINT kRequestFrameViews = WM_APP + 0x101;

// False when the name does not fit `capacity` characters and the terminator.
inline bool FormatFrameViewName(char* name, size_t capacity, const char* base, uint32_t kind,
                                uint32_t generation, bool output)
{
    int length = std::snprintf(name, capacity, "%sK%uG%u%s", base, static_cast<unsigned>(kind),
                               static_cast<unsigned>(generation), output ? kFrameOutSuffix : kFrameInSuffix);
    return length > 0 && static_cast<size_t>(length) < capacity;
}

// A frame place in a record of the whole-record layouts: 0 for none.
const uint32_t kNoPlace = 0;
constexpr uint32_t FramePlace(uint32_t offset)
{
    return offset + 1;
}
// An item that the program passed and that lies at its place in ParamArea.
const uint32_t kItemGiven = 1;

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
// The GET_FORMAT requests: lParam 0 asks the size, 1 the format, into the
// room that wParam states (0: none, the host asks the codec for the size).
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
// Answered only in the whole-record layouts (before, as every number
// outside the table, with 0).
const UINT kRequestGetQuality = HostRequestNumber(ICM_GETQUALITY);
const UINT kRequestSetQuality = HostRequestNumber(ICM_SETQUALITY);
const UINT kRequestGetBuffersWanted = HostRequestNumber(ICM_GETBUFFERSWANTED);
const UINT kRequestGetDefaultKeyFrameRate = HostRequestNumber(ICM_GETDEFAULTKEYFRAMERATE);
const UINT kRequestDecompressSetPalette = HostRequestNumber(ICM_DECOMPRESS_SET_PALETTE);
const UINT kRequestDecompressExBegin = HostRequestNumber(ICM_DECOMPRESSEX_BEGIN);
const UINT kRequestDecompressExQuery = HostRequestNumber(ICM_DECOMPRESSEX_QUERY);
const UINT kRequestDecompressEx = HostRequestNumber(ICM_DECOMPRESSEX);
const UINT kRequestDecompressExEnd = HostRequestNumber(ICM_DECOMPRESSEX_END);
const UINT kRequestCompressFramesInfo = HostRequestNumber(ICM_COMPRESS_FRAMES_INFO);
const UINT kRequestGetInfo = HostRequestNumber(ICM_GETINFO);
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
// The exit code of a host whose codec did not open in the stated mode.
const DWORD kCodecNotOpenedExitCode = 0xC0;

static_assert(sizeof(HostControlBlock) == 32, "HostControlBlock is 32 bytes");
static_assert(offsetof(HostControlBlock, iAlive) == 0, "iAlive at 0");
static_assert(offsetof(HostControlBlock, hWndHost) == 4, "hWndHost at 4");
static_assert(offsetof(HostControlBlock, dwClientPid) == 8, "dwClientPid at 8");
static_assert(offsetof(HostControlBlock, reserved) == 12, "reserved bytes from 12");
static_assert(offsetof(HostControlBlock, dwRefusal) == 20, "dwRefusal at 20");
static_assert(offsetof(HostControlBlock, dwOpenMode) == 24, "dwOpenMode at 24");
static_assert(kParamAreaSize == 0xFFE0, "ParamArea is 65504 bytes");

static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is the same in both layouts");
static_assert(sizeof(ICINFO) == 568, "ICINFO is the same in both layouts");
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
static_assert(sizeof(IcDecompressEx32) == 52, "ICDECOMPRESSEX is 52 bytes in 32-bit code");
static_assert(offsetof(IcDecompressEx32, xDst) == 20, "xDst at 20");
static_assert(sizeof(IcCompressFrames32) == 64, "ICCOMPRESSFRAMES is 64 bytes in 32-bit code");
static_assert(offsetof(IcCompressFrames32, lStartFrame) == 20, "lStartFrame at 20");
static_assert(offsetof(IcCompressFrames32, GetData) == 56, "GetData at 56");
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
static_assert(sizeof(ICDECOMPRESSEX) == sizeof(IcDecompressEx32), "ICDECOMPRESSEX layout");
static_assert(offsetof(ICDECOMPRESSEX, dySrc) == offsetof(IcDecompressEx32, dySrc), "ICDECOMPRESSEX layout");
static_assert(sizeof(ICCOMPRESSFRAMES) == sizeof(IcCompressFrames32), "ICCOMPRESSFRAMES layout");
static_assert(offsetof(ICCOMPRESSFRAMES, PutData) == offsetof(IcCompressFrames32, PutData),
              "ICCOMPRESSFRAMES layout");
#endif

static_assert(sizeof(HostHandover) == 276, "HostHandover is 276 bytes");
static_assert(offsetof(HostHandover, dwFcc) == 272, "HostHandover.dwFcc at 272");

static_assert(kRequestHandshake > WM_USER + 200 + ICM_USER
                  && kRequestHandshake > WM_USER + ICM_RESERVED_HIGH - ICM_RESERVED_LOW,
              "the handshake lies beyond every number the request scheme derives");
static_assert(kRequestGetState == 0x400 && kRequestGetDefaultQuality == 0x41E, "WM_USER + (m - 0x5000)");
static_assert(kRequestCompressGetFormat == 0x468 && kRequestDecompressGetPalette == 0x482,
              "WM_USER + 100 + (m - 0x4000)");
static_assert(kRequestDrvLoad == 0x4C9 && kRequestDrvClose == 0x4CC && kRequestDrvPower == 0x4D7,
              "WM_USER + 200 + m");
