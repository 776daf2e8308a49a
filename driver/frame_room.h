#pragma once

#include <algorithm>
#include <cstdint>

#include "host/frame_size.h"

// How large the driver makes the frame mappings it creates for the host.

// The 32-bit host maps each frame view whole: frames larger than this are
// refused before the host tries.
const uint64_t kLargestFrameMapping = 512u << 20;

inline bool Mappable(uint64_t size)
{
    return size != kNoFrameSize && size <= kLargestFrameMapping;
}

// A mapping holds spare room behind its frame, as large as the frame and
// at least 64 KB: a codec that writes a little past a frame (Wine's mrle
// does, decoding some delta frames) then writes into the spare, as it would
// into the slack behind a program's own buffer, instead of faulting at the
// end of the host's view and ending the host. Nothing in it travels back.
inline uint64_t WithSpare(uint64_t size)
{
    const uint64_t kSpareFloor = 64 << 10;
    return std::min(size + std::max(size, kSpareFloor), std::max(size, kLargestFrameMapping));
}

// The distance between the two frame places of a compression input view:
// the larger frame, rounded up to whole pages.
inline uint64_t PlaceStride(uint64_t frameBytes)
{
    const uint64_t kPage = 4096;
    return frameBytes > kNoFrameSize - kPage ? kNoFrameSize : (frameBytes + kPage - 1) / kPage * kPage;
}
