#include "bench/host_decompression.h"

#include <algorithm>
#include <cstring>

#include "driver/frame_room.h"
#include "driver/request_layout.h"
#include "host/frame_size.h"
#include "host/param_layout.h"

namespace {

template <typename Copy>
double TimedCopy(Copy copy)
{
    return Timed([&] {
        copy();
        return true;
    });
}

}

HostDecompression::HostDecompression(const CompressedClip& clip)
    : clip_(clip)
{
}

bool HostDecompression::Start(const char* slot)
{
    HostChannel& channel = link_.Channel();
    const BITMAPINFOHEADER& input = clip_.format.header;
    RequestPlaces places;
    int32_t result;
    // The layouts and views the driver uses.
    if (!link_.Start(slot, kLayoutsWholeRecords) || link_.Layouts() != kLayoutsWholeRecords
        || !PutHeaderPair(channel.ParamArea(), link_.Layouts(), &input, nullptr, kFormatRoom, &places)
        || !link_.Send(kRequestDecompressGetFormat, 0, 1, &result) || result != ICERR_OK)
        return false;
    std::memcpy(&output_, channel.ParamArea() + places.output, sizeof output_);
    picture_.assign(static_cast<size_t>(FrameExtent(output_.header)), 0);
    uint64_t largestFrame = 0;
    for (const std::vector<uint8_t>& frame : clip_.frames)
        largestFrame = std::max<uint64_t>(largestFrame, frame.size());
    uint32_t generation
        = channel.CreateSeriesViews(kSeriesDecompress, WithSpare(largestFrame), WithSpare(picture_.size()));
    if (generation == 0 || !link_.Send(kRequestFrameViews, kSeriesDecompress, generation, &result)
        || result != ICERR_OK)
        return false;
    PutFrame();
    return PutHeaderPair(channel.ParamArea(), link_.Layouts(), &input, &output_.header, 0, &places)
        && link_.Send(kRequestDecompressBegin, 0, 0, &result) && result == ICERR_OK;
}

bool HostDecompression::Decompress()
{
    BenchFormat frameFormat = clip_.format;
    frameFormat.header.biSizeImage = static_cast<DWORD>(clip_.frames[lying_].size());
    ICDECOMPRESS record = {};
    record.lpbiInput = &frameFormat.header;
    record.lpbiOutput = &output_.header;
    FramePlaces frames;
    frames.input = FramePlace(0);
    frames.output = FramePlace(0);
    RequestPlaces places;
    int32_t result;
    return PutDecompress(link_.Channel().ParamArea(), link_.Layouts(), record, &places, frames)
        && link_.Send(kRequestDecompress, 0, sizeof(IcDecompress32), &result) && result == ICERR_OK;
}

double HostDecompression::Frame()
{
    return Timed([&] {
        PutFrame();
        PutPicture();
        if (!Decompress())
            return false;
        CopyBack();
        return true;
    });
}

double HostDecompression::Request()
{
    return Timed([&] { return Decompress(); });
}

double HostDecompression::CopyFrameIn()
{
    return TimedCopy([&] { PutFrame(); });
}

double HostDecompression::CopyPictureIn()
{
    return TimedCopy([&] { PutPicture(); });
}

double HostDecompression::CopyPictureBack()
{
    return TimedCopy([&] { CopyBack(); });
}

void HostDecompression::CopyBack()
{
    std::memcpy(picture_.data(), link_.Channel().SeriesOut(kSeriesDecompress), picture_.size());
}

void HostDecompression::PutFrame()
{
    lying_ = next_++ % clip_.frames.size();
    std::memcpy(link_.Channel().SeriesIn(kSeriesDecompress), clip_.frames[lying_].data(), clip_.frames[lying_].size());
}

void HostDecompression::PutPicture()
{
    std::memcpy(link_.Channel().SeriesOut(kSeriesDecompress), picture_.data(), picture_.size());
}

double HostDecompression::MeanFrameSize() const
{
    double bytes = 0;
    for (const std::vector<uint8_t>& frame : clip_.frames)
        bytes += frame.size();
    return clip_.frames.empty() ? 0 : bytes / clip_.frames.size();
}
