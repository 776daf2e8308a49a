// A host that the program lets go waits for the program's next instance:
// it holds nothing of the instance that ended but the control mapping it
// waits with, and takes the next one as a new host would start with it.

#include "host/codec_host.h"

#include <cstring>
#include <utility>

#include "host/codec_guard.h"

namespace {

bool TerminatedWithin(const char* text, size_t capacity, size_t longest)
{
    size_t length = strnlen(text, capacity);
    return length != 0 && length <= longest;
}

// "tdl0" to "tdl9", as the slot drivers are named.
bool NamesASlot(const char* text, size_t capacity)
{
    return capacity >= 5 && text[0] == 't' && text[1] == 'd' && text[2] == 'l' && text[3] >= '0'
        && text[3] <= '9' && text[4] == '\0';
}

}

void CCodecHost::ForgetInstance()
{
    for (uint32_t kind = 0; kind < kSeriesKinds; ++kind) {
        EndSeries(kind);
        views[kind].Close();
    }
    layouts = kLayoutsClassic;
}

// Only between requests: a request that a codec's dialog lets in must not
// close the codec under it or take its ParamArea away.
LRESULT CCodecHost::OnIdle()
{
    if (!reuse || codec == nullptr || quitting || requestDepth != 1)
        return 0;
    GuardedClose(codec);
    codec = nullptr;
    ForgetInstance();
    reuse = false;
    idle = true;
    idleSince = timeGetTime();
    return 1;
}

LRESULT CCodecHost::OnServe(WPARAM wParam, LPARAM lParam)
{
    if (!idle || quitting || requestDepth != 1 || static_cast<uint32_t>(lParam) < kReuseProtocolVersion
        || !StartRequest() || !params.Take(sizeof(HostHandover)))
        return 0;
    HostHandover next;
    std::memcpy(&next, params.At(0), sizeof next);
    if (!NamesASlot(next.slotName, sizeof next.slotName)
        || !TerminatedWithin(next.mappingName, sizeof next.mappingName, kControlMappingNameLimit)
        || next.dwFcc == 0)
        return 0;
    CMapping control;
    if (!control.OpenBlock(kControlMappingSize, next.mappingName, false))
        return 0;
    HostControlBlock* block = static_cast<HostControlBlock*>(control.GetView());
    if (*static_cast<volatile uint32_t*>(&block->dwClientPid) != clientPid) {
        control.Close();
        return 0;
    }
    // Nothing of the instance before reaches the next one, whatever its
    // client did while the host waited.
    ForgetInstance();
    if (!OpenCodec(next.dwFcc, *static_cast<volatile uint32_t*>(&block->dwOpenMode), false)) {
        control.Close();
        return 0;
    }
    lstrcpynA(slotName, next.slotName, sizeof slotName);
    block->hWndHost = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
    std::swap(mcMap, control);
    control.Close();
    lstrcpynA(mappingName, next.mappingName, sizeof mappingName);
    controlBlock = block;
    paramArea = reinterpret_cast<uint8_t*>(block) + sizeof(HostControlBlock);
    idle = false;
    return OnHandshake(wParam, lParam);
}
