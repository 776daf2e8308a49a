#include "fuzz_requests.h"

#include <vfw.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "bitmap_header.h"
#include "host/frame_size.h"
#include "packbits.h"
#include "test_codec_control.h"

namespace {

// What the fuzzer puts into a classic frame mapping at most.
const uint64_t kClassicFrame = 65536;

const uint32_t kInteresting[]
    = {0,     1,      2,      3,       4,          8,          16,         24,        32,
       39,    40,     124,    255,     256,        257,        4096,       65503,     65504,
       65505, 0x7FFF, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFF0, 0xFFFFFFFF};

const DWORD kCompressions[] = {BI_RGB,
                               BI_RLE8,
                               BI_RLE4,
                               BI_BITFIELDS,
                               MAKEFOURCC('Y', 'U', 'Y', '2'),
                               MAKEFOURCC('Y', 'V', '1', '2'),
                               MAKEFOURCC('M', 'J', 'P', 'G')};

const UINT kHeaderPairs[]
    = {kRequestCompressQuery, kRequestCompressGetSize, kRequestDecompressQuery, kRequestDecompressGetPalette};

const UINT kDriverRequests[] = {
    kRequestDrvLoad,  kRequestDrvEnable,         kRequestDrvDisable, kRequestDrvFree, kRequestDrvExitSession,
    kRequestDrvPower, kRequestDrvQueryConfigure, kRequestConfigure,  kRequestAbout,   kRequestDrvConfigure};

// Requests of plain values: the first three in every layout, the others
// only in the whole-record layouts.
const UINT kValueRequests[] = {kRequestGetState,          kRequestSetState,
                               kRequestGetDefaultQuality, kRequestGetQuality,
                               kRequestGetBuffersWanted,  kRequestGetDefaultKeyFrameRate,
                               kRequestDecompressExEnd,   kRequestDecompressSetPalette,
                               kRequestSetQuality,        kRequestGetInfo};

// The requests of a series kind, and where its record holds the two headers
// and the two frames.
struct FrameShape {
    UINT begin, frame, end;
    uint32_t record, biInput, input, biOutput, output;
};

#define TANDREL_SHAPE(Record, biIn, in, biOut, out)                                                          \
    sizeof(Record), offsetof(Record, biIn), offsetof(Record, in), offsetof(Record, biOut),                   \
        offsetof(Record, out)

const FrameShape kShapes[kSeriesKinds] = {
    {kRequestCompressBegin, kRequestCompress, kRequestCompressEnd,
     TANDREL_SHAPE(IcCompress32, lpbiInput, lpInput, lpbiOutput, lpOutput)},
    {kRequestDecompressBegin, kRequestDecompress, kRequestDecompressEnd,
     TANDREL_SHAPE(IcDecompress32, lpbiInput, lpInput, lpbiOutput, lpOutput)},
    {kRequestDecompressExBegin, kRequestDecompressEx, kRequestDecompressExEnd,
     TANDREL_SHAPE(IcDecompressEx32, lpbiSrc, lpSrc, lpbiDst, lpDst)},
};

// The codec message a request becomes, for scripting misbehaviour.
uint32_t CodecMessage(UINT request)
{
    if (request >= WM_USER + 200)
        return request - WM_USER - 200;
    return request >= WM_USER + 100 ? ICM_USER + (request - WM_USER - 100)
                                    : ICM_RESERVED_LOW + (request - WM_USER);
}

void Put32(uint8_t* at, uint32_t value)
{
    std::memcpy(at, &value, sizeof value);
}

}

FuzzRequests::FuzzRequests(uint64_t seed, uint32_t fcc, bool scripted)
    : rng(seed)
    , codecFcc(fcc)
    , scriptedCodec(scripted)
{
    for (uint32_t kind = 0; kind < kSeriesKinds; ++kind)
        series[kind] = NewFormats(kind);
}

