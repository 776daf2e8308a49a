// One instance's use of its channel: the host's start and handshake,
// requests within their time limits, and what a request gets when the host
// cannot serve it.

#include "driver/driver_instance.h"

#include <cstdio>

#include "driver/driver_log.h"
#include "driver/idle_hosts.h"
#include "driver/wait_limits.h"

LRESULT UnservedResult(UINT request)
{
    switch (request) {
    case kRequestGetState:
    case kRequestSetState:
        return 0;
    // Any other answer would claim a configuration dialog.
    case kRequestDrvQueryConfigure:
        return 0;
    case kRequestConfigure:
    case kRequestAbout:
    case kRequestGetDefaultQuality:
    case kRequestGetQuality:
    case kRequestSetQuality:
    case kRequestGetBuffersWanted:
    case kRequestGetDefaultKeyFrameRate:
    case kRequestCompressEnd:
    case kRequestDecompressEnd:
    case kRequestDecompressExEnd:
        return ICERR_UNSUPPORTED;
    default:
        return request >= kRequestDrvLoad ? ICERR_UNSUPPORTED : kHostCannotServe;
    }
}

void DriverInstance::Abort()
{
    AcquireSRWLockExclusive(&abortLock_);
    aborted_ = true;
    if (hostProcess_ != nullptr)
        TerminateProcess(hostProcess_, 1);
    ReleaseSRWLockExclusive(&abortLock_);
}

bool DriverInstance::KeepHostProcess()
{
    AcquireSRWLockExclusive(&abortLock_);
    bool kept = !aborted_
        && DuplicateHandle(GetCurrentProcess(), channel_.Process().Handle(), GetCurrentProcess(),
                           &hostProcess_, PROCESS_TERMINATE, FALSE, 0);
    ReleaseSRWLockExclusive(&abortLock_);
    return kept;
}

bool DriverInstance::HostReady()
{
    if (aborted_)
        return false;
    if (!started_) {
        started_ = true;
        ready_ = StartHost();
    }
    if (ready_ && !channel_.Failed())
        return true;
    NoteRefusal(false, "no host serves the instance (it did not start, or it ended)");
    return false;
}

// Takes a host that waits for this program's next instance, or starts one,
// and settles the layouts: the whole-record layouts when the host knows
// them, the whole-header layouts from a host of protocol 2, the classic
// ones when it answers the handshake with 0.
bool DriverInstance::StartHost()
{
    char slot[8];
    std::snprintf(slot, sizeof slot, "tdl%d", slot_);
    int32_t answer;
    if (ServeFromIdleHost(channel_, slot, codec_, channel_.StatedMode(), kLayoutsWholeRecords,
                          RequestWaitMs(kRequestServe, 0, timeoutSeconds_), &answer))
        return KeepHostProcess() && TakeLayouts(answer);
    if (!channel_.CreateControl() || !channel_.StartHost(slot)) {
        LogDriverEvent(logPath_, slot_, "starting the host: Tandrel64.exe could not be started");
        return false;
    }
    if (!KeepHostProcess())
        return false;
    bool published = channel_.WaitForWindow(StartWaitMs(timeoutSeconds_));
    if (!published && channel_.HostExitCode() == kCodecNotOpenedExitCode) {
        codecRefused_ = true;
        LogDriverEvent(logPath_, slot_, "starting the host: the codec does not open in the program's mode");
        return false;
    }
    if (!published || !Handshake(kLayoutsWholeRecords, &answer)
        || (answer != 0 && !HandshakeGaveWholeRecords(static_cast<uint32_t>(answer))
            && !Handshake(kLayoutsWholeHeaders, &answer))) {
        LogChannelFailure("starting the host");
        return false;
    }
    return TakeLayouts(answer);
}

bool DriverInstance::CodecOpens()
{
    HostReady();
    refusal_ = nullptr;
    return !codecRefused_;
}

bool DriverInstance::TakeLayouts(int32_t answer)
{
    uint32_t settled = static_cast<uint32_t>(answer);
    layouts_ = answer == 0 ? kLayoutsClassic : HandshakeLayouts(settled);
    if (layouts_ > kLayoutsWholeRecords) {
        LogDriverEvent(logPath_, slot_, "starting the host: it chose layouts this driver does not know");
        channel_.EndHost(RequestWaitMs(kRequestDrvClose, 0, timeoutSeconds_));
        return false;
    }
    reuse_ = HandshakeVersion(settled) >= kReuseProtocolVersion;
    return true;
}

bool DriverInstance::HostReusable() const
{
    return ready_ && reuse_ && !aborted_ && !channel_.Failed();
}

bool DriverInstance::Handshake(uint32_t layouts, int32_t* answer)
{
    return channel_.Send(kRequestHandshake, layouts, kHostProtocolVersion,
                         RequestWaitMs(kRequestHandshake, 0, timeoutSeconds_), answer);
}

// In the whole-record layouts the host says why it refused a request.
bool DriverInstance::Request(UINT request, WPARAM wParam, LPARAM lParam, int32_t* result)
{
    if (!HostReady())
        return false;
    DWORD limit = RequestWaitMs(request, wParam, timeoutSeconds_);
    if (WholeRecords())
        channel_.Control()->dwRefusal = kRefusalNone;
    if (limit == kWaitForever ? channel_.SendWithDialog(request, wParam, lParam, result)
                              : channel_.Send(request, wParam, lParam, limit, result)) {
        uint32_t reason = WholeRecords() && *result == kHostCannotServe ? channel_.Control()->dwRefusal : 0;
        if (reason != kRefusalNone)
            NoteRefusal(true, HostRefusalText(reason));
        return true;
    }
    char doing[32];
    std::snprintf(doing, sizeof doing, "request 0x%X", request);
    LogChannelFailure(doing);
    return false;
}

void DriverInstance::NoteRefusal(bool byHost, const char* why)
{
    if (refusal_ != nullptr)
        return;
    refusal_ = why;
    refusedByHost_ = byHost;
}

void DriverInstance::LogChannelFailure(const char* doing)
{
    // A close ended the host on purpose.
    if (aborted_)
        return;
    char text[kLogTextCapacity];
    FormatHostFailure(doing, channel_.HostExitCode(), text);
    LogDriverEvent(logPath_, slot_, text);
}

LRESULT DriverInstance::Forward(UINT request, WPARAM wParam, LPARAM lParam)
{
    int32_t result;
    return Request(request, wParam, lParam, &result) ? result : UnservedResult(request);
}
