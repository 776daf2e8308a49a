#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>

// Which ICOpen modes a slot's codec takes, as the configuration tool records
// them in the slot's dwOpenModes: bit m for mode m (ICMODE_COMPRESS to
// ICMODE_FASTCOMPRESS), and kOpenModesRecorded. A load writes a missing key
// as 0, so a value without kOpenModesRecorded is no record at all; a codec
// that opens in no mode has that bit alone.

const uint32_t kOpenModesRecorded = 0x80000000u;
const UINT kRecordedOpenModes[] = {ICMODE_COMPRESS, ICMODE_DECOMPRESS, ICMODE_FASTDECOMPRESS, ICMODE_QUERY,
                                   ICMODE_FASTCOMPRESS};

// The record of a codec that `opens` in a mode (opening and closing it) or
// not.
template <typename Opens>
uint32_t RecordOpenModes(Opens opens)
{
    uint32_t record = kOpenModesRecorded;
    for (UINT mode : kRecordedOpenModes) {
        if (opens(mode))
            record |= 1u << mode;
    }
    return record;
}

enum class RecordedOpen { Takes, Refuses, NotRecorded };

inline RecordedOpen RecordedOpenAnswer(uint32_t record, uint32_t mode)
{
    if ((record & kOpenModesRecorded) == 0 || mode < ICMODE_COMPRESS || mode > ICMODE_FASTCOMPRESS)
        return RecordedOpen::NotRecorded;
    return ((record >> mode) & 1) != 0 ? RecordedOpen::Takes : RecordedOpen::Refuses;
}
