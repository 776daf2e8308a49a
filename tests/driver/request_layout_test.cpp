// The driver's placing of requests in ParamArea, checked against the
// host's own reading of the same bytes; what it takes back; the sizes of
// its frame mappings and its time limits.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "bitmap_header.h"
#include "driver/driver_log.h"
#include "driver/request_layout.h"
#include "driver/slot_config.h"
#include "driver/wait_limits.h"
#include "host/host_protocol.h"
#include "host/param_layout.h"

namespace {

// A header with the colour table or masks behind it, as a program passes it.
std::vector<uint8_t> Carried(const BITMAPINFOHEADER& header, uint8_t fill)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(HeaderWholeSpan(header)), fill);
    std::memcpy(bytes.data(), &header, sizeof header);
    return bytes;
}

BITMAPINFOHEADER* Header(std::vector<uint8_t>& bytes)
{
    return reinterpret_cast<BITMAPINFOHEADER*>(bytes.data());
}

const BITMAPINFOHEADER kHeaders[] = {
    MakeHeader(8, 8, 8), // 256 colours implied
    MakeHeader(8, 8, 4, BI_RGB, 0, 5),
    MakeHeader(8, 8, 16, BI_BITFIELDS), // three masks
    MakeHeader(8, 8, 24),
};

bool SamePlaces(const RequestPlaces& driver, const ParamPlaces& host)
{
    return driver.input == host.input && driver.output == host.output && driver.chunkId == host.chunkId
        && driver.flags == host.flags && driver.previous == host.previous && driver.end == host.end;
}

}

TEST(RequestLayoutTest, PlacesAgreeWithTheHostAndWholeHeadersKeepTheirColours)
{
    std::vector<uint8_t> area(kParamAreaSize);
    // The host reads each request through its private copy.
    ParamCopy copy;
    for (uint32_t layouts : {kLayoutsClassic, kLayoutsWholeHeaders, kLayoutsWholeRecords}) {
        for (const BITMAPINFOHEADER& in : kHeaders) {
            for (const BITMAPINFOHEADER& out : kHeaders) {
                SCOPED_TRACE(std::to_string(layouts) + " " + std::to_string(in.biBitCount) + " to "
                             + std::to_string(out.biBitCount));
                std::vector<uint8_t> input = Carried(in, 0xA1);
                std::vector<uint8_t> output = Carried(out, 0xB2);
                RequestPlaces places;
                ParamPlaces host;
                ICCOMPRESS compress = {};
                compress.dwFlags = ICCOMPRESS_KEYFRAME;
                compress.lpbiInput = Header(input);
                compress.lpbiOutput = Header(output);
                compress.lFrameNum = 7;
                compress.dwQuality = 1234;
                compress.lpPrev = &compress;
                compress.lpbiPrev = Header(input);
                DWORD chunkId = 0x63643030;
                compress.lpckid = &chunkId;
                FramePlaces frames;
                frames.input = FramePlace(4096);
                frames.previous = FramePlace(0);
                std::fill(area.begin(), area.end(), 0xEE);
                ASSERT_TRUE(PutCompress(area.data(), layouts, compress, &places, frames));
                ASSERT_TRUE(copy.Start(area.data()));
                ASSERT_TRUE(PlaceCompress(copy, layouts, sizeof(IcCompress32), &host));
                EXPECT_TRUE(SamePlaces(places, host));
                IcCompress32 record;
                std::memcpy(&record, area.data(), sizeof record);
                EXPECT_EQ(ICCOMPRESS_KEYFRAME, record.dwFlags);
                EXPECT_EQ(7, record.lFrameNum);
                EXPECT_EQ(1234u, record.dwQuality);
                bool whole = layouts == kLayoutsWholeRecords;
                EXPECT_EQ(whole ? FramePlace(0) : 0u, record.lpPrev) << "no address of this process travels";
                EXPECT_EQ(whole ? FramePlace(4096) : 0u, record.lpInput);
                EXPECT_EQ(whole ? kNoPlace : 0u, record.lpdwFlags) << "the program passed no flags";
                EXPECT_EQ(whole ? chunkId : 0u, TakeCompressResults(area.data(), places).chunkId);
                EXPECT_EQ(whole, places.previous != 0) << "the previous header travels with whole records";
                if (layouts != kLayoutsClassic) {
                    EXPECT_EQ(0, std::memcmp(area.data() + places.input, input.data(), input.size()));
                    EXPECT_EQ(0, std::memcmp(area.data() + places.output, output.data(), output.size()));
                }

                ICDECOMPRESS decompress = {0, Header(input), nullptr, Header(output), nullptr, 0};
                ASSERT_TRUE(PutDecompress(area.data(), layouts, decompress, &places));
                ASSERT_TRUE(copy.Start(area.data()));
                ASSERT_TRUE(PlaceDecompress(copy, layouts, sizeof(IcDecompress32), &host));
                EXPECT_TRUE(SamePlaces(places, host));

                if (whole) {
                    ICDECOMPRESSEX ex = {};
                    ex.lpbiSrc = Header(input);
                    ex.lpbiDst = Header(output);
                    ASSERT_TRUE(PutDecompressEx(area.data(), ex, &places));
                    ASSERT_TRUE(copy.Start(area.data()));
                    ASSERT_TRUE(PlaceDecompressEx(copy, sizeof(IcDecompressEx32), &host));
                    EXPECT_TRUE(SamePlaces(places, host));
                    ICCOMPRESSFRAMES info = {};
                    info.lpbiOutput = Header(output);
                    ASSERT_TRUE(PutFramesInfo(area.data(), info, &places));
                    ASSERT_TRUE(copy.Start(area.data()));
                    ASSERT_TRUE(PlaceFramesInfo(copy, sizeof(IcCompressFrames32), &host));
                    EXPECT_TRUE(places.output == host.output && places.end == host.end) << "no input header";
                }

                ASSERT_TRUE(PutHeaderPair(area.data(), layouts, Header(input), Header(output), 0, &places));
                ASSERT_TRUE(copy.Start(area.data()));
                ASSERT_TRUE(PlaceHeaderPair(copy, layouts, true, true, &host));
                EXPECT_TRUE(places.input == host.input && places.output == host.output);

                // A format request: the codec finds the program's output
                // where the host's room for the format starts.
                uint64_t room = output.size() + 4;
                ASSERT_TRUE(
                    PutFormatRequest(area.data(), layouts, in, output.data(), output.size(), room, &places));
                ASSERT_TRUE(copy.Start(area.data()));
                ASSERT_TRUE(PlaceInputHeader(copy, layouts, 0, &host) && copy.Take(host.output + room));
                EXPECT_EQ(places.output, host.output);
                EXPECT_EQ(0, std::memcmp(copy.At(host.output), output.data(), output.size()));
                EXPECT_EQ(0, copy.At(host.output + room - 1)[0]) << "the rest of the room is cleared";
            }
        }
    }
}

