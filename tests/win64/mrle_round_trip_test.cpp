// Wine's own 32-bit "mrle" codec through the host, compared byte for byte
// with the same codec called directly in a 32-bit process with the same
// memory layout (mrle_reference.exe).

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <cstring>

#include "host_client.h"
#include "mrle_scenario.h"
#include "settings_files.h"

namespace {

const char kSlot[] = "tdl5";

class MrleRoundTripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        ASSERT_TRUE(AssignSlot(kSlot, kMrleFcc));
        ASSERT_TRUE(client.CreateControl());
        ASSERT_TRUE(client.Launch(kSlot));
    }
    void TearDown() override { RemoveRealSettings(); }

    // ParamArea as the reference has it before each call.
    void ClearParamArea() { std::memset(client.ParamArea(), kMrleLeftover, kParamAreaSize); }
    BITMAPINFOHEADER* Header(uint32_t offset)
    {
        return reinterpret_cast<BITMAPINFOHEADER*>(client.ParamArea() + offset);
    }

    void RunThroughHost(MrleTranscript* transcript);

    HostClient client;
};

void MrleRoundTripTest::RunThroughHost(MrleTranscript* transcript)
{
    BITMAPINFOHEADER input = MrleInputHeader();

    ClearParamArea();
    int32_t result = client.Send(kRequestGetDefaultQuality, 1, 0);
    DWORD quality = client.DwordAt(0);
    AddStep(transcript, "default quality", result, &quality, sizeof quality);

    ClearParamArea();
    *Header(0) = input;
    result = client.Send(kRequestCompressGetFormat, 0, 0);
    AddStep(transcript, "format size", result);
    uint32_t formatSize = static_cast<uint32_t>(result);
    ASSERT_GE(formatSize, sizeof(BITMAPINFOHEADER));
    result = client.Send(kRequestCompressGetFormat, 0, 1);
    AddStep(transcript, "format", result, client.ParamArea() + 40, formatSize);
    BITMAPINFOHEADER packed = *Header(40);
    ASSERT_EQ(static_cast<DWORD>(BI_RLE8), packed.biCompression);

    ASSERT_TRUE(client.CreateFrames(kMrleFrameSize, packed.biSizeImage));
    ClearParamArea();
    *Header(0) = input;
    PutFormatWithPalette(client.ParamArea() + 40, packed);
    AddStep(transcript, "compress begin", client.Send(kRequestCompressBegin));
    std::vector<std::vector<uint8_t>> compressed;
    for (int index = 0; index < kMrleFrameCount; ++index) {
        std::vector<uint8_t> pixels = MrleFrame(index);
        std::memcpy(client.FrameIn(), pixels.data(), pixels.size());
        ClearParamArea();
        IcCompress32 record = {};
        record.dwFlags = MrleCompressFlags(index);
        record.lFrameNum = index;
        record.dwQuality = quality;
        std::memcpy(client.ParamArea(), &record, sizeof record);
        *Header(48) = input;
        PutFormatWithPalette(client.ParamArea() + 88, packed);
        result = client.Send(kRequestCompress, 0, sizeof record);
        uint32_t size = Header(88)->biSizeImage;
        ASSERT_LE(size, packed.biSizeImage);
        AddStep(transcript, "compressed frame", result, client.FrameOut(), size);
        AddStep(transcript, "compressed header", 0, client.ParamArea() + 88, sizeof(BITMAPINFOHEADER));
        AddStep(transcript, "chunk id and flags", 0, client.ParamArea() + 128, 8);
        compressed.emplace_back(client.FrameOut(), client.FrameOut() + size);
    }
    AddStep(transcript, "compress end", client.Send(kRequestCompressEnd));

    // The decompression series opens mappings sized for it; the output
    // keeps the previous picture for the frames that only carry changes.
    client.CloseFrames();
    ASSERT_TRUE(client.CreateFrames(packed.biSizeImage, kMrleFrameSize));
    ClearParamArea();
    *Header(0) = packed;
    PutFormatWithPalette(client.ParamArea() + 40, input);
    AddStep(transcript, "decompress begin", client.Send(kRequestDecompressBegin));
    for (int index = 0; index < kMrleFrameCount; ++index) {
        std::memcpy(client.FrameIn(), compressed[index].data(), compressed[index].size());
        ClearParamArea();
        IcDecompress32 record = {};
        std::memcpy(client.ParamArea(), &record, sizeof record);
        *Header(24) = packed;
        Header(24)->biSizeImage = static_cast<DWORD>(compressed[index].size());
        PutFormatWithPalette(client.ParamArea() + 64, input);
        result = client.Send(kRequestDecompress, 0, sizeof record);
        AddStep(transcript, "decompressed frame", result, client.FrameOut(), kMrleFrameSize);
    }
    AddStep(transcript, "decompress end", client.Send(kRequestDecompressEnd));
}

}

TEST_F(MrleRoundTripTest, HostGivesTheBytesOfTheCodecCalledDirectly)
{
    std::string path = FreshTempPath("mrle-reference.bin");
    TestProcess reference;
    ASSERT_TRUE(reference.Start(BinPath("mrle_reference.exe"), "\"" + path + "\""));
    DWORD exitCode = 1;
    ASSERT_TRUE(reference.WaitForExit(30000, &exitCode));
    ASSERT_EQ(0u, exitCode);
    MrleTranscript expected;
    ASSERT_TRUE(ReadTranscript(path, &expected));
    DeleteFileA(path.c_str());

    MrleTranscript got;
    RunThroughHost(&got);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(expected.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i) + ": " + got[i].what);
        EXPECT_EQ(expected[i].what, got[i].what);
        EXPECT_EQ(expected[i].result, got[i].result);
        EXPECT_EQ(expected[i].data, got[i].data);
    }

    // A round trip worth comparing: every call succeeded and moving content
    // gave different compressed frames.
    std::vector<std::vector<uint8_t>> frames;
    for (const MrleStep& step : got) {
        if (step.what != "format size") {
            EXPECT_EQ(ICERR_OK, step.result) << step.what;
        }
        if (step.what == "compressed frame")
            frames.push_back(step.data);
    }
    ASSERT_EQ(static_cast<size_t>(kMrleFrameCount), frames.size());
    EXPECT_NE(frames[1], frames[2]);
    EXPECT_EQ(0, client.Send(kRequestDrvClose));
}
