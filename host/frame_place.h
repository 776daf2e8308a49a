#pragma once

#include <cstdint>

// Where the codec finds a frame: a place in one of the views of a series.
// Pure arithmetic on addresses of this process, which are 32 bits wide.

// An address of this process as the records carry it.
inline uint32_t HostAddress(const void* pointer)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// One frame view: its first byte and its size in bytes.
struct FrameView {
    uint8_t* base;
    uint64_t size;
};

// True when the `size` bytes at `address` lie inside the view.
bool InsideView(uint32_t address, uint64_t size, const FrameView& view);

// The address for a frame place of a whole-record layout (see
// host_protocol.h): 0 for kNoPlace; false when the `extent` bytes at the
// place do not lie inside the view.
bool ResolveFramePlace(uint32_t place, uint64_t extent, const FrameView& view, uint32_t* address);
