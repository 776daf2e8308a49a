// A host that its client lets go waits for the program's next instance: it
// holds nothing of the instance that ended, and takes the next one only from
// a handover of the program that started it.

#include <algorithm>
#include <cstring>

#include "host_test_fixture.h"

using HostReuseTest = HostTest;

// From a driver of protocol 2 or 3 the host takes no such request; from one
// of the reuse protocol it waits, with nothing of the instance.
TEST_F(HostReuseTest, AClientOfTheReuseProtocolLetsTheHostWaitWithNothingOfTheInstance)
{
    Launch();
    for (uint32_t version : {2u, 3u}) {
        client.Send(kRequestHandshake, kLayoutsWholeRecords, version);
        EXPECT_EQ(0, client.Send(kRequestIdle)) << version;
    }
    EXPECT_EQ(0u, script->closeCount);
    AskForWholeRecords();
    EXPECT_EQ(0, client.Send(kRequestServe, kLayoutsWholeRecords, kHostProtocolVersion)) << "not waiting";
    ASSERT_EQ(ICERR_OK, client.AnnounceViews(kSeriesCompress, 4096, 4096));
    char view[kMappingNameCapacity];
    ASSERT_TRUE(FormatFrameViewName(view, sizeof view, client.Name().c_str(), kSeriesCompress, 1, true));
    ASSERT_TRUE(client.Channel().LetWait(20000));
    EXPECT_EQ(1u, script->closeCount);
    EXPECT_FALSE(MappingExists(view)) << "the views went with the instance";
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompressQuery)) << "no codec";
    EXPECT_EQ(0, client.Send(kRequestGetQuality)) << "the classic layouts";
}

// A refused handover leaves the host waiting as before, for the next good
// one, after which it serves the new ParamArea and has let the old go.
TEST_F(HostReuseTest, AWaitingHostTakesOnlyItsOwnProgramsNextInstance)
{
    Launch();
    AskForWholeRecords();
    ASSERT_TRUE(client.Channel().LetWait(20000));
    HostClient next;
    HostClient stranger;
    ASSERT_TRUE(next.CreateControl() && stranger.CreateControl());
    stranger.Control()->dwClientPid = client.Host().Id();
    const struct {
        const char* what;
        std::string slot;
        std::string mapping;
        uint32_t codec;
        uint32_t protocol;
    } refused[] = {
        {"no such mapping", kSlot, next.Name() + "X", fcc, kHostProtocolVersion},
        {"another program's mapping", kSlot, stranger.Name(), fcc, kHostProtocolVersion},
        {"a slot name without its end", std::string(kHandoverSlotCapacity, 's'), next.Name(), fcc,
         kHostProtocolVersion},
        {"a slot past tdl9", "tdl10", next.Name(), fcc, kHostProtocolVersion},
        {"a slot in capitals", "TDL3", next.Name(), fcc, kHostProtocolVersion},
        {"a path to a slot", "..\\tdl3", next.Name(), fcc, kHostProtocolVersion},
        {"a mapping name without its end", kSlot, std::string(kMappingNameCapacity, 'n'), fcc,
         kHostProtocolVersion},
        {"no codec", kSlot, next.Name(), 0, kHostProtocolVersion},
        {"a codec that is not installed", kSlot, next.Name(), mmioFOURCC('n', 'o', 'n', 'e'),
         kHostProtocolVersion},
        {"a serve of a protocol without reuse", kSlot, next.Name(), fcc, kReuseProtocolVersion - 1},
    };
    for (const auto& handover : refused) {
        HostHandover record = {};
        std::memcpy(record.slotName, handover.slot.data(),
                    std::min(handover.slot.size(), sizeof record.slotName));
        std::memcpy(record.mappingName, handover.mapping.data(),
                    std::min(handover.mapping.size(), sizeof record.mappingName));
        record.dwFcc = handover.codec;
        std::memcpy(client.ParamArea(), &record, sizeof record);
        EXPECT_EQ(0, client.Send(kRequestServe, kLayoutsWholeRecords, handover.protocol)) << handover.what;
    }
    EXPECT_EQ(0, client.Send(kRequestHandshake, kLayoutsWholeRecords, kHostProtocolVersion)) << "waiting";
    EXPECT_EQ(kHostCannotServe, client.AnnounceViews(kSeriesCompress, 4096, 4096)) << "waiting";
    EXPECT_EQ(1u, script->openCount) << "no codec opened but the first";

    std::string waitedWith = client.Name();
    int32_t answer = 0;
    ASSERT_TRUE(client.Channel().Handover(kSlot, fcc, kLayoutsWholeRecords, 20000, &answer));
    EXPECT_EQ(static_cast<int32_t>(HandshakeResult(kHostProtocolVersion, kLayoutsWholeRecords)), answer);
    EXPECT_EQ(2u, script->openCount);
    EXPECT_FALSE(MappingExists(waitedWith));
    EXPECT_EQ(4, client.Send(kRequestGetState)) << "the codec's state size";
    EXPECT_EQ(client.Channel().Window(), client.Window()) << "published in the new control block";
}

// Nothing that reached the host while it waited reaches the next instance:
// its first BEGIN finds no views, as a new host's does, until it announces
// its own.
TEST_F(HostReuseTest, AServedHostStartsAsANewHostDoes)
{
    Launch();
    AskForWholeRecords();
    ASSERT_TRUE(client.Channel().LetWait(20000));
    client.Send(kRequestHandshake, kLayoutsWholeRecords, kHostProtocolVersion);
    client.AnnounceViews(kSeriesCompress, 1 << 16, 1 << 16);
    int32_t answer = 0;
    ASSERT_TRUE(client.Channel().Handover(kSlot, fcc, kLayoutsWholeRecords, 20000, &answer));
    BITMAPINFOHEADER rgb = MakeHeader(64, 48, 24);
    BITMAPINFOHEADER packed = MakeHeader(64, 48, 24, fcc, 5000);
    PutPair(0, rgb.biSize, rgb, packed);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompressBegin)) << "no views of its own";
    ASSERT_EQ(ICERR_OK, client.AnnounceViews(kSeriesCompress, 1 << 16, 1 << 16));
    PutPair(0, rgb.biSize, rgb, packed);
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressBegin)) << "with its own";
}
