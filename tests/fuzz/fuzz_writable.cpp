#include "fuzz_writable.h"

#include <windows.h>
#include <vfw.h>

#include <algorithm>
#include <cstring>

#include "host/host_protocol.h"

namespace {

const uint64_t kNowhere = UINT64_MAX;
// The records in front of the headers, as a 32-bit program lays them out.
const uint32_t kCompressRecord = 48;
const uint32_t kDecompressRecord = 24;
const uint32_t kDecompressExRecord = 52;
const uint32_t kFramesInfoRecord = 64;

// ParamArea as the client left it, read as the layouts say.
class Layout {
public:
    Layout(const std::vector<uint8_t>& bytes, uint32_t layouts) : bytes_(bytes), layouts_(layouts) { }

    uint32_t Word(uint32_t offset) const
    {
        uint32_t value = 0;
        if (offset + 4 <= bytes_.size())
            std::memcpy(&value, bytes_.data() + offset, 4);
        return value;
    }

    // Where the item behind the header at `at` lies: biSize bytes on in the
    // classic layouts; in the others past the colour entries (biClrUsed, or
    // a whole palette of 1 to 8 bits) and, for BI_BITFIELDS behind a header
    // shorter than the 52 bytes that hold them, the three masks. kNowhere
    // for a header that does not lie in ParamArea.
    uint64_t Behind(uint64_t at) const
    {
        BITMAPINFOHEADER header;
        if (at == kNowhere || at + sizeof header > bytes_.size())
            return kNowhere;
        std::memcpy(&header, bytes_.data() + at, sizeof header);
        if (layouts_ == kLayoutsClassic)
            return at + header.biSize;
        uint64_t entries = header.biClrUsed;
        if (entries == 0 && header.biBitCount >= 1 && header.biBitCount <= 8)
            entries = uint64_t(1) << header.biBitCount;
        uint64_t masks = header.biCompression == BI_BITFIELDS && header.biSize < 52 ? 12 : 0;
        return at + std::max<uint64_t>(header.biSize, sizeof header) + 4 * entries + masks;
    }

    // The end of a pair of headers from `at`, each there when asked for.
    uint64_t PairEnd(uint64_t at, bool input, bool output, uint64_t* outputAt) const
    {
        *outputAt = input ? Behind(at) : at;
        return output ? Behind(*outputAt) : *outputAt;
    }

private:
    const std::vector<uint8_t>& bytes_;
    uint32_t layouts_;
};

}

std::vector<bool> Writable(const FuzzRequest& request, const std::vector<uint8_t>& before, uint32_t layouts,
                           bool waiting, bool refused)
{
    std::vector<bool> writable(kParamAreaSize, false);
    if (waiting || refused)
        return writable;
    auto allow = [&](uint64_t from, uint64_t to) {
        for (uint64_t i = from; i < to && i < kParamAreaSize; ++i)
            writable[i] = true;
    };
    Layout area(before, layouts);
    const UINT number = request.request;
    const bool whole = layouts == kLayoutsWholeRecords;
    const uint64_t size = static_cast<uint32_t>(request.lParam);
    const bool flags[2] = {request.wParam != 0, request.lParam != 0};
    uint64_t output = 0;
    if ((number == kRequestGetState && request.wParam != 0) || (whole && number == kRequestGetInfo)) {
        allow(0, size);
    } else if (request.wParam != 0
               && (number == kRequestGetDefaultQuality
                   || (whole
                       && (number == kRequestGetQuality || number == kRequestGetBuffersWanted
                           || number == kRequestGetDefaultKeyFrameRate)))) {
        allow(0, 4);
    } else if (number == kRequestCompressGetFormat || number == kRequestDecompressGetFormat) {
        allow(area.Behind(0), kParamAreaSize);
    } else if (number == kRequestDecompressGetPalette) {
        area.PairEnd(0, flags[0], flags[1], &output);
        allow(output, kParamAreaSize);
    } else if (number == kRequestCompress) {
        uint64_t slots = area.PairEnd(kCompressRecord, true, true, &output);
        uint64_t end = slots == kNowhere ? kNowhere : slots + 8;
        // In the whole-record layouts the previous frame's header follows.
        uint32_t previous = area.Word(offsetof(IcCompress32, lpbiPrev));
        if (whole && previous != kNoPlace)
            end = area.Behind(end);
        if (whole)
            allow(0, end);
        else
            allow(0, kCompressRecord), allow(output, end);
    } else if (whole && number == kRequestDecompress) {
        allow(0, area.PairEnd(kDecompressRecord, true, true, &output));
    } else if (whole && number == kRequestDecompressEx) {
        allow(0, area.PairEnd(kDecompressExRecord, area.Word(offsetof(IcDecompressEx32, lpbiSrc)) != kNoPlace,
                              area.Word(offsetof(IcDecompressEx32, lpbiDst)) != kNoPlace, &output));
    } else if (number == kRequestCompressBegin || number == kRequestDecompressBegin) {
        uint64_t end = area.PairEnd(0, true, true, &output);
        allow(output, end);
    } else if (number == kRequestCompressQuery || number == kRequestCompressGetSize
               || number == kRequestDecompressQuery) {
        uint64_t end = area.PairEnd(0, flags[0], flags[1], &output);
        allow(output, end);
    } else if (whole && (number == kRequestDecompressExQuery || number == kRequestDecompressExBegin)) {
        uint64_t end = area.PairEnd(kDecompressExRecord, area.Word(offsetof(IcDecompressEx32, lpbiSrc)) != kNoPlace,
                                    area.Word(offsetof(IcDecompressEx32, lpbiDst)) != kNoPlace, &output);
        allow(output, end);
    } else if (whole && number == kRequestCompressFramesInfo) {
        uint64_t end = area.PairEnd(kFramesInfoRecord,
                                    area.Word(offsetof(IcCompressFrames32, lpbiInput)) != kNoPlace,
                                    area.Word(offsetof(IcCompressFrames32, lpbiOutput)) != kNoPlace, &output);
        allow(output, end);
    }
    return writable;
}
