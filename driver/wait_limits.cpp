#include "driver/wait_limits.h"

#include <algorithm>

#include "host/host_protocol.h"

namespace {

const int kShortestSeconds = 1;
const int kLongestSeconds = 3600;

DWORD Milliseconds(int seconds)
{
    return static_cast<DWORD>(seconds) * 1000;
}

}

int TimeoutSeconds(int stored)
{
    return std::min(std::max(stored, kShortestSeconds), kLongestSeconds);
}

DWORD StartWaitMs(int timeoutSeconds)
{
    return std::max(Milliseconds(timeoutSeconds), kWorkWaitFloorMs);
}

DWORD RequestWaitMs(UINT request, WPARAM wParam, int timeoutSeconds)
{
    switch (request) {
    case kRequestConfigure:
    case kRequestAbout:
        return wParam == static_cast<WPARAM>(-1) ? Milliseconds(timeoutSeconds) : kWaitForever;
    case kRequestDrvConfigure:
        return kWaitForever;
    // The host answers them once it has loaded and opened the codec.
    case kRequestHandshake:
    case kRequestServe:
        return StartWaitMs(timeoutSeconds);
    case kRequestCompressBegin:
    case kRequestCompress:
    case kRequestCompressEnd:
    case kRequestDecompressBegin:
    case kRequestDecompress:
    case kRequestDecompressEnd:
    case kRequestDecompressExBegin:
    case kRequestDecompressEx:
    case kRequestDecompressExEnd:
    case kRequestFrameViews:
        return std::max(Milliseconds(timeoutSeconds), kWorkWaitFloorMs);
    default:
        return Milliseconds(timeoutSeconds);
    }
}
