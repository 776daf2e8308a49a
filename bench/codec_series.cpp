#include "bench/codec_series.h"

#include <algorithm>

#include "catalogue/fourcc.h"

CodecSeries::CodecSeries(const BenchCase& bench, const std::vector<std::vector<uint8_t>>& sources)
    : bench_(bench)
    , sources_(sources)
    , input_(BenchInputFormat(bench))
{
}

CodecSeries::~CodecSeries()
{
    if (begun_)
        ICCompressEnd(codec_);
    if (codec_ != nullptr)
        ICClose(codec_);
}

bool CodecSeries::Open(DWORD fccHandler)
{
    codec_ = ICOpen(ICTYPE_VIDEO, fccHandler, ICMODE_COMPRESS);
    if (codec_ == nullptr
        || ICSendMessage(codec_, ICM_GETDEFAULTQUALITY, reinterpret_cast<DWORD_PTR>(&quality_),
                         sizeof quality_)
            != ICERR_OK)
        return false;
    LRESULT formatSize = ICCompressGetFormatSize(codec_, &input_.header);
    if (formatSize <= 0 || static_cast<size_t>(formatSize) > sizeof output_
        || ICCompressGetFormat(codec_, &input_.header, &output_.header) != ICERR_OK)
        return false;
    LRESULT largest = ICCompressGetSize(codec_, &input_.header, &output_.header);
    compressed_.resize(std::max<size_t>(std::max<LRESULT>(largest, 0), output_.header.biSizeImage));
    begun_ = ICCompressBegin(codec_, &input_.header, &output_.header) == ICERR_OK;
    return begun_;
}

bool CodecSeries::CompressNext()
{
    BenchFormat output = output_;
    DWORD chunkId = 0;
    DWORD flags = 0;
    const std::vector<uint8_t>& source = sources_[next_ % sources_.size()];
    DWORD result = ICCompress(codec_, ICCOMPRESS_KEYFRAME, &output.header, compressed_.data(), &input_.header,
                              const_cast<uint8_t*>(source.data()), &chunkId, &flags, next_, 0, quality_,
                              nullptr, nullptr);
    ++next_;
    lastSize_ = output.header.biSizeImage;
    return result == ICERR_OK;
}

bool ListCodecInfo(DWORD fccHandler, ICINFO* info)
{
    HIC codec = ICOpen(ICTYPE_VIDEO, fccHandler, ICMODE_QUERY);
    if (codec == nullptr)
        return false;
    LRESULT size = ICGetInfo(codec, info, sizeof *info);
    ICClose(codec);
    return size > 0;
}

bool TryCodec(DWORD fccHandler, const BenchCase& bench)
{
    BenchFormat input = BenchInputFormat(bench);
    BenchFormat packed = input;
    packed.header.biCompression = bench.clip.bitCount == 8 ? BI_RLE8 : FourCCFromText(bench.fcc);
    HIC codec = ICOpen(ICTYPE_VIDEO, fccHandler, ICMODE_DECOMPRESS);
    if (codec == nullptr)
        return false;
    bool takes = ICDecompressQuery(codec, &packed.header, nullptr) == ICERR_OK
        && ICCompressQuery(codec, &input.header, nullptr) == ICERR_OK;
    ICClose(codec);
    return takes;
}
