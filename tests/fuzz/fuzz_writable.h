#pragma once

#include <cstdint>
#include <vector>

#include "fuzz_requests.h"

// The bytes of ParamArea that the host may write for a request, read from
// what the client wrote (`before`) by this file's own account of the
// layouts, apart from the host's placing code, so that a wrong placing rule
// in the host shows as a silent write: nothing while the host waits or
// when it refused the request itself (`refused`, its dwRefusal); otherwise
// what the request lets the codec write: a frame's whole layout in the
// whole-record layouts, the codec's outputs in the others, the output
// header of every request that carries one, state, values and the codec's
// information.
std::vector<bool> Writable(const FuzzRequest& request, const std::vector<uint8_t>& before, uint32_t layouts,
                           bool waiting, bool refused);
