#pragma once

#include <cstdint>

// Asks the codec of `fcc`, in this process, which ICOpen modes it opens in:
// the record a slot keeps in dwOpenModes (catalogue/open_modes.h), so that
// the driver answers a program's open without starting a host. 0 (no
// record) for no codec.
uint32_t AskCodecOpenModes(uint32_t fcc);
