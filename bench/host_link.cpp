#include "bench/host_link.h"

#include "bench/bench_cases.h"
#include "driver/wait_limits.h"

namespace {

// iTimeout as the driver reads it when the settings say nothing.
const int kTimeoutSeconds = 1;

}

bool HostLink::Start(const char* slot, uint32_t layouts)
{
    int32_t answer;
    if (!channel_.CreateControl() || !channel_.StartHost(slot)
        || !channel_.WaitForWindow(StartWaitMs(kTimeoutSeconds))
        || !Send(kRequestHandshake, layouts, kHostProtocolVersion, &answer))
        return false;
    layouts_ = answer == 0 ? kLayoutsClassic : HandshakeLayouts(static_cast<uint32_t>(answer));
    return true;
}

bool HostLink::Send(UINT request, WPARAM wParam, LPARAM lParam, int32_t* result)
{
    return channel_.Send(request, wParam, lParam, RequestWaitMs(request, wParam, kTimeoutSeconds), result);
}

double HostLink::NullRoundTrip()
{
    DWORD_PTR answer;
    return Timed([&] {
        return SendMessageTimeoutA(channel_.Window(), WM_NULL, 0, 0, SMTO_NORMAL,
                                   RequestWaitMs(WM_NULL, 0, kTimeoutSeconds), &answer)
            != 0;
    });
}

double TimeHostStart(const char* slot)
{
    HostChannel channel;
    return Timed([&] {
        return channel.CreateControl() && channel.StartHost(slot)
            && channel.WaitForWindow(StartWaitMs(kTimeoutSeconds));
    });
}
