#include "bench/decompress_series.h"

#include <algorithm>

#include "bench/codec_series.h"

bool CompressClip(const BenchCase& bench, DWORD fccHandler, CompressedClip* clip)
{
    std::vector<std::vector<uint8_t>> sources = BenchSources(bench);
    CodecSeries series(bench, sources);
    if (!series.Open(fccHandler))
        return false;
    clip->frames.clear();
    DWORD largest = 0;
    for (size_t i = 0; i < sources.size(); ++i) {
        if (!series.CompressNext())
            return false;
        clip->frames.emplace_back(series.LastFrame(), series.LastFrame() + series.LastSize());
        largest = std::max<DWORD>(largest, series.LastSize());
    }
    clip->format = series.Format();
    clip->format.header.biSizeImage = largest;
    return true;
}

DecompressSeries::DecompressSeries(const CompressedClip& clip)
    : clip_(clip)
{
}

DecompressSeries::~DecompressSeries()
{
    End();
    if (codec_ != nullptr)
        ICClose(codec_);
}

bool DecompressSeries::Open(DWORD fccHandler)
{
    BITMAPINFOHEADER* input = const_cast<BITMAPINFOHEADER*>(&clip_.format.header);
    codec_ = ICOpen(ICTYPE_VIDEO, fccHandler, ICMODE_DECOMPRESS);
    if (codec_ == nullptr)
        return false;
    LRESULT formatSize = ICDecompressGetFormatSize(codec_, input);
    if (formatSize <= 0 || static_cast<size_t>(formatSize) > sizeof output_
        || ICDecompressGetFormat(codec_, input, &output_.header) != ICERR_OK)
        return false;
    picture_.resize(output_.header.biSizeImage);
    return Begin();
}

bool DecompressSeries::Begin()
{
    BITMAPINFOHEADER* input = const_cast<BITMAPINFOHEADER*>(&clip_.format.header);
    begun_ = ICDecompressBegin(codec_, input, &output_.header) == ICERR_OK;
    return begun_;
}

bool DecompressSeries::End()
{
    bool ended = begun_ && ICDecompressEnd(codec_) == ICERR_OK;
    begun_ = false;
    return ended;
}

bool DecompressSeries::DecompressNext()
{
    return DecompressNext(const_cast<uint8_t*>(NextFrame().data()), picture_.data());
}

// Each frame's header, with the format's colour table behind it, states
// that frame's size.
bool DecompressSeries::DecompressNext(uint8_t* input, uint8_t* picture)
{
    BenchFormat frameFormat = clip_.format;
    frameFormat.header.biSizeImage = static_cast<DWORD>(NextFrame().size());
    ++next_;
    return ICDecompress(codec_, 0, &frameFormat.header, input, &output_.header, picture) == ICERR_OK;
}
