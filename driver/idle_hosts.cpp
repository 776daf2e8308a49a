#include "driver/idle_hosts.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "driver/host_channel.h"

namespace {

// A waiting host, and the thread-pool wait that notices its end.
struct IdleHost {
    HostChannel channel {""};
    PTP_WAIT ended = nullptr;
};
using IdleHosts = std::vector<std::unique_ptr<IdleHost>>;

SRWLOCK g_lock = SRWLOCK_INIT;
// Never destroyed: giving up a channel waits for its host, which the
// program's end must not do.
IdleHosts& g_waiting = *new IdleHosts();
HMODULE g_keptLoaded = nullptr;

// Takes `host` out of the waiting ones (under the lock); null when it is no
// longer there.
std::unique_ptr<IdleHost> Remove(IdleHost* host)
{
    auto found
        = std::find_if(g_waiting.begin(), g_waiting.end(),
                       [host](const std::unique_ptr<IdleHost>& waiting) { return waiting.get() == host; });
    if (found == g_waiting.end())
        return nullptr;
    std::unique_ptr<IdleHost> taken = std::move(*found);
    g_waiting.erase(found);
    return taken;
}

// A host that ended while it waited goes at once, and with the last one the
// driver's hold on itself: the module may unload once this callback is done.
void CALLBACK OnHostEnded(PTP_CALLBACK_INSTANCE instance, void* context, PTP_WAIT wait, TP_WAIT_RESULT)
{
    AcquireSRWLockExclusive(&g_lock);
    std::unique_ptr<IdleHost> ended = Remove(static_cast<IdleHost*>(context));
    if (g_waiting.empty() && g_keptLoaded != nullptr) {
        FreeLibraryWhenCallbackReturns(instance, g_keptLoaded);
        g_keptLoaded = nullptr;
    }
    ReleaseSRWLockExclusive(&g_lock);
    if (ended)
        CloseThreadpoolWait(wait);
}

// Stops watching a host taken out of the waiting ones: outside the lock,
// which a callback of its wait that runs already takes.
void StopWatching(IdleHost& host)
{
    if (host.ended == nullptr)
        return;
    SetThreadpoolWait(host.ended, nullptr, nullptr);
    WaitForThreadpoolWaitCallbacks(host.ended, TRUE);
    CloseThreadpoolWait(host.ended);
    host.ended = nullptr;
}

// The system's own reference keeps the driver loaded here: the caller is
// in its entry point.
std::unique_ptr<IdleHost> TakeLast()
{
    std::unique_ptr<IdleHost> taken;
    AcquireSRWLockExclusive(&g_lock);
    if (!g_waiting.empty()) {
        taken = std::move(g_waiting.back());
        g_waiting.pop_back();
    }
    if (g_waiting.empty() && g_keptLoaded != nullptr) {
        FreeLibrary(g_keptLoaded);
        g_keptLoaded = nullptr;
    }
    ReleaseSRWLockExclusive(&g_lock);
    return taken;
}

}

bool KeepIdleHost(HostChannel& channel)
{
    std::unique_ptr<IdleHost> kept(new IdleHost());
    kept->ended = CreateThreadpoolWait(OnHostEnded, kept.get(), nullptr);
    AcquireSRWLockExclusive(&g_lock);
    bool room = g_waiting.size() < static_cast<size_t>(kIdleHostsPerProgram);
    if (room) {
        if (g_keptLoaded == nullptr)
            GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                               reinterpret_cast<LPCSTR>(&KeepIdleHost), &g_keptLoaded);
        kept->channel.Swap(channel);
        if (kept->ended != nullptr)
            SetThreadpoolWait(kept->ended, kept->channel.Process().Handle(), nullptr);
        g_waiting.push_back(std::move(kept));
    }
    ReleaseSRWLockExclusive(&g_lock);
    if (!room)
        StopWatching(*kept);
    return room;
}

bool ServeFromIdleHost(HostChannel& channel, const char* slot, uint32_t codec, uint32_t layouts,
                       DWORD timeoutMs, int32_t* answer)
{
    for (std::unique_ptr<IdleHost> waiting = TakeLast(); waiting; waiting = TakeLast()) {
        StopWatching(*waiting);
        if (waiting->channel.Handover(slot, codec, layouts, timeoutMs, answer)) {
            channel.Swap(waiting->channel);
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
    for (const std::unique_ptr<IdleHost>& waiting : g_waiting)
        waiting->channel.Control()->iAlive = 0;
    ReleaseSRWLockExclusive(&g_lock);
}
