#include "driver/private_mapping.h"

#include <ntsecapi.h>

#include <cstdio>
#include <cstring>

bool ReadTokenUser(std::vector<uint8_t>* user)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    user->resize(size);
    bool read = size != 0 && GetTokenInformation(token, TokenUser, user->data(), size, &size);
    CloseHandle(token);
    return read;
}

bool DrawPrivateName(const char* prefix, char* name, size_t capacity)
{
    unsigned char random[kPrivateNameRandomBytes];
    size_t length = std::strlen(prefix);
    if (length + 2 * sizeof random >= capacity || !RtlGenRandom(random, sizeof random))
        return false;
    std::memcpy(name, prefix, length);
    for (unsigned char byte : random)
        length += std::snprintf(name + length, capacity - length, "%02x", byte);
    return true;
}

OwnerOnlyAccess::OwnerOnlyAccess()
{
    if (!ReadTokenUser(&user_))
        return;
    PSID sid = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;
    acl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
    ACL* acl = reinterpret_cast<ACL*>(acl_.data());
    ready_ = InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION)
        && AddAccessAllowedAce(acl, ACL_REVISION, SECTION_ALL_ACCESS, sid)
        && InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION)
        && SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = &descriptor_;
    attributes_.bInheritHandle = FALSE;
}

SECURITY_ATTRIBUTES* OwnerOnlyAttributes()
{
    static SRWLOCK lock = SRWLOCK_INIT;
    static OwnerOnlyAccess* made = nullptr;
    AcquireSRWLockExclusive(&lock);
    if (made == nullptr) {
        OwnerOnlyAccess* access = new OwnerOnlyAccess();
        if (access->Attributes() != nullptr)
            made = access;
        else
            delete access;
    }
    ReleaseSRWLockExclusive(&lock);
    return made != nullptr ? made->Attributes() : nullptr;
}
