#pragma once

#include <windows.h>

#include <cstdint>

// The host's private copy of ParamArea. The client may rewrite the shared
// area at any time, so a request is checked and served on this copy only:
// each byte is copied from the shared area at most once per request, in
// order, and the codec's outputs are copied back where the client reads
// them.
//
// The copy lies at the end of a 64 KB allocation, like ParamArea in the
// control mapping, with an inaccessible page behind it: a codec that writes
// past the area faults instead of landing in other memory.
class ParamCopy {
public:
    ParamCopy();
    ParamCopy(const ParamCopy&) = delete;
    ParamCopy& operator=(const ParamCopy&) = delete;
    ~ParamCopy();

    // Starts a request on the shared area at `shared`: nothing copied yet.
    // False when the copy could not be allocated.
    bool Start(const uint8_t* shared);

    // Copies the shared bytes up to `end` that are not copied yet; false
    // when `end` lies beyond ParamArea.
    bool Take(uint64_t end);

    uint8_t* At(uint32_t offset) const { return data + offset; }

    // Copies `size` bytes at `offset` of the copy back to the shared area.
    void Return(uint32_t offset, uint32_t size);

private:
    uint8_t* block;
    uint8_t* data;
    uint8_t* shared;
    uint32_t taken;
};
