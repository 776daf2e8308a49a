#pragma once

#include <cstdint>
#include <random>

#include "host/host_protocol.h"

// The handovers the fuzzer gives a waiting host: the driver's own (through
// the channel), and records that each break one rule of the handover,
// which a host must refuse whether it waits or not.
const uint32_t kNoHandover = 0xFFFFFFFF;
const uint32_t kValidHandover = 0;
const uint32_t kHandoverKinds = 14;

// What the handover of `kind` is, for the summary.
const char* HandoverName(uint32_t kind);

// The mappings a handover may name: the next instance's control mapping of
// this process, and one that says it is another process's.
struct HandoverMappings {
    const char* own;
    const char* stranger;
};

// Writes the broken record of `kind` into ParamArea and gives the protocol
// version to send it with.
uint32_t PutBrokenHandover(uint32_t kind, uint8_t* area, const HandoverMappings& mappings, uint32_t codec,
                           std::mt19937_64& rng);
