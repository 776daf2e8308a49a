#include "driver/idle_hosts.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "driver/host_channel.h"

namespace {

// A host that has waited once, watched until it ends: a handle of its own
// to the process, and a thread-pool wait on it that stays set while the
// host serves the instances it is handed, so that letting it wait again
// and handing it over call nothing of the thread pool. Each watch holds the
// driver loaded, since its callback lies in it, until its host has ended.
struct HostWatch {
    DWORD processId = 0;
    HANDLE process = nullptr;
    PTP_WAIT ended = nullptr;
    HMODULE module = nullptr;
};

struct IdleHost {
    HostChannel channel {""};
    HostWatch* watch = nullptr;
};
using IdleHosts = std::vector<std::unique_ptr<IdleHost>>;

SRWLOCK g_lock = SRWLOCK_INIT;
// Never destroyed: giving up a channel waits for its host, which the
// program's end must not do.
IdleHosts& g_waiting = *new IdleHosts();
std::vector<HostWatch*>& g_watches = *new std::vector<HostWatch*>();

void DeleteWatch(HostWatch* watch)
{
    if (watch->ended != nullptr)
        CloseThreadpoolWait(watch->ended);
    if (watch->process != nullptr)
        CloseHandle(watch->process);
    if (watch->module != nullptr)
        FreeLibrary(watch->module);
    delete watch;
}

// A host that ended goes at once: out of the waiting ones when it waited,
// and its watch with it. The module may unload once this callback is done.
void CALLBACK OnHostEnded(PTP_CALLBACK_INSTANCE instance, void* context, PTP_WAIT wait, TP_WAIT_RESULT)
{
    HostWatch* watch = static_cast<HostWatch*>(context);
    std::unique_ptr<IdleHost> ended;
    AcquireSRWLockExclusive(&g_lock);
    auto waiting
        = std::find_if(g_waiting.begin(), g_waiting.end(),
                       [watch](const std::unique_ptr<IdleHost>& idle) { return idle->watch == watch; });
    if (waiting != g_waiting.end()) {
        ended = std::move(*waiting);
        g_waiting.erase(waiting);
    }
    g_watches.erase(std::find(g_watches.begin(), g_watches.end(), watch));
    ReleaseSRWLockExclusive(&g_lock);
    FreeLibraryWhenCallbackReturns(instance, watch->module);
    watch->module = nullptr;
    watch->ended = nullptr;
    DeleteWatch(watch);
    CloseThreadpoolWait(wait);
}

// Under the lock: the watch of the host process, made when it has none;
// null when none can be made.
HostWatch* WatchOf(ChildProcess& process)
{
    // A watch's handle keeps the system from giving its process's id to
    // another process.
    for (HostWatch* watch : g_watches) {
        if (watch->processId == process.Id())
            return watch;
    }
    HostWatch* watch = new HostWatch();
    watch->processId = process.Id();
    if (!DuplicateHandle(GetCurrentProcess(), process.Handle(), GetCurrentProcess(), &watch->process,
                         SYNCHRONIZE, FALSE, 0)
        || (watch->ended = CreateThreadpoolWait(OnHostEnded, watch, nullptr)) == nullptr
        || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&WatchOf),
                               &watch->module)) {
        DeleteWatch(watch);
        return nullptr;
    }
    g_watches.push_back(watch);
    SetThreadpoolWait(watch->ended, watch->process, nullptr);
    return watch;
}

std::unique_ptr<IdleHost> TakeLast()
{
    std::unique_ptr<IdleHost> taken;
    AcquireSRWLockExclusive(&g_lock);
    if (!g_waiting.empty()) {
        taken = std::move(g_waiting.back());
        g_waiting.pop_back();
    }
    ReleaseSRWLockExclusive(&g_lock);
    return taken;
}

}

bool KeepIdleHost(HostChannel& channel)
{
    AcquireSRWLockExclusive(&g_lock);
    HostWatch* watch
        = g_waiting.size() < static_cast<size_t>(kIdleHostsPerProgram) ? WatchOf(channel.Process()) : nullptr;
    if (watch != nullptr) {
        std::unique_ptr<IdleHost> kept(new IdleHost());
        kept->channel.Swap(channel);
        kept->watch = watch;
        g_waiting.push_back(std::move(kept));
    }
    ReleaseSRWLockExclusive(&g_lock);
    return watch != nullptr;
}

bool ServeFromIdleHost(HostChannel& channel, const char* slot, uint32_t codec, uint32_t openMode,
                       uint32_t layouts, DWORD timeoutMs, int32_t* answer)
{
    std::vector<std::unique_ptr<IdleHost>> refused;
    bool served = false;
    while (!served) {
        std::unique_ptr<IdleHost> waiting = TakeLast();
        if (!waiting)
            break;
        waiting->channel.StateMode(openMode);
        served = waiting->channel.Handover(slot, codec, layouts, timeoutMs, answer);
        if (served)
            channel.Swap(waiting->channel);
        else if (!waiting->channel.Failed())
            refused.push_back(std::move(waiting));
    }
    // A host that refused this instance may take the next one: it waits on,
    // and none ends here while the program's open is under way. One that
    // ended meanwhile has lost its watch already.
    AcquireSRWLockExclusive(&g_lock);
    for (std::unique_ptr<IdleHost>& waiting : refused) {
        auto watch = std::find(g_watches.begin(), g_watches.end(), waiting->watch);
        if (watch != g_watches.end() && (*watch)->processId == waiting->channel.Process().Id())
            g_waiting.push_back(std::move(waiting));
    }
    ReleaseSRWLockExclusive(&g_lock);
    return served;
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
