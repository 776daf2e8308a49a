#pragma once

#include <windows.h>

#include <cstdint>

class HostChannel;

// The hosts this program let go, each waiting for one of its next instances
// (HostChannel::LetWait): at most kIdleHostsPerProgram, the one that began
// to wait last taken first. A host that ends while it waits (after
// kHostIdleMs unused, or ended from outside) goes at once. While a host
// that has waited runs (waiting, or serving an instance it was handed) the
// driver keeps itself loaded, so that a program that opens and closes one
// instance after another finds it; once none runs the system may unload it
// again. Called only from the driver's entry point, while the system holds
// the module loaded.

const int kIdleHostsPerProgram = 2;

// Takes the waiting host of `channel`; false when kIdleHostsPerProgram wait
// already, and the caller ends it.
bool KeepIdleHost(HostChannel& channel);

// Gives a waiting host the instance of `slot`, its `codec` and the stated
// `openMode` (HostChannel::Handover) and moves it into `channel`, which has
// none; false when no waiting host took it. Hosts that refuse wait on;
// those that cannot be reached are ended.
bool ServeFromIdleHost(HostChannel& channel, const char* slot, uint32_t codec, uint32_t openMode,
                       uint32_t layouts, DWORD timeoutMs, int32_t* answer);

// When the driver leaves the program: every waiting host ends at its next
// check (iAlive 0). Safe where nothing may be waited for.
void LetIdleHostsGo();
