#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// What keeps the channel's mappings to this user and this channel: names
// that no other process can guess before they exist, and a descriptor that
// lets the creating user alone open them (the host runs as that user).

// Random bytes in a name, written as two hex digits each.
const size_t kPrivateNameRandomBytes = 16;

// `prefix` and 32 hex digits from the system's cryptographic random source;
// false when the source fails or the name does not fit `capacity`.
bool DrawPrivateName(const char* prefix, char* name, size_t capacity);

// The TOKEN_USER of this process, whose SID lies inside the same buffer.
bool ReadTokenUser(std::vector<uint8_t>* user);

// Security attributes whose DACL holds one ACE: full access to a mapping for
// the user of this process's token. Nobody else, not even another process
// of an administrator, may open the mapping.
class OwnerOnlyAccess {
public:
    OwnerOnlyAccess();
    OwnerOnlyAccess(const OwnerOnlyAccess&) = delete;
    OwnerOnlyAccess& operator=(const OwnerOnlyAccess&) = delete;

    // Null when the token's user or the descriptor could not be had.
    SECURITY_ATTRIBUTES* Attributes() { return ready_ ? &attributes_ : nullptr; }

private:
    std::vector<uint8_t> user_;
    std::vector<uint8_t> acl_;
    SECURITY_DESCRIPTOR descriptor_ = {};
    SECURITY_ATTRIBUTES attributes_ = {};
    bool ready_ = false;
};

// The same attributes, made once for the process (its token's user does not
// change while it runs) and kept; null while they cannot be had.
SECURITY_ATTRIBUTES* OwnerOnlyAttributes();
