#include "demo/session_steps.h"

#include <algorithm>
#include <cstring>

int32_t Low32(LRESULT result)
{
    return static_cast<int32_t>(result);
}

BITMAPINFOHEADER* Header(std::vector<uint8_t>& format)
{
    return reinterpret_cast<BITMAPINFOHEADER*>(format.data());
}

size_t FormatSpan(const BITMAPINFOHEADER* header)
{
    DWORD colours = header->biClrUsed;
    if (colours == 0 && header->biBitCount <= 8)
        colours = 1u << header->biBitCount;
    return header->biSize + colours * sizeof(RGBQUAD);
}

HIC OpenClientCodec(const std::string& codec, UINT mode, Transcript* transcript)
{
    HIC hic = ICOpen(ICTYPE_VIDEO, CodecFourCC(codec), mode);
    AddStep(transcript, "codec opened", hic != nullptr);
    return hic;
}

std::vector<uint8_t> CompressedFormat(HIC hic, std::vector<uint8_t>& input, Transcript* transcript)
{
    LRESULT size = ICCompressGetFormatSize(hic, input.data());
    std::vector<uint8_t> format(std::max(static_cast<size_t>(std::max<LRESULT>(size, 0)), kFormatBytes));
    int32_t result = Low32(ICCompressGetFormat(hic, input.data(), format.data()));
    AddStep(transcript, "compressed format", result, format.data(), FormatSpan(Header(format)));
    return format;
}

size_t LargestCompressedFrame(HIC hic, std::vector<uint8_t>& input, std::vector<uint8_t>& format)
{
    LRESULT largest = ICCompressGetSize(hic, input.data(), format.data());
    return std::max<size_t>(static_cast<size_t>(std::max<LRESULT>(largest, 0)), Header(format)->biSizeImage);
}

void AddFormatAskedFor(HIC hic, std::vector<uint8_t>& compressed, WORD bits, Transcript* transcript)
{
    LRESULT size = ICDecompressGetFormatSize(hic, compressed.data());
    std::vector<uint8_t> format(std::max(static_cast<size_t>(std::max<LRESULT>(size, 0)), kFormatBytes));
    BITMAPINFOHEADER* asked = Header(format);
    *asked = *Header(compressed);
    asked->biSize = sizeof *asked;
    asked->biBitCount = bits;
    asked->biCompression = BI_RGB;
    asked->biSizeImage = 0;
    asked->biClrUsed = 0;
    int32_t result = Low32(ICDecompressGetFormat(hic, compressed.data(), format.data()));
    AddStep(transcript, "decompressed format asked for " + std::to_string(bits) + " bits", result,
            format.data(), std::min(FormatSpan(asked), format.size()));
}

DWORD CodecFourCC(const std::string& text)
{
    char fcc[4] = {};
    std::memcpy(fcc, text.c_str(), std::min<size_t>(text.size(), 4));
    return mmioFOURCC(fcc[0], fcc[1], fcc[2], fcc[3]);
}