uint32_t FuzzRequests::Interesting()
{
    return kInteresting[Random(sizeof kInteresting / sizeof kInteresting[0])];
}

BITMAPINFOHEADER FuzzRequests::Format(bool compressed)
{
    LONG width = 1 + Random(96);
    LONG height = 1 + Random(96);
    if (compressed && scriptedCodec)
        return MakeHeader(width, height, 24, codecFcc, width * height * 3 + Random(64));
    if (compressed)
        return MakeHeader(width, height, 8, BI_RLE8, width * height * 2, 256);
    const BITMAPINFOHEADER formats[] = {
        MakeHeader(width, height, 24),
        MakeHeader(width, height, 32),
        MakeHeader(width, height, 8, BI_RGB, 0, 1 + Random(256)),
        MakeHeader(width, height, 4, BI_RGB, 0, Random(17)),
        MakeHeader(width, height, 16, BI_BITFIELDS),
        MakeHeader(width & ~1, height, 16, MAKEFOURCC('Y', 'U', 'Y', '2')),
    };
    BITMAPINFOHEADER format = formats[Random(6)];
    format.biHeight *= Random(4) == 0 ? -1 : 1;
    return format;
}

// A decompression mostly takes back what the compression series makes: its
// compressed format in the dimensions of its input.
FuzzRequests::Formats FuzzRequests::NewFormats(uint32_t kind)
{
    if (kind == kSeriesCompress)
        return {Format(false), Format(true)};
    Formats formats = {Format(true), Random(4) ? series[kSeriesCompress].input : Format(false)};
    formats.input.biWidth = formats.output.biWidth;
    formats.input.biHeight = formats.output.biHeight;
    return formats;
}

// Sets one field (offset and size in the header) to an interesting or a
// random value.
void FuzzRequests::Mutate(BITMAPINFOHEADER* header)
{
    const struct {
        uint8_t offset;
        uint8_t size;
    } fields[] = {{0, 4}, {4, 4}, {8, 4}, {12, 2}, {14, 2}, {16, 4}, {20, 4}, {32, 4}};
    uint32_t value = Random(2) ? Interesting() : static_cast<uint32_t>(rng());
    if (Random(8) == 0)
        value = kCompressions[Random(7)];
    const auto& field = fields[Random(8)];
    std::memcpy(reinterpret_cast<uint8_t*>(header) + field.offset, &value, field.size);
}

// Writes the header and, in bytes the area still has, random colours behind
// it; gives where the next item goes in the layouts in effect.
uint32_t FuzzRequests::PutHeader(uint8_t* area, uint32_t offset, const BITMAPINFOHEADER& header)
{
    if (offset > kParamAreaSize - sizeof header)
        return kParamAreaSize;
    std::memcpy(area + offset, &header, sizeof header);
    uint64_t end = std::min<uint64_t>(offset + HeaderWholeSpan(header), kParamAreaSize);
    for (uint64_t i = offset + sizeof header; i < end && i < offset + 2048u; ++i)
        area[i] = static_cast<uint8_t>(rng());
    return static_cast<uint32_t>(std::min<uint64_t>(BehindHeader(offset, header, layouts), kParamAreaSize));
}

// The headers given (one of them mutated now and then), one behind the
// other; where the next item goes.
uint32_t FuzzRequests::PutPair(uint8_t* area, uint32_t offset, const BITMAPINFOHEADER* input,
                               const BITMAPINFOHEADER* output)
{
    BITMAPINFOHEADER headers[2]
        = {input != nullptr ? *input : BITMAPINFOHEADER(), output != nullptr ? *output : BITMAPINFOHEADER()};
    if (Random(6) == 0)
        Mutate(&headers[Random(2)]);
    if (input != nullptr)
        offset = PutHeader(area, offset, headers[0]);
    return output != nullptr ? PutHeader(area, offset, headers[1]) : offset;
}

