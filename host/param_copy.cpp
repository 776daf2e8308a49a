#include "host/param_copy.h"

#include <cstring>

#include "host/host_protocol.h"

namespace {

// The control mapping's size, and as much again reserved behind it.
const SIZE_T kBlockSize = kControlMappingSize;

}

ParamCopy::ParamCopy()
    : block(nullptr)
    , data(nullptr)
    , shared(nullptr)
    , taken(0)
{
}

ParamCopy::~ParamCopy()
{
    if (block != nullptr)
        VirtualFree(block, 0, MEM_RELEASE);
}

bool ParamCopy::Start(const uint8_t* sharedArea)
{
    if (block == nullptr) {
        // Reserved but never committed, the second half faults on any access.
        void* reserved = VirtualAlloc(nullptr, 2 * kBlockSize, MEM_RESERVE, PAGE_NOACCESS);
        if (reserved == nullptr || VirtualAlloc(reserved, kBlockSize, MEM_COMMIT, PAGE_READWRITE) == nullptr)
            return false;
        block = static_cast<uint8_t*>(reserved);
        data = block + kBlockSize - kParamAreaSize;
    }
    shared = const_cast<uint8_t*>(sharedArea);
    taken = 0;
    return true;
}

bool ParamCopy::Take(uint64_t end)
{
    if (end > kParamAreaSize)
        return false;
    if (end > taken) {
        std::memcpy(data + taken, shared + taken, static_cast<size_t>(end) - taken);
        taken = static_cast<uint32_t>(end);
    }
    return true;
}

void ParamCopy::Return(uint32_t offset, uint32_t size)
{
    std::memcpy(shared + offset, data + offset, size);
}
