#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "host/mapping.h"
#include "message_box_probe.h"

namespace {

std::string UniqueName(const char* stem)
{
    return std::string(stem) + std::to_string(GetCurrentProcessId());
}

HANDLE CreateMapping(const std::string& name, DWORD size)
{
    return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name.c_str());
}

// Opens with the mapping's message box answered from another thread; the
// box this thread shows blocks it until then.
int OpenAnsweringBox(CMapping* mapping, uint64_t size, const std::string& name, MessageBoxSeen* box)
{
    std::thread answer([box] { *box = DismissNextMessageBox(GetCurrentProcessId(), 10000); });
    int opened = mapping->Open(size, name.c_str());
    answer.join();
    return opened;
}

}

TEST(MappingTest, OpensSharesAndClosesAView)
{
    std::string name = UniqueName("MappingTestShare");
    HANDLE created = CreateMapping(name, 65536);
    ASSERT_NE(nullptr, created);
    char* creatorView = static_cast<char*>(MapViewOfFile(created, FILE_MAP_ALL_ACCESS, 0, 0, 0));

    CMapping mapping;
    EXPECT_EQ(1, mapping.Close()) << "never opened";
    ASSERT_EQ(1, mapping.Open(65536, name.c_str()));
    EXPECT_STREQ(name.c_str(), mapping.GetName());
    std::strcpy(static_cast<char*>(mapping.GetView()) + 65000, "both see it");
    EXPECT_STREQ("both see it", creatorView + 65000);

    EXPECT_EQ(1, mapping.Close());
    EXPECT_EQ(nullptr, mapping.GetView());
    EXPECT_EQ(nullptr, mapping.GetHandle());
    EXPECT_EQ(1, mapping.Close()) << "twice is harmless";
    UnmapViewOfFile(creatorView);
    CloseHandle(created);
}

TEST(MappingTest, MissingMappingIsReported)
{
    CMapping mapping;
    MessageBoxSeen box;
    EXPECT_EQ(0, OpenAnsweringBox(&mapping, 4096, UniqueName("MappingTestMissing"), &box));
    EXPECT_EQ("CMapping", box.caption);
    EXPECT_EQ("OpenFileMapping", box.text);
    EXPECT_EQ(std::vector<int> {IDOK}, box.buttons);
    EXPECT_EQ(nullptr, mapping.GetView());
}

TEST(MappingTest, ViewThatCannotBeMappedIsReportedAndLeavesNoHandle)
{
    std::string name = UniqueName("MappingTestSmall");
    HANDLE created = CreateMapping(name, 4096);
    ASSERT_NE(nullptr, created);
    CMapping mapping;
    MessageBoxSeen box;
    EXPECT_EQ(0, OpenAnsweringBox(&mapping, 65536, name, &box));
    EXPECT_EQ("CMapping", box.caption);
    EXPECT_EQ("MapViewOfFile", box.text);
    EXPECT_EQ(std::vector<int> {IDOK}, box.buttons);
    EXPECT_EQ(nullptr, mapping.GetHandle());

    // Once the creator lets go, a mapping nobody holds is gone.
    CloseHandle(created);
    HANDLE reopened = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    EXPECT_EQ(nullptr, reopened);
    if (reopened != nullptr)
        CloseHandle(reopened);
}

TEST(MappingTest, SizeBeyondTheAddressSpaceFailsLikeAView)
{
    std::string name = UniqueName("MappingTestHuge");
    HANDLE created = CreateMapping(name, 4096);
    CMapping mapping;
    MessageBoxSeen box;
    EXPECT_EQ(0, OpenAnsweringBox(&mapping, uint64_t(1) << 32, name, &box));
    EXPECT_EQ("MapViewOfFile", box.text);
    EXPECT_EQ(nullptr, mapping.GetView());
    CloseHandle(created);
}