// A record with random fields but for the headers it names: given, none
// or any other value, which also counts as given. The headers follow it,
// only those named unless `both`.
uint32_t FuzzRequests::PutRecord(uint8_t* area, uint32_t size, uint32_t biInput, uint32_t biOutput,
                                 const Formats& formats, bool both)
{
    Scribble(area, size);
    uint32_t items[2];
    for (uint32_t& item : items)
        item = Random(6) ? kItemGiven : Random(2) ? kNoPlace : static_cast<uint32_t>(rng());
    Put32(area + biInput, items[0]);
    Put32(area + biOutput, items[1]);
    return PutPair(area, size, both || items[0] ? &formats.input : nullptr,
                   both || items[1] ? &formats.output : nullptr);
}

// Which series the host has open, and the frame a compression left, which
// later decompressions read; the addresses the host wrote into a classic
// record, at which the fuzzer points previous-frame pointers.
void FuzzRequests::Answered(const FuzzRequest& request, int32_t result, HostChannel& channel)
{
    if (request.request == kRequestIdle && result == 1) {
        waiting = true;
        std::fill(open, open + kSeriesKinds, false);
    }
    for (uint32_t kind = 0; kind < kSeriesKinds; ++kind) {
        if (request.request == kShapes[kind].begin || request.request == kShapes[kind].end)
            open[kind] = request.request == kShapes[kind].begin && result == ICERR_OK;
    }
    if (request.request != kRequestCompress || result != ICERR_OK || request.outputKind >= kSeriesKinds)
        return;
    const uint8_t* area = channel.ParamArea();
    bool whole = layouts == kLayoutsWholeRecords;
    std::memcpy(&learned, area, sizeof learned);
    BITMAPINFOHEADER header;
    std::memcpy(&header, area + kCompressInputOffset, sizeof header);
    uint64_t output = BehindHeader(kCompressInputOffset, header, layouts);
    const uint8_t* view = whole ? channel.SeriesOut(kSeriesCompress) : channel.FrameOut();
    uint64_t size = whole ? channel.SeriesOutSize(kSeriesCompress) : kClassicFrame;
    if (output + sizeof header > kParamAreaSize || request.outputFrom >= size)
        return;
    std::memcpy(&header, area + output, sizeof header);
    uint64_t bytes = std::min<uint64_t>({header.biSizeImage, size - request.outputFrom, kClassicFrame});
    lastFrame.assign(view + request.outputFrom, view + request.outputFrom + bytes);
}

void FuzzRequests::Served(uint32_t hostLayouts)
{
    waiting = false;
    layouts = hostLayouts;
    std::fill(open, open + kSeriesKinds, false);
    // Often a BEGIN first, which finds no views of this instance.
    if (pendingBegin == kSeriesKinds && Random(2))
        pendingBegin = Random(kSeriesKinds);
}

// Mostly the driver's own idle request, and its handover once the host
// waits; now and then a broken handover, waiting or not, and an idle
// request to a waiting host.
void FuzzRequests::PutReuse(FuzzRequest* next)
{
    bool serve = waiting ? Random(4) != 0 : Random(4) == 0;
    next->request = serve ? kRequestServe : kRequestIdle;
    next->wParam = Random(4) ? Random(4) : static_cast<WPARAM>(rng());
    next->lParam = Random(4) ? 0 : static_cast<LPARAM>(rng());
    if (serve)
        next->handover = waiting && Random(2) ? kValidHandover : 1 + Random(kHandoverKinds - 1);
    // The driver asks for the whole-record layouts.
    if (next->handover == kValidHandover && Random(4))
        next->wParam = kLayoutsWholeRecords;
}

void FuzzRequests::Scribble(uint8_t* data, size_t size)
{
    uint64_t state = rng();
    for (size_t i = 0; i < size; ++i, state = state * 6364136223846793005ull + 1442695040888963407ull)
        data[i] = static_cast<uint8_t>(state >> 56);
}

