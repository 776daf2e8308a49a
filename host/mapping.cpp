#include "host/mapping.h"

#include "host/frame_size.h"

CMapping::CMapping()
    : mapping(nullptr)
    , view(nullptr)
    , name()
{
}

int CMapping::Open(uint64_t size, const char* mappingName)
{
    lstrcpynA(name, mappingName, sizeof name);
    HANDLE opened = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (opened == nullptr) {
        MessageBoxA(nullptr, "OpenFileMapping", "CMapping", MB_OK);
        return 0;
    }
    void* mapped = nullptr;
    if (IsMappableViewSize(size))
        mapped = MapViewOfFile(opened, FILE_MAP_ALL_ACCESS, 0, 0, static_cast<SIZE_T>(size));
    if (mapped == nullptr) {
        // A handle without a view would never be closed: Close releases
        // both together.
        CloseHandle(opened);
        MessageBoxA(nullptr, "MapViewOfFile", "CMapping", MB_OK);
        return 0;
    }
    mapping = opened;
    view = mapped;
    return 1;
}

int CMapping::Close()
{
    if (view != nullptr) {
        UnmapViewOfFile(view);
        CloseHandle(mapping);
        view = nullptr;
        mapping = nullptr;
    }
    return 1;
}
