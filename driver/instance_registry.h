#pragma once

#include <windows.h>

class DriverInstance;

// The open instances of the driver, by the id the system hands back with
// each message, and the threads inside each. A program may close an
// instance on one thread while another waits inside it for the host: the
// close ends that instance's host, so the waiting call fails at once, and
// the instance goes only when no call is inside any more. A message for an
// id that is not open, or is being closed, finds no instance.

// Registers a new instance; its address is its id.
DWORD_PTR AddInstance(DriverInstance* instance);

// One call inside an open instance, from lookup to return.
class InstanceCall {
public:
    explicit InstanceCall(DWORD_PTR id);
    InstanceCall(const InstanceCall&) = delete;
    InstanceCall& operator=(const InstanceCall&) = delete;
    ~InstanceCall();

    // Null when the id names no open instance.
    DriverInstance* Instance() const;

private:
    struct InstanceEntry* entry_;
};

// Removes the instance and deletes it: at once when no call is inside;
// otherwise after ending its host, once the calls of other threads have
// left (handling the messages sent to this thread meanwhile), or, when this
// very thread is inside it (a window procedure run while a dialog was up),
// as that call leaves. The driver module then stays loaded: the system may
// unload it when the close returns, with a call still on its way out.
void CloseInstance(DWORD_PTR id);

// Keeps the driver module loaded until the process ends.
void StayLoaded();