uint32_t FuzzRequests::WildAddress()
{
    const uint32_t known[] = {learned.lpInput, learned.lpOutput, learned.lpbiInput, learned.lpbiOutput};
    uint32_t base = Random(3) ? known[Random(4)] : static_cast<uint32_t>(rng());
    return Random(2) ? base : base + Interesting();
}

// A place for a frame of `extent` bytes in a view of `size`: mostly inside,
// else at its very end, one byte past it, beyond it, none or wild.
uint32_t FuzzRequests::Place(uint64_t extent, uint64_t size)
{
    uint64_t room = size > extent ? size - extent : 0;
    const uint64_t places[]
        = {room, room + 1, size + Random(2) * Random(1 << 20), Random(uint32_t(room) + 1)};
    uint32_t choice = Random(16);
    return choice == 0 ? kNoPlace
        : choice == 1  ? static_cast<uint32_t>(rng())
                       : FramePlace(static_cast<uint32_t>(places[std::min<uint32_t>(choice - 2, 3)]));
}

// The input frame, and for a decompression its size in the input header:
// mostly one its series decodes (the last compressed frame, or PackBits for
// the recording codec), else random bytes.
std::vector<uint8_t> FuzzRequests::InputFrame(uint32_t kind, Formats* formats)
{
    std::vector<uint8_t> frame(std::min<uint64_t>(FrameExtent(formats->input), kClassicFrame));
    Scribble(frame.data(), frame.size());
    if (kind != kSeriesCompress && Random(4))
        frame = lastFrame;
    if (kind != kSeriesCompress && scriptedCodec && Random(2)) {
        std::vector<uint8_t> raw(std::min<uint64_t>(FrameBitmapSize(formats->output), kClassicFrame));
        Scribble(raw.data(), raw.size());
        frame.resize(PackBitsWorstCase(raw.size()));
        frame.resize(PackBitsEncode(raw.data(), raw.size(), frame.data()));
    }
    if (kind != kSeriesCompress)
        formats->input.biSizeImage = static_cast<DWORD>(frame.size());
    return frame;
}

// A frame of the kind's series, mostly in its formats. The classic layouts
// give the codec the views' first bytes; a whole record names its headers
// and places its frames, and a compression's previous frame and result
// slots. The input frame goes to its places, as much as the view holds.
void FuzzRequests::PutFrame(HostChannel& channel, uint32_t kind, FuzzRequest* next)
{
    const FrameShape& shape = kShapes[kind];
    uint8_t* area = channel.ParamArea();
    bool whole = layouts == kLayoutsWholeRecords;
    Formats formats = series[Random(8) ? kind : Random(kSeriesKinds)];
    std::vector<uint8_t> frame = InputFrame(kind, &formats);
    uint64_t inputSize = whole ? channel.SeriesInSize(kind) : kClassicFrame;
    // The room the host gives a frame: its own extent or its BEGIN's,
    // whichever is larger.
    uint64_t inputRoom = std::max<uint64_t>(frame.size(), FrameExtent(series[kind].input));
    uint64_t outputRoom = std::max(FrameExtent(formats.output), FrameExtent(series[kind].output));
    uint32_t input = whole ? Place(inputRoom, inputSize) : FramePlace(0);
    uint32_t output = whole ? Place(outputRoom, channel.SeriesOutSize(kind)) : FramePlace(0);
    uint32_t previous = whole && Random(3) == 0 ? Place(inputRoom, inputSize) : kNoPlace;
    for (uint32_t place : {input, previous}) {
        if (place != kNoPlace && place - 1u < inputSize)
            std::memcpy((whole ? channel.SeriesIn(kind) : channel.FrameIn()) + place - 1u, frame.data(),
                        static_cast<size_t>(std::min<uint64_t>(frame.size(), inputSize - (place - 1u))));
    }
    next->request = shape.frame;
    next->lParam = Random(8) ? shape.record : Interesting();
    next->outputKind = output != kNoPlace ? kind : kSeriesKinds;
    next->outputFrom = output - 1u;
    // Only decompress-ex leaves out the headers its record does not name.
    uint32_t behind = PutRecord(area, shape.record, shape.biInput, shape.biOutput, formats,
                                kind != kSeriesDecompressEx || !whole);
    Put32(area + shape.input, whole ? input : 0);
    Put32(area + shape.output, whole ? output : 0);
    if (kind != kSeriesCompress) {
        Put32(area, Random(4) ? 0 : static_cast<uint32_t>(rng()));
        if (kind == kSeriesDecompress)
            Put32(area + offsetof(IcDecompress32, ckid), mmioFOURCC('0', '0', 'd', 'c'));
        return;
    }
    if (behind > kParamAreaSize - 8)
        return;
    IcCompress32 record;
    std::memcpy(&record, area, sizeof record);
    record.dwFlags = Random(4) ? ICCOMPRESS_KEYFRAME : static_cast<uint32_t>(rng());
    record.lFrameNum = static_cast<int32_t>(Random(1000));
    record.dwQuality = Random(10001);
    record.lpbiPrev = Random(8) == 0 ? WildAddress() : 0;
    record.lpPrev = Random(8) == 0 ? WildAddress() : 0;
    if (whole) {
        record.lpckid = Random(4) ? kItemGiven : kNoPlace;
        record.lpdwFlags = Random(4) ? kItemGiven : kNoPlace;
        record.lpbiPrev = Random(3) ? kNoPlace : kItemGiven;
        record.lpPrev = previous;
    }
    std::memcpy(area, &record, sizeof record);
    Scribble(area + behind, 8);
    BITMAPINFOHEADER other = Format(false);
    if (whole && record.lpbiPrev != kNoPlace)
        PutPair(area, behind + 8, Random(4) ? &formats.input : &other, nullptr);
}