TEST(RequestLayoutTest, WhatDoesNotFitIsRefusedAndTakenBackOnlyWithinParamArea)
{
    std::vector<uint8_t> area(kParamAreaSize);
    std::vector<uint8_t> huge = Carried(MakeHeader(8, 8, 24, BI_RGB, 0, 16360), 0); // 40 + 65440 bytes
    std::vector<uint8_t> small = Carried(MakeHeader(8, 8, 24), 0);
    RequestPlaces places;
    ICCOMPRESS compress = {};
    compress.lpbiInput = Header(huge);
    compress.lpbiOutput = Header(small);
    EXPECT_FALSE(PutCompress(area.data(), kLayoutsWholeHeaders, compress, &places));
    EXPECT_FALSE(PutHeaderPair(area.data(), kLayoutsWholeHeaders, Header(huge), Header(small), 0, &places));
    EXPECT_FALSE(
        PutHeaderPair(area.data(), kLayoutsClassic, Header(small), nullptr, kParamAreaSize, &places));
    EXPECT_TRUE(PutHeaderPair(area.data(), kLayoutsWholeHeaders, nullptr, Header(huge), 0, &places));

    // A format the codec wrote near the end, claiming more than is left.
    BITMAPINFOHEADER claimed = MakeHeader(8, 8, 8, BI_RGB, 0, 4000);
    std::memcpy(area.data() + kParamAreaSize - 100, &claimed, sizeof claimed);
    EXPECT_EQ(100u, TakeHeaderSpan(area.data(), kParamAreaSize - 100).size());
    EXPECT_TRUE(TakeHeaderSpan(area.data(), kParamAreaSize - 39).empty());

    // What the codec left alone is not written back: a program may pass a
    // header in read-only memory.
    BITMAPINFOHEADER* readOnly = static_cast<BITMAPINFOHEADER*>(
        VirtualAlloc(nullptr, sizeof *readOnly, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, readOnly);
    *readOnly = claimed;
    DWORD old;
    VirtualProtect(readOnly, sizeof *readOnly, PAGE_READONLY, &old);
    ReturnHeader(area.data(), kParamAreaSize - 100, sizeof claimed, readOnly);
    EXPECT_FALSE(PutFormatRequest(area.data(), kLayoutsClassic, claimed, readOnly, 2000, 1000, &places))
        << "more of the program's output than the room holds";
    VirtualFree(readOnly, 0, MEM_RELEASE);
}

TEST(RequestLayoutTest, RecordSizesAreStatedAsA32BitProgramWould)
{
    const struct {
        uint32_t (*map)(uint64_t);
        uint64_t whole64;
        uint32_t whole32;
    } records[] = {{CompressRecordSize32, sizeof(ICCOMPRESS), sizeof(IcCompress32)},
                   {DecompressRecordSize32, sizeof(ICDECOMPRESS), sizeof(IcDecompress32)},
                   {DecompressExRecordSize32, sizeof(ICDECOMPRESSEX), sizeof(IcDecompressEx32)},
                   {FramesInfoRecordSize32, sizeof(ICCOMPRESSFRAMES), sizeof(IcCompressFrames32)}};
    for (const auto& record : records) {
        EXPECT_EQ(record.whole32, record.map(record.whole64));
        EXPECT_EQ(record.whole32 + 12, record.map(record.whole64 + 12)) << "what follows goes as it is";
        EXPECT_EQ(0u, record.map(0));
        EXPECT_EQ(4u, record.map(8)) << "dwFlags and its padding";
    }
    EXPECT_EQ(offsetof(IcCompress32, lpckid) + 4u, CompressRecordSize32(offsetof(ICCOMPRESS, lpdwFlags) + 4));
}

TEST(WaitLimitsTest, TimeoutsAreSaneAndWorkAndDialogsWaitLonger)
{
    for (auto seconds : {std::make_pair(1, 1), {0, 1}, {-5, 1}, {30, 30}, {99999, 3600}})
        EXPECT_EQ(seconds.second, TimeoutSeconds(seconds.first)) << seconds.first;
    EXPECT_EQ(kWorkWaitFloorMs, StartWaitMs(1));
    EXPECT_EQ(2000u, RequestWaitMs(kRequestCompressQuery, 0, 2));
    EXPECT_EQ(kWorkWaitFloorMs, RequestWaitMs(kRequestCompress, 0, 2));
    EXPECT_EQ(30000u, RequestWaitMs(kRequestDecompress, 0, 30));
    EXPECT_EQ(2000u, RequestWaitMs(kRequestAbout, static_cast<WPARAM>(-1), 2)) << "the query";
    EXPECT_EQ(kWaitForever, RequestWaitMs(kRequestConfigure, 0, 2));

    EXPECT_EQ(0, SlotFromFourCC(mmioFOURCC('t', 'd', 'l', '0')));
    EXPECT_EQ(9, SlotFromFourCC(mmioFOURCC('T', 'D', 'L', '9')));
    EXPECT_EQ(kNoSlot, SlotFromFourCC(mmioFOURCC('t', 'd', 'l', 'x')));
    EXPECT_EQ(kNoSlot, SlotFromFourCC(mmioFOURCC('t', 'd', 'm', '1')));
}

TEST(DriverLogTest, LinesNameTheTimeTheSlotAndHowTheHostWentOrWhyARequestWasRefused)
{
    char text[kLogTextCapacity];
    char line[kLogLineCapacity];
    SYSTEMTIME time = {2026, 12, 1, 7, 4, 5, 6, 0};
    FormatHostFailure("request 0x46C", STILL_ACTIVE, text);
    FormatLogLine(time, 3, text, line);
    EXPECT_STREQ("2026-12-07 04:05:06 tdl3 request 0x46C: no answer in time, the host was ended\r\n", line);
    FormatHostFailure("starting the host", 3, text);
    EXPECT_STREQ("starting the host: the host ended with exit code 3", text);
    FormatRefusal(ICM_DECOMPRESS, true, HostRefusalText(kRefusalNoSeries), text);
    EXPECT_STREQ("message 0x400D refused by the host: no series of its kind is open", text);
    EXPECT_STREQ("a reason this driver does not know", HostRefusalText(0xFFFFFFFF));
    FormatLogLine(time, 9, std::string(500, 'x').c_str(), line);
    EXPECT_EQ(std::string(" tdl9 ") + std::string(kLogTextCapacity, 'x') + "\r\n",
              std::string(line).substr(19));
}
