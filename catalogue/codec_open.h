#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>

// ICOpen and ICClose for codecs that may refuse the open (a decoder asked to
// compress, a broken codec).
//
// Under Wine, when a codec refuses the first open of its module, the driver
// record of that open is freed twice and the module is unloaded in between;
// the heap is then corrupted and the process may fault much later. So while
// a codec is open, a driver instance of our own holds its module: the open
// is then never the first of its module, and a refusal frees its record
// once. That instance is opened as the system opens a module's first one
// (DRV_OPEN without an ICOPEN) and closed after the codec, as the system
// closes its own, so the codec sees what it always sees.

// The codec ICOpen gives for the same arguments. Close it with
// CloseCodecKeptLoaded.
HIC OpenCodecKeptLoaded(uint32_t fccType, uint32_t fccHandler, UINT mode);
void CloseCodecKeptLoaded(HIC codec);
