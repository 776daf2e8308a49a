#include "driver/shared_mapping.h"

#include "driver/private_mapping.h"

#include <utility>

bool SharedMapping::Create(const char* name, uint64_t size, bool mustBeNew)
{
    Close();
    SECURITY_ATTRIBUTES* access = OwnerOnlyAttributes();
    if (access == nullptr)
        return false;
    // A mapping backed by the paging file cannot be empty.
    uint64_t created = size > 0 ? size : 1;
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, access, PAGE_READWRITE,
                                  static_cast<DWORD>(created >> 32), static_cast<DWORD>(created), name);
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (mapping_ == nullptr || (existed && mustBeNew)) {
        Close();
        return false;
    }
    view_ = static_cast<uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    MEMORY_BASIC_INFORMATION region;
    if (view_ == nullptr || VirtualQuery(view_, &region, sizeof region) == 0 || region.RegionSize < created) {
        Close();
        return false;
    }
    size_ = region.RegionSize;
    return true;
}

void SharedMapping::Close()
{
    if (view_ != nullptr)
        UnmapViewOfFile(view_);
    if (mapping_ != nullptr)
        CloseHandle(mapping_);
    mapping_ = nullptr;
    view_ = nullptr;
    size_ = 0;
}

void SharedMapping::Swap(SharedMapping& other)
{
    std::swap(mapping_, other.mapping_);
    std::swap(view_, other.view_);
    std::swap(size_, other.size_);
}