// Views of random sizes for a kind, mostly new ones with room for its
// formats (a quarter of them too small) and its BEGIN next; else the views
// it has again, a generation never created, or a kind that does not exist.
void FuzzRequests::PutViews(HostChannel& channel, uint32_t kind, FuzzRequest* next)
{
    kind = Random(8) ? kind : Random(2) ? kSeriesKinds : Interesting();
    uint32_t choice = Random(8);
    next->request = kRequestFrameViews;
    next->wParam = kind;
    next->lParam = static_cast<LPARAM>(rng() | 0x80000000u);
    if (kind >= kSeriesKinds || choice == 7)
        return;
    next->lParam = generation[kind];
    if (choice == 6)
        return;
    // Room for either format's frame and the recording codec's largest
    // compressed frame; a compression's input view holds two frames.
    uint64_t room = 0;
    for (const BITMAPINFOHEADER& header : {series[kind].input, series[kind].output})
        room = std::max({room, FrameExtent(header), uint64_t(PackBitsWorstCase(FrameBitmapSize(header)))});
    uint32_t scale = 1 + Random(4);
    room = room * scale / 2;
    generation[kind] = channel.CreateSeriesViews(
        kind, room * (kind == kSeriesCompress ? 2 : 1) + Random(4096), room + Random(4096));
    next->lParam = generation[kind];
    pendingBegin = scale > 1 ? kind : kSeriesKinds;
}

