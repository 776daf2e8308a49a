#include "host_test_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "driver/wait_limits.h"
#include "message_box_probe.h"
#include "packbits.h"
#include "settings_files.h"

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
    // A request that expects 0 would pass after the host died.
    EXPECT_TRUE(client.AnsweredEverySend()) << "a request went unanswered: the host had ended";
    UnregisterTestCodec(fccText.c_str());
    RemoveRealSettings();
}

void HostTest::Launch()
{
    ASSERT_TRUE(client.Launch(kSlot));
    // The window is published before the codec is opened; the driver gives
    // both its start limit.
    PollUntil(StartWaitMs(TimeoutSeconds(0)), [&] { return script->openCount != 0; });
    ASSERT_EQ(1u, script->openCount);
    script.ClearCalls();
}

TestCodecCall HostTest::LastCall(uint32_t message)
{
    std::vector<TestCodecCall> calls = script.CallsOf(message);
    EXPECT_FALSE(calls.empty()) << "the codec never received message 0x" << std::hex << message;
    return calls.empty() ? TestCodecCall() : calls.back();
}

TestCodecArg HostTest::CopyStart()
{
    BITMAPINFOHEADER was = client.HeaderAt(0);
    client.PutHeader(0, MakeHeader(8, 8, 24));
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressQuery, 1, 0));
    client.PutHeader(0, was);
    return LastCall(ICM_COMPRESS_QUERY).dw1;
}

void HostTest::ClearAnswers()
{
    for (TestCodecAnswer& answer : script->answers)
        answer = TestCodecAnswer();
}

void HostTest::ExpectRefused(UINT request, WPARAM wParam, LPARAM lParam, const char* why, uint32_t reason)
{
    uint32_t calls = CallCount();
    client.Control()->dwRefusal = kRefusalNone;
    EXPECT_EQ(kHostCannotServe, client.Send(request, wParam, lParam)) << why;
    EXPECT_EQ(calls, CallCount()) << why << ": the codec was called";
    EXPECT_EQ(reason, client.Control()->dwRefusal) << why;
}

void HostTest::ExpectRefusedAsUnknown(UINT request)
{
    uint32_t calls = CallCount();
    EXPECT_EQ(0, client.Send(request, 1, 4)) << std::hex << request;
    EXPECT_EQ(calls, CallCount()) << std::hex << request << ": the codec was called";
}

void HostTest::ExpectBoxes(std::initializer_list<std::pair<std::string, std::string>> textsAndCaptions)
{
    for (const auto& expected : textsAndCaptions) {
        MessageBoxSeen seen = AnswerNextBox(client.Host().Id(), IDOK);
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

void HostTest::PutCompress(const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output, int32_t frame)
{
    IcCompress32 record = {};
    record.dwFlags = ICCOMPRESS_KEYFRAME;
    record.lFrameNum = frame;
    std::memcpy(client.ParamArea(), &record, sizeof record);
    PutPair(sizeof record, input.biSize, input, output);
}

void HostTest::PutDecompress(const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output)
{
    IcDecompress32 record = {};
    std::memcpy(client.ParamArea(), &record, sizeof record);
    PutPair(sizeof record, input.biSize, input, output);
}

namespace {

// The bytes a classic frame mapping must hold for a header, derived here
// apart from the host's rule: the size the header gives, else four bytes a
// pixel; an uncompressed bitmap's padded rows where more; the codec's
// largest frame where more.
uint64_t PaddedRowBytes(const BITMAPINFOHEADER& header)
{
    uint64_t width = static_cast<uint64_t>(header.biWidth);
    return (width * header.biBitCount + 31) / 32 * 4 * static_cast<uint64_t>(std::abs(header.biHeight));
}

uint64_t ClassicMappingBytes(const BITMAPINFOHEADER& header, uint64_t codecMaximum)
{
    uint64_t pixels = static_cast<uint64_t>(header.biWidth) * static_cast<uint64_t>(std::abs(header.biHeight));
    uint64_t given = header.biSizeImage != 0 ? header.biSizeImage : pixels * 4;
    uint64_t rows = header.biCompression == BI_RGB ? PaddedRowBytes(header) : 0;
    return std::max({given, rows, codecMaximum});
}

}

int32_t HostTest::Begin(UINT request, const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output)
{
    // The recording codec's maximum: PackBits' worst case for the input.
    uint64_t codecMaximum = request == kRequestCompressBegin ? PackBitsWorstCase(PaddedRowBytes(input)) : 0;
    EXPECT_TRUE(client.CreateFrames(ClassicMappingBytes(input, 0), ClassicMappingBytes(output, codecMaximum)));
    PutPair(0, input.biSize, input, output);
    return client.Send(request);
}

DWORD HostExitCode(HostClient& client, DWORD timeoutMs)
{
    DWORD exitCode = ~0u;
    client.Host().WaitForExit(timeoutMs, &exitCode);
    return exitCode;
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

::testing::AssertionResult InCopy(const TestCodecArg& arg, const TestCodecArg& base, int64_t offset)
{
    if (arg.region == RegionOther && base.region == RegionOther
        && static_cast<int64_t>(arg.raw) - static_cast<int64_t>(base.raw) == offset)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "region " << arg.region << " raw 0x" << std::hex << arg.raw
        << ", expected the private copy at base 0x" << base.raw << " + " << std::dec << offset;
}
