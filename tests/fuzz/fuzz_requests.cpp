#include "fuzz_requests.h"

#include <vfw.h>

#include <algorithm>
#include <cstring>

#include "bitmap_header.h"
#include "test_codec_control.h"

namespace {

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

// The codec message a request becomes, for scripting misbehaviour.
uint32_t CodecMessage(UINT request)
{
    if (request >= WM_USER + 200)
        return request - WM_USER - 200;
    return request >= WM_USER + 100 ? ICM_USER + (request - WM_USER - 100)
                                    : ICM_RESERVED_LOW + (request - WM_USER);
}

}

FuzzRequests::FuzzRequests(uint64_t seed, uint32_t fcc, bool scripted)
    : rng(seed)
    , codecFcc(fcc)
    , scriptedCodec(scripted)
{
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

// Sets one field (offset and size in the header) to an interesting or a
// random value.
void FuzzRequests::Mutate(BITMAPINFOHEADER* header)
{
    const struct {
        uint8_t offset;
        uint8_t size;
    } fields[] = {{0, 4}, {4, 4}, {8, 4}, {12, 2}, {14, 2}, {16, 4}, {20, 4}, {32, 4}};
    uint32_t value = Random(2) ? kInteresting[Random(sizeof kInteresting / 4)] : static_cast<uint32_t>(rng());
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

void FuzzRequests::PutPair(uint8_t* area, uint32_t offset, const BITMAPINFOHEADER& input,
                           const BITMAPINFOHEADER& output)
{
    BITMAPINFOHEADER in = input;
    BITMAPINFOHEADER out = output;
    if (Random(6) == 0)
        Mutate(Random(2) ? &in : &out);
    uint32_t behind = PutHeader(area, PutHeader(area, offset, in), out);
    if (behind <= kParamAreaSize - 8)
        std::memset(area + behind, 0xEE, 8);
}

void FuzzRequests::Learn(const uint8_t* area)
{
    std::memcpy(&learned, area, sizeof learned);
    uint64_t output = BehindHeader(sizeof learned, seriesInput, layouts);
    if (output + sizeof(BITMAPINFOHEADER) <= kParamAreaSize)
        learnedSize = reinterpret_cast<const BITMAPINFOHEADER*>(area + output)->biSizeImage;
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
    return Random(2) ? base : base + static_cast<uint32_t>(kInteresting[Random(sizeof kInteresting / 4)]);
}

void FuzzRequests::PutFrameRequest(uint8_t* area, uint8_t* frameIn, const uint8_t* frameOut, bool compress)
{
    BITMAPINFOHEADER input = seriesInput;
    BITMAPINFOHEADER output = seriesOutput;
    if (compress) {
        IcCompress32 record = {};
        record.dwFlags = Random(4) ? ICCOMPRESS_KEYFRAME : static_cast<uint32_t>(rng());
        record.lFrameNum = static_cast<int32_t>(Random(1000));
        record.dwQuality = Random(10001);
        record.lpbiPrev = Random(8) == 0 ? WildAddress() : 0;
        record.lpPrev = Random(8) == 0 ? WildAddress() : 0;
        std::memcpy(area, &record, sizeof record);
        Scribble(frameIn, 65536);
    } else {
        IcDecompress32 record
            = {Random(4) ? 0 : static_cast<uint32_t>(rng()), 0, 0, 0, 0, mmioFOURCC('0', '0', 'd', 'c')};
        std::memcpy(area, &record, sizeof record);
        // Mostly what the last compression wrote: data the codec can read.
        input.biSizeImage = std::min<DWORD>(Random(3) ? learnedSize : input.biSizeImage, 65536);
        if (Random(3))
            std::memcpy(frameIn, frameOut, input.biSizeImage);
        else
            Scribble(frameIn, input.biSizeImage);
    }
    PutPair(area, compress ? sizeof(IcCompress32) : sizeof(IcDecompress32), input, output);
}

FuzzRequest FuzzRequests::Next(uint8_t* area, uint8_t* frameIn, const uint8_t* frameOut)
{
    FuzzRequest next;
    uint32_t kind = Random(100);
    bool compress = Random(2) != 0;
    if (kind < 40) {
        next.request = compress ? kRequestCompress : kRequestDecompress;
        next.lParam = Random(8) ? (compress ? sizeof(IcCompress32) : sizeof(IcDecompress32))
                                : kInteresting[Random(sizeof kInteresting / 4)];
        PutFrameRequest(area, frameIn, frameOut, compress);
    } else if (kind < 48) {
        next.request = compress ? kRequestCompressBegin : kRequestDecompressBegin;
        seriesInput = Format(!compress);
        seriesOutput = Format(compress);
        if (!compress)
            seriesOutput.biWidth = seriesInput.biWidth, seriesOutput.biHeight = seriesInput.biHeight;
        PutPair(area, 0, seriesInput, seriesOutput);
    } else if (kind < 52) {
        next.request = compress ? kRequestCompressEnd : kRequestDecompressEnd;
    } else if (kind < 80) {
        bool getFormat = kind >= 72;
        next.request = getFormat ? (compress ? kRequestCompressGetFormat : kRequestDecompressGetFormat)
                                 : kHeaderPairs[Random(4)];
        next.wParam = Random(3) ? 1 : Random(2);
        next.lParam = Random(3) ? 1 : Random(2);
        PutPair(area, 0, Format(Random(2) == 0), Format(Random(2) == 0));
    } else if (kind < 89) {
        const UINT simple[] = {kRequestGetState, kRequestSetState, kRequestGetDefaultQuality};
        next.request = simple[Random(3)];
        next.wParam = Random(2);
        next.lParam = Random(2) ? Random(300) : kInteresting[Random(sizeof kInteresting / 4)];
    } else if (kind < 92) {
        next.request = kDriverRequests[Random(Random(20) ? 7 : 10)];
        next.wParam = Random(4) ? static_cast<WPARAM>(-1) : Random(3);
        next.lParam = Random(3);
    } else if (kind < 95) {
        next.request = kRequestHandshake;
        next.wParam = Random(4);
        layouts = next.wParam <= kLayoutsWholeRecords ? static_cast<uint32_t>(next.wParam) : layouts;
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
        bool frame = next.request == kRequestCompress || next.request == kRequestDecompress;
        next.faultAnswer = frame && Random(2) ? kAnswerOverrun : kAnswerFault;
    }
    return next;
}
