#include "driver/idle_hosts.h"

#include <memory>
#include <vector>

#include "driver/host_channel.h"

namespace {

using Channels = std::vector<std::unique_ptr<HostChannel>>;

SRWLOCK g_lock = SRWLOCK_INIT;
// Never destroyed: giving up a channel waits for its host, which the
// program's end must not do.
Channels& g_waiting = *new Channels();
HMODULE g_keptLoaded = nullptr;

// Lets go of the driver once no host waits: the system's own reference
// keeps it loaded here.
void LetGoWhenNoneWaits()
{
    if (g_waiting.empty() && g_keptLoaded != nullptr) {
        FreeLibrary(g_keptLoaded);
        g_keptLoaded = nullptr;
    }
}

// Moves the hosts that ended while they waited to `ended`.
void DropEnded(Channels* ended)
{
    for (size_t i = g_waiting.size(); i-- > 0;) {
        if (!g_waiting[i]->Process().IsRunning()) {
            ended->push_back(std::move(g_waiting[i]));
            g_waiting.erase(g_waiting.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

// The channels in `ended` are given up after the lock is released.
std::unique_ptr<HostChannel> TakeLast(Channels* ended)
{
    std::unique_ptr<HostChannel> taken;
    AcquireSRWLockExclusive(&g_lock);
    DropEnded(ended);
    if (!g_waiting.empty()) {
        taken = std::move(g_waiting.back());
        g_waiting.pop_back();
    }
    LetGoWhenNoneWaits();
    ReleaseSRWLockExclusive(&g_lock);
    return taken;
}

}

bool KeepIdleHost(HostChannel& channel)
{
    std::unique_ptr<HostChannel> kept(new HostChannel(""));
    Channels ended;
    AcquireSRWLockExclusive(&g_lock);
    DropEnded(&ended);
    bool room = g_waiting.size() < static_cast<size_t>(kIdleHostsPerProgram);
    if (room) {
        if (g_keptLoaded == nullptr)
            GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                               reinterpret_cast<LPCSTR>(&KeepIdleHost), &g_keptLoaded);
        kept->Swap(channel);
        g_waiting.push_back(std::move(kept));
    }
    ReleaseSRWLockExclusive(&g_lock);
    return room;
}

bool ServeFromIdleHost(HostChannel& channel, const char* slot, uint32_t layouts, DWORD timeoutMs,
                       int32_t* answer)
{
    Channels ended;
    for (std::unique_ptr<HostChannel> waiting = TakeLast(&ended); waiting; waiting = TakeLast(&ended)) {
        if (waiting->Handover(slot, layouts, timeoutMs, answer)) {
            channel.Swap(*waiting);
            return true;
        }
    }
    return false;
}

void LetIdleHostsGo()
{
    // A thread that the program's end stopped may have held the lock.
    if (!TryAcquireSRWLockExclusive(&g_lock))
        return;
    for (const std::unique_ptr<HostChannel>& waiting : g_waiting)
        waiting->Control()->iAlive = 0;
    ReleaseSRWLockExclusive(&g_lock);
}
