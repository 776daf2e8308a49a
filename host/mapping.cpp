#include "host/mapping.h"

#include "host/frame_size.h"

namespace {

const SIZE_T kGranularity = 0x10000;

SIZE_T RoundUp(SIZE_T size)
{
    return (size + kGranularity - 1) & ~(kGranularity - 1);
}

// The bytes a view of the whole mapping holds (its size rounded up to whole
// pages), found by mapping it once; 0 when it cannot be mapped.
SIZE_T WholeMappingSize(HANDLE mapping)
{
    void* probe = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    MEMORY_BASIC_INFORMATION region = {};
    if (probe == nullptr)
        return 0;
    SIZE_T size = VirtualQuery(probe, &region, sizeof region) != 0 ? region.RegionSize : 0;
    UnmapViewOfFile(probe);
    return size;
}

// Maps the whole mapping, which must hold at least `size` bytes, at the
// start of a free stretch of address space one allocation unit longer than
// the view, then reserves that unit (what lies between the view's last page
// and it cannot be allocated either). The host has one thread, so the
// stretch stays free between the probe and the map.
void* MapGuardedView(HANDLE mapping, SIZE_T size, void** guard, SIZE_T* mapped)
{
    SIZE_T whole = WholeMappingSize(mapping);
    *mapped = whole;
    SIZE_T span = RoundUp(whole);
    if (whole < size || span == 0 || span + kGranularity < span)
        return nullptr;
    uint8_t* place
        = static_cast<uint8_t*>(VirtualAlloc(nullptr, span + kGranularity, MEM_RESERVE, PAGE_NOACCESS));
    if (place == nullptr)
        return nullptr;
    VirtualFree(place, 0, MEM_RELEASE);
    void* view = MapViewOfFileEx(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0, place);
    if (view != nullptr)
        *guard = VirtualAlloc(place + span, kGranularity, MEM_RESERVE, PAGE_NOACCESS);
    return view;
}

}

CMapping::CMapping()
    : mapping(nullptr)
    , view(nullptr)
    , viewSize(0)
    , guard(nullptr)
    , name()
{
}

int CMapping::Open(uint64_t size, const char* mappingName, bool report)
{
    HANDLE opened = OpenNamed(mappingName, report);
    if (opened == nullptr)
        return 0;
    void* mapped = nullptr;
    SIZE_T whole = 0;
    if (size == 0)
        mapped = MapViewOfFile(opened, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    else if (IsMappableViewSize(size))
        mapped = MapGuardedView(opened, static_cast<SIZE_T>(size), &guard, &whole);
    return Keep(opened, mapped, whole, report);
}

int CMapping::OpenBlock(uint64_t size, const char* mappingName, bool report)
{
    HANDLE opened = OpenNamed(mappingName, report);
    if (opened == nullptr)
        return 0;
    // The system refuses a view larger than the mapping.
    void* mapped = IsMappableViewSize(size)
        ? MapViewOfFile(opened, FILE_MAP_ALL_ACCESS, 0, 0, static_cast<SIZE_T>(size))
        : nullptr;
    return Keep(opened, mapped, 0, report);
}

HANDLE CMapping::OpenNamed(const char* mappingName, bool report)
{
    lstrcpynA(name, mappingName, sizeof name);
    HANDLE opened = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (opened == nullptr && report)
        MessageBoxA(nullptr, "OpenFileMapping", "CMapping", MB_OK);
    return opened;
}

int CMapping::Keep(HANDLE opened, void* mapped, uint64_t mappedSize, bool report)
{
    if (mapped == nullptr) {
        // A handle without a view would never be closed: Close releases
        // both together.
        CloseHandle(opened);
        if (report)
            MessageBoxA(nullptr, "MapViewOfFile", "CMapping", MB_OK);
        return 0;
    }
    mapping = opened;
    view = mapped;
    viewSize = mappedSize;
    return 1;
}

int CMapping::Close()
{
    if (view != nullptr) {
        UnmapViewOfFile(view);
        CloseHandle(mapping);
        if (guard != nullptr)
            VirtualFree(guard, 0, MEM_RELEASE);
        guard = nullptr;
        view = nullptr;
        viewSize = 0;
        mapping = nullptr;
    }
    return 1;
}
