#include "host_test_fixture.h"

#include "message_box_probe.h"
#include "settings_files.h"

std::string UniqueFccText(char first)
{
    DWORD id = GetCurrentProcessId();
    std::string text(1, first);
    for (int i = 0; i < 3; ++i, id /= 26)
        text += static_cast<char>('a' + id % 26);
    return text;
}

void HostTest::SetUp()
{
    RemoveRealSettings();
    fccText = UniqueFccText('t');
    fcc = mmioFOURCC(fccText[0], fccText[1], fccText[2], fccText[3]);
    ASSERT_TRUE(RegisterTestCodec(fccText.c_str()));
    ASSERT_TRUE(script.Create(fcc));
    ASSERT_TRUE(AssignSlot(kSlot, fcc));
    ASSERT_TRUE(client.CreateControl());
}

void HostTest::TearDown()
{
    UnregisterTestCodec(fccText.c_str());
    RemoveRealSettings();
}

void HostTest::Launch()
{
    ASSERT_TRUE(client.Launch(kSlot));
    // The window is published before the codec is opened.
    for (int i = 0; i < 2000 && script->openCount == 0; ++i)
        Sleep(5);
    ASSERT_EQ(1u, script->openCount);
    script.ClearCalls();
}

TestCodecCall HostTest::LastCall(uint32_t message)
{
    std::vector<TestCodecCall> calls = script.CallsOf(message);
    EXPECT_FALSE(calls.empty()) << "the codec never received message 0x" << std::hex << message;
    return calls.empty() ? TestCodecCall() : calls.back();
}

void HostTest::ClearAnswers()
{
    for (TestCodecAnswer& answer : script->answers)
        answer = TestCodecAnswer();
}

void HostTest::ExpectBoxes(std::initializer_list<std::pair<std::string, std::string>> textsAndCaptions)
{
    for (const auto& expected : textsAndCaptions) {
        MessageBoxSeen seen = DismissNextMessageBox(client.Host().Id(), 20000);
        EXPECT_EQ(expected.first, seen.text);
        EXPECT_EQ(expected.second, seen.caption);
        EXPECT_EQ(std::vector<int> {IDOK}, seen.buttons) << expected.first;
    }
}

void HostTest::PutPair(uint32_t offset, uint32_t inputSize, const BITMAPINFOHEADER& input,
                       const BITMAPINFOHEADER& output)
{
    BITMAPINFOHEADER sized = input;
    sized.biSize = inputSize;
    client.PutHeader(offset, sized);
    client.PutHeader(offset + inputSize, output);
}

bool MappingExists(const std::string& name)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (mapping != nullptr)
        CloseHandle(mapping);
    return mapping != nullptr;
}

::testing::AssertionResult ArgIs(const TestCodecArg& arg, uint32_t region, int64_t offsetOrValue)
{
    bool matches = arg.region == region
        && (region == RegionNull
            || (region == RegionOther ? arg.raw == static_cast<uint32_t>(offsetOrValue)
                                      : arg.offset == offsetOrValue));
    if (matches)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "region " << arg.region << " offset " << arg.offset << " raw 0x" << std::hex << arg.raw
        << ", expected region " << std::dec << region << " offset/value " << offsetOrValue;
}
