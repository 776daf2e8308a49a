// A host that its client lets go waits for the program's next instance: it
// holds nothing of the instance that ended, and takes the next one only from
// a handover of the program that started it.

#include <algorithm>
#include <cstring>

#include "host_test_fixture.h"

namespace {

class HostReuseTest : public HostTest {
protected:
    void LaunchAndLetWait()
    {
        Launch();
        client.Send(kRequestHandshake, kLayoutsWholeRecords, kHostProtocolVersion);
        ASSERT_TRUE(client.Channel().LetWait(20000));
    }
    int32_t Serve(const std::string& slot, const std::string& mapping)
    {
        HostHandover next = {};
        std::memcpy(next.slotName, slot.data(), std::min(slot.size(), sizeof next.slotName));
        std::memcpy(next.mappingName, mapping.data(), std::min(mapping.size(), sizeof next.mappingName));
        std::memcpy(client.ParamArea(), &next, sizeof next);
        return client.Send(kRequestServe, kLayoutsWholeRecords, kHostProtocolVersion);
    }
};

}

// As from a driver of protocol 2 or 3: the host neither waits nor takes an
// instance before a handshake of the reuse protocol.
TEST_F(HostReuseTest, OnlyAClientOfTheReuseProtocolMayKeepTheHost)
{
    Launch();
    for (uint32_t version : {2u, 3u, kReuseProtocolVersion}) {
        client.Send(kRequestHandshake, kLayoutsWholeRecords, version);
        EXPECT_EQ(0, Serve(kSlot, client.Name())) << "not waiting";
        int32_t waits = client.Send(kRequestIdle);
        EXPECT_EQ(version >= kReuseProtocolVersion ? 1 : 0, waits) << version;
        EXPECT_EQ(static_cast<uint32_t>(waits), script->closeCount) << version;
    }
}

TEST_F(HostReuseTest, AWaitingHostHoldsNothingOfTheInstanceThatEnded)
{
    Launch();
    client.Send(kRequestHandshake, kLayoutsWholeRecords, kHostProtocolVersion);
    ASSERT_EQ(ICERR_OK, client.AnnounceViews(kSeriesCompress, 4096, 4096));
    char view[kMappingNameCapacity];
    ASSERT_TRUE(FormatFrameViewName(view, sizeof view, client.Name().c_str(), kSeriesCompress, 1, true));
    ASSERT_TRUE(client.Channel().LetWait(20000));
    EXPECT_EQ(1u, script->closeCount);
    EXPECT_FALSE(MappingExists(view)) << "the views went with the instance";
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompressQuery)) << "no codec";
    EXPECT_EQ(0, client.Send(kRequestGetQuality)) << "the classic layouts";
    EXPECT_EQ(0, client.Send(kRequestIdle)) << "waits already";
}

// A refused handover leaves the host waiting as before, for the next good
// one, after which it serves the new ParamArea and has let the old go.
TEST_F(HostReuseTest, AWaitingHostTakesOnlyItsOwnProgramsNextInstance)
{
    LaunchAndLetWait();
    HostClient next;
    HostClient stranger;
    HostClient small;
    ASSERT_TRUE(next.CreateControl() && stranger.CreateControl() && small.CreateControl(4096));
    stranger.Control()->dwClientPid = client.Host().Id();
    const struct {
        const char* what;
        std::string slot;
        std::string mapping;
    } refused[] = {
        {"no such mapping", kSlot, next.Name() + "X"},
        {"another program's mapping", kSlot, stranger.Name()},
        {"a mapping too small", kSlot, small.Name()},
        {"a slot name without its end", std::string(kHandoverSlotCapacity, 's'), next.Name()},
        {"a mapping name without its end", kSlot, std::string(kMappingNameCapacity, 'n')},
        {"a slot without a codec", "tdl8", next.Name()},
    };
    for (const auto& handover : refused)
        EXPECT_EQ(0, Serve(handover.slot, handover.mapping)) << handover.what;
    EXPECT_EQ(1u, script->openCount) << "no codec opened but the first";

    std::string waitedWith = client.Name();
    int32_t answer = 0;
    ASSERT_TRUE(client.Channel().Handover(kSlot, kLayoutsWholeRecords, 20000, &answer));
    EXPECT_EQ(static_cast<int32_t>(HandshakeResult(kHostProtocolVersion, kLayoutsWholeRecords)), answer);
    EXPECT_EQ(2u, script->openCount);
    EXPECT_FALSE(MappingExists(waitedWith));
    EXPECT_EQ(4, client.Send(kRequestGetState)) << "the codec's state size";
    EXPECT_EQ(client.Channel().Window(), client.Window()) << "published in the new control block";
}
