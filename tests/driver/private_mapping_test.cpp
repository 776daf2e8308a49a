// The channel's mappings are its own: names no other process can guess,
// refused when a mapping of that name exists already, and open to the
// creating user alone.

#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/host_channel.h"
#include "driver/private_mapping.h"

namespace {

const char* const kMappingSuffixes[] = {"", kFrameInSuffix, kFrameOutSuffix};

}

TEST(PrivateMappingTest, NamesAreDrawnAndOnlyTheCreatingUserIsLetIn)
{
    const std::string prefix = "Tandrel64Client_" + std::to_string(GetCurrentProcessId()) + "_";
    HostChannel channels[2];
    for (const HostChannel& channel : channels) {
        std::string name = channel.Name();
        EXPECT_EQ(prefix, name.substr(0, prefix.size()));
        EXPECT_EQ(prefix.size() + 2 * kPrivateNameRandomBytes, name.size()) << name;
        EXPECT_EQ(std::string::npos, name.find_first_not_of("0123456789abcdef", prefix.size())) << name;
    }
    EXPECT_STRNE(channels[0].Name(), channels[1].Name());

    ASSERT_TRUE(channels[0].CreateControl());
    ASSERT_TRUE(channels[0].CreateFrames(4096, 4096));
    std::vector<uint8_t> user;
    ASSERT_TRUE(ReadTokenUser(&user));
    PSID userSid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    for (const char* suffix : kMappingSuffixes) {
        SCOPED_TRACE(suffix);
        HANDLE mapping = OpenFileMappingA(READ_CONTROL, FALSE, (channels[0].Name() + std::string(suffix)).c_str());
        ASSERT_NE(nullptr, mapping);
        ACL* dacl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, GetSecurityInfo(mapping, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                                 nullptr, &dacl, nullptr, &descriptor));
        ASSERT_NE(nullptr, dacl);
        ASSERT_EQ(1, dacl->AceCount);
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, 0, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType);
        EXPECT_EQ(static_cast<DWORD>(SECTION_ALL_ACCESS), ace->Mask);
        EXPECT_TRUE(EqualSid(&ace->SidStart, userSid));
        LocalFree(descriptor);
        CloseHandle(mapping);
    }
}

// Whoever made a mapping of the name first could read and write what goes
// through it.
TEST(PrivateMappingTest, NamesThatExistAlreadyAreRefused)
{
    for (const char* suffix : kMappingSuffixes) {
        SCOPED_TRACE(suffix);
        const std::string name = "TandrelTakenName_" + std::to_string(GetCurrentProcessId());
        HANDLE taken = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1 << 20,
                                          (name + suffix).c_str());
        ASSERT_NE(nullptr, taken);
        HostChannel channel(name.c_str());
        bool control = channel.CreateControl();
        EXPECT_EQ(suffix[0] != '\0', control);
        EXPECT_TRUE(!control || !channel.CreateFrames(4096, 4096));
        CloseHandle(taken);
    }
}
