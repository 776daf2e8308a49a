#pragma once

#include <windows.h>

#include <cstdint>

#include "host/mapping_limits.h"

// One named file mapping that another process created, and one view of it.
// Failures are shown at once in a message box without an owner ("CMapping"
// caption) and reported as 0.
//
// A view for a given size covers the whole mapping, which must hold at
// least that many bytes, and ends in address space that stays reserved and
// inaccessible, so that a write past the mapping's last page faults instead
// of landing in whatever lies behind it (another view, say). A client that
// makes a mapping larger than it must gives a codec that writes a little
// past a frame room to do so harmlessly.
class CMapping {
public:
    CMapping();

    // Opens the existing mapping `name` and maps it whole, guarded, when it
    // holds at least `size` bytes (0: unguarded, whatever its size). A size
    // this process cannot address, or a smaller mapping, fails like a view
    // that cannot be mapped. Does not release what the object held before:
    // the caller closes first. With `report` false a failure shows nothing.
    int Open(uint64_t size, const char* name, bool report = true);
    // Opens the existing mapping `name` and maps its first `size` bytes
    // alone, with no guard: for the control block, of which the codec is
    // never given a pointer. Fails like Open when it holds fewer bytes.
    int OpenBlock(uint64_t size, const char* name, bool report = true);

    // Unmaps the view and closes the handle; harmless when nothing is open.
    int Close();

    void* GetView() const { return view; }
    // The bytes of the guarded view (whole pages); 0 for an unguarded one.
    uint64_t GetViewSize() const { return viewSize; }

private:
    // The handle of `mappingName`, now the object's name; null, reported,
    // when there is none.
    HANDLE OpenNamed(const char* mappingName, bool report);
    // Keeps the handle and its view; without a view closes the handle.
    int Keep(HANDLE opened, void* mapped, uint64_t mappedSize, bool report);

    HANDLE mapping;
    void* view;
    uint64_t viewSize;
    // The reservation behind the view; none for a whole-mapping view.
    void* guard;
    char name[kMappingNameCapacity];
};
