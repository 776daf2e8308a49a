#pragma once

#include <windows.h>

#include <cstdint>

#include "host/mapping_limits.h"

// One named file mapping that another process created, and one view of it.
// Failures are shown at once in a message box without an owner ("CMapping"
// caption) and reported as 0.
//
// A view of a given size ends in address space that stays reserved and
// inaccessible, so that a write past its last page faults instead of
// landing in whatever lies behind it (another view, say).
class CMapping {
public:
    CMapping();

    // Opens the existing mapping `name` and maps `size` bytes from its start
    // (0 maps the whole mapping). A size this process cannot address fails
    // like a view that cannot be mapped. Does not release what the object
    // held before: the caller closes first.
    int Open(uint64_t size, const char* name);

    // Unmaps the view and closes the handle; harmless when nothing is open.
    int Close();

    void* GetView() const { return view; }

private:
    HANDLE mapping;
    void* view;
    // The reservation behind the view; none for a whole-mapping view.
    void* guard;
    char name[kMappingNameCapacity];
};
