#include "host/frame_place.h"

#include "host/host_protocol.h"

bool InsideView(uint32_t address, uint64_t size, const FrameView& view)
{
    uint32_t offset = address - HostAddress(view.base);
    return view.base != nullptr && offset <= view.size && size <= view.size - offset;
}

bool ResolveFramePlace(uint32_t place, uint64_t extent, const FrameView& view, uint32_t* address)
{
    *address = 0;
    if (place == kNoPlace)
        return true;
    uint64_t offset = place - 1;
    if (view.base == nullptr || offset > view.size || extent > view.size - offset)
        return false;
    *address = HostAddress(view.base + offset);
    return true;
}
