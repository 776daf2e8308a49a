// The channel's mappings are its own: names no other process can guess,
// refused when a mapping of the name exists already (whoever made it could
// read and write what goes through it), and open to the creating user alone.

#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "driver/host_channel.h"
#include "driver/private_mapping.h"

TEST(PrivateMappingTest, NamesAreDrawnRefusedWhenTakenAndOpenToTheUserAlone)
{
    const std::regex drawn("Tandrel64Client_" + std::to_string(GetCurrentProcessId()) + "_[0-9a-f]{32}");
    HostChannel channels[2];
    for (const HostChannel& channel : channels)
        EXPECT_TRUE(std::regex_match(channel.Name(), drawn)) << channel.Name();
    EXPECT_STRNE(channels[0].Name(), channels[1].Name());
    ASSERT_TRUE(channels[0].CreateControl() && channels[0].CreateFrames(4096, 4096));
    std::vector<uint8_t> user;
    ASSERT_TRUE(ReadTokenUser(&user));

    const std::string takenName = "TandrelTakenName_" + std::to_string(GetCurrentProcessId());
    for (const char* suffix : {"", kFrameInSuffix, kFrameOutSuffix}) {
        SCOPED_TRACE(suffix);
        HANDLE mapping
            = OpenFileMappingA(READ_CONTROL, FALSE, (channels[0].Name() + std::string(suffix)).c_str());
        ACL* dacl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  GetSecurityInfo(mapping, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                  &dacl, nullptr, &descriptor));
        ASSERT_TRUE(dacl != nullptr && dacl->AceCount == 1
                    && GetAce(dacl, 0, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType);
        EXPECT_EQ(static_cast<DWORD>(SECTION_ALL_ACCESS), ace->Mask);
        EXPECT_TRUE(EqualSid(&ace->SidStart, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid));
        LocalFree(descriptor);
        CloseHandle(mapping);

        HANDLE taken = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1 << 20,
                                          (takenName + suffix).c_str());
        HostChannel channel(takenName.c_str());
        bool control = channel.CreateControl();
        EXPECT_EQ(suffix[0] != '\0', control);
        EXPECT_TRUE(!control || !channel.CreateFrames(4096, 4096)) << "taken";
        CloseHandle(taken);
    }
}
