#include "driver/instance_registry.h"

#include <algorithm>
#include <vector>

#include "driver/driver_instance.h"
#include "driver/message_pump_wait.h"

struct InstanceEntry {
    DriverInstance* instance;
    // One id per call inside, a thread as often as it entered.
    std::vector<DWORD> threads;
    bool closing;
    // Set by a close that waits: signalled when the last call leaves.
    HANDLE idle;
};

namespace {

SRWLOCK g_lock = SRWLOCK_INIT;
std::vector<InstanceEntry*> g_entries;

InstanceEntry* FindEntry(DWORD_PTR id)
{
    for (InstanceEntry* entry : g_entries) {
        if (reinterpret_cast<DWORD_PTR>(entry->instance) == id)
            return entry;
    }
    return nullptr;
}

void DeleteEntry(InstanceEntry* entry)
{
    delete entry->instance;
    if (entry->idle != nullptr)
        CloseHandle(entry->idle);
    delete entry;
}

}

void StayLoaded()
{
    HMODULE self;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&StayLoaded), &self);
}

DWORD_PTR AddInstance(DriverInstance* instance)
{
    InstanceEntry* entry = new InstanceEntry {instance, {}, false, nullptr};
    AcquireSRWLockExclusive(&g_lock);
    g_entries.push_back(entry);
    ReleaseSRWLockExclusive(&g_lock);
    return reinterpret_cast<DWORD_PTR>(instance);
}

InstanceCall::InstanceCall(DWORD_PTR id)
{
    AcquireSRWLockExclusive(&g_lock);
    entry_ = FindEntry(id);
    if (entry_ != nullptr)
        entry_->threads.push_back(GetCurrentThreadId());
    ReleaseSRWLockExclusive(&g_lock);
}

InstanceCall::~InstanceCall()
{
    if (entry_ == nullptr)
        return;
    AcquireSRWLockExclusive(&g_lock);
    std::vector<DWORD>& threads = entry_->threads;
    threads.erase(std::find(threads.begin(), threads.end(), GetCurrentThreadId()));
    bool last = entry_->closing && threads.empty();
    bool waitedFor = last && entry_->idle != nullptr;
    if (waitedFor)
        SetEvent(entry_->idle);
    ReleaseSRWLockExclusive(&g_lock);
    if (last && !waitedFor)
        DeleteEntry(entry_);
}

DriverInstance* InstanceCall::Instance() const
{
    return entry_ != nullptr ? entry_->instance : nullptr;
}

void CloseInstance(DWORD_PTR id)
{
    AcquireSRWLockExclusive(&g_lock);
    InstanceEntry* entry = FindEntry(id);
    if (entry == nullptr) {
        ReleaseSRWLockExclusive(&g_lock);
        return;
    }
    g_entries.erase(std::find(g_entries.begin(), g_entries.end(), entry));
    entry->closing = true;
    std::vector<DWORD>& threads = entry->threads;
    bool busy = !threads.empty();
    if (busy) {
        StayLoaded();
        entry->instance->Abort();
        if (std::find(threads.begin(), threads.end(), GetCurrentThreadId()) == threads.end())
            entry->idle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    bool waits = entry->idle != nullptr;
    ReleaseSRWLockExclusive(&g_lock);
    // Otherwise the last call to leave deletes it.
    if (busy && !waits)
        return;
    if (waits)
        WaitHandlingSentMessages(entry->idle);
    DeleteEntry(entry);
}