FuzzRequest FuzzRequests::Next(HostChannel& channel)
{
    FuzzRequest next;
    uint8_t* area = channel.ParamArea();
    bool whole = layouts == kLayoutsWholeRecords;
    uint32_t kinds = whole ? kSeriesKinds : kSeriesDecompressEx;
    uint32_t kind = Random(kinds);
    uint32_t family = Random(100);
    // Mostly frames of an open series, else often views and a BEGIN for one.
    bool focus = family < 40 && Random(4);
    for (uint32_t i = 0, first = Random(kinds); focus && i < kinds; ++i) {
        if (open[(first + i) % kinds]) {
            kind = (first + i) % kinds;
            break;
        }
    }
    if (whole && family < 40 && !open[kind] && Random(2))
        family = 52;
    // Views announced while the host waits are for the BEGIN after the
    // handover, which must not find them.
    bool planned = whole && !waiting && pendingBegin < kSeriesKinds;
    if (planned)
        kind = pendingBegin, family = 40;
    if (!waiting)
        pendingBegin = kSeriesKinds;
    if (waiting && whole && Random(4) == 0)
        family = 52;
    if (waiting && Random(8) == 0)
        family = 94;
    if (family < 40) {
        PutFrame(channel, kind, &next);
    } else if (family < 48) {
        if (!planned && Random(4) == 0)
            series[kind] = NewFormats(kind);
        if (kind == kSeriesDecompressEx)
            PutFrame(channel, kind, &next), next.outputKind = kSeriesKinds;
        else
            PutPair(area, 0, &series[kind].input, &series[kind].output);
        next.request = kShapes[kind].begin;
    } else if (family < 52) {
        next.request = kShapes[kind].end;
    } else if (whole && family < 58) {
        PutViews(channel, kind, &next);
    } else if (whole && family < 61) {
        PutFrame(channel, kSeriesDecompressEx, &next);
        next.request = kRequestDecompressExQuery;
        next.outputKind = kSeriesKinds;
    } else if (whole && family < 64) {
        next.request = kRequestCompressFramesInfo;
        next.lParam = Random(8) ? sizeof(IcCompressFrames32) : Interesting();
        PutRecord(area, sizeof(IcCompressFrames32), offsetof(IcCompressFrames32, lpbiInput),
                  offsetof(IcCompressFrames32, lpbiOutput), series[kSeriesCompress], false);
    } else if (family < 80) {
        bool getFormat = family >= 72;
        next.request = getFormat ? (Random(2) ? kRequestCompressGetFormat : kRequestDecompressGetFormat)
                                 : kHeaderPairs[Random(4)];
        next.wParam = Random(3) ? 1 : Random(2);
        next.lParam = Random(3) ? 1 : Random(2);
        Formats formats = {Format(Random(2) == 0), Format(Random(2) == 0)};
        PutPair(area, 0, &formats.input, &formats.output);
    } else if (family < 89) {
        next.request = kValueRequests[Random(whole ? 10 : 3)];
        next.wParam = Random(2);
        next.lParam = Random(2) ? Random(300) : Interesting();
    } else if (family < 92) {
        next.request = kDriverRequests[Random(Random(20) ? 7 : 10)];
        next.wParam = Random(4) ? static_cast<WPARAM>(-1) : Random(3);
        next.lParam = Random(3);
    } else if (family < 94) {
        next.request = kRequestHandshake;
        next.wParam = Random(4);
        next.lParam = Random(4) ? kHostProtocolVersion : Random(kHostProtocolVersion + 2);
        layouts = next.wParam <= kLayoutsWholeRecords ? static_cast<uint32_t>(next.wParam) : layouts;
    } else if (family == 94) {
        PutReuse(&next);
    } else {
        // Outside the table; never the driver-close request, which ends the host.
        do
            next.request = WM_USER + Random(300);
        while (next.request == kRequestDrvClose);
        next.wParam = static_cast<WPARAM>(rng());
        next.lParam = static_cast<LPARAM>(rng());
    }
    if (Random(16) == 0) {
        for (int i = 0; i < 8; ++i)
            area[Random(2048)] = static_cast<uint8_t>(rng());
    }
    next.rewrite = Random(8) == 0;
    if (scriptedCodec && Random(3000) == 0) {
        next.faultMessage = CodecMessage(next.request);
        bool frame = next.request == kRequestCompress || next.request == kRequestDecompress
            || next.request == kRequestDecompressEx;
        next.faultAnswer = frame && Random(2) ? kAnswerOverrun : kAnswerFault;
    }
    return next;
}
