#include "bench/host_side.h"

#include <algorithm>
#include <cstring>

#include "host/frame_size.h"
#include "host/param_layout.h"

namespace {

uint32_t FrameSize(const BITMAPINFOHEADER& header)
{
    return static_cast<uint32_t>(FrameExtent(header));
}

}

HostSide::HostSide(const std::vector<std::vector<uint8_t>>& sources)
    : sources_(sources)
    , channel_(link_.Channel())
    , input_(BenchInputFormat(kBenchCases[kHostCase]))
{
}

bool HostSide::Start(const char* slot)
{
    int32_t answer;
    RequestPlaces places;
    int32_t largest;
    if (!link_.Start(slot)
        || !PutHeaderPair(channel_.ParamArea(), link_.Layouts(), &input_.header, nullptr, kFormatRoom,
                          &places)
        || !link_.Send(kRequestCompressGetFormat, 0, 1, &answer) || answer != ICERR_OK)
        return false;
    std::memcpy(&output_, channel_.ParamArea() + places.output, sizeof output_);
    if (!PutHeaderPair(channel_.ParamArea(), link_.Layouts(), &input_.header, &output_.header, 0, &places)
        || !link_.Send(kRequestCompressGetSize, 1, 1, &largest) || largest <= 0)
        return false;
    compressed_.resize(std::max<size_t>(largest, output_.header.biSizeImage));
    return channel_.CreateFrames(FrameMappingSize(input_.header),
                                 FrameMappingSize(output_.header, static_cast<uint64_t>(largest)))
        && Begin() >= 0;
}

double HostSide::QualityRequest()
{
    DWORD quality = 0;
    int32_t result;
    return Timed([&] {
        std::memcpy(channel_.ParamArea(), &quality, sizeof quality);
        bool sent = link_.Send(kRequestGetDefaultQuality, 1, sizeof quality, &result);
        std::memcpy(&quality, channel_.ParamArea(), sizeof quality);
        return sent && result == ICERR_OK;
    });
}

bool HostSide::Compress(CompressResults* results)
{
    ICCOMPRESS record = {};
    record.dwFlags = ICCOMPRESS_KEYFRAME;
    record.lpbiOutput = &output_.header;
    record.lpbiInput = &input_.header;
    record.lFrameNum = next_++;
    RequestPlaces places;
    int32_t result;
    if (!PutCompress(channel_.ParamArea(), link_.Layouts(), record, &places)
        || !link_.Send(kRequestCompress, 0, sizeof(IcCompress32), &result) || result != ICERR_OK)
        return false;
    *results = TakeCompressResults(channel_.ParamArea(), places);
    return true;
}

double HostSide::FrameRequest()
{
    CompressResults results;
    return Timed([&] { return Compress(&results); });
}

double HostSide::Frame()
{
    CompressResults results;
    const std::vector<uint8_t>& source = sources_[next_ % sources_.size()];
    return Timed([&] {
        std::memcpy(channel_.FrameIn(), source.data(), FrameSize(input_.header));
        if (!Compress(&results) || results.output.biSizeImage > compressed_.size())
            return false;
        std::memcpy(compressed_.data(), channel_.FrameOut(), results.output.biSizeImage);
        bytes_ += results.output.biSizeImage;
        frames_ += 1;
        return true;
    });
}

double HostSide::Copies()
{
    return Timed([&] {
        CopyIn();
        CopyOut();
        return true;
    });
}

void HostSide::CopyIn()
{
    std::memcpy(channel_.FrameIn(), sources_[next_++ % sources_.size()].data(), FrameSize(input_.header));
}

void HostSide::CopyOut()
{
    size_t size = static_cast<size_t>(std::min<double>(MeanCompressedSize(), compressed_.size()));
    std::memcpy(compressed_.data(), channel_.FrameOut(), size);
}

double HostSide::Begin()
{
    RequestPlaces places;
    int32_t result;
    return Timed([&] {
        return PutHeaderPair(channel_.ParamArea(), link_.Layouts(), &input_.header, &output_.header, 0,
                             &places)
            && link_.Send(kRequestCompressBegin, 0, 0, &result) && result == ICERR_OK;
    });
}

double HostSide::End()
{
    int32_t result;
    return Timed([&] { return link_.Send(kRequestCompressEnd, 0, 0, &result) && result == ICERR_OK; });
}
