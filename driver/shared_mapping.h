#pragma once

#include <windows.h>

#include <cstdint>

// One named file mapping that this process creates for the host to open,
// with a view of the whole mapping. Only the user of this process may open
// it (OwnerOnlyAccess). The object owns the handle and the view; Close
// releases both.
class SharedMapping {
public:
    SharedMapping() = default;
    SharedMapping(const SharedMapping&) = delete;
    SharedMapping& operator=(const SharedMapping&) = delete;
    ~SharedMapping() { Close(); }

    // Creates the mapping `name` of at least `size` bytes and maps it. With
    // `mustBeNew`, a mapping of that name that already exists is refused;
    // otherwise it is taken when it is large enough (the host may still hold
    // one of an earlier series).
    bool Create(const char* name, uint64_t size, bool mustBeNew);
    void Close();
    void Swap(SharedMapping& other);

    uint8_t* View() const { return view_; }
    // The bytes the view holds: the size asked for, or more.
    uint64_t Size() const { return size_; }

private:
    HANDLE mapping_ = nullptr;
    uint8_t* view_ = nullptr;
    uint64_t size_ = 0;
};
