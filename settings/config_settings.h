#pragma once

#include <windows.h>

#include <cstdint>

const int kSlotCount = 10;
const int kTextCapacity = MAX_PATH;

// One slot "tdl0" to "tdl9". The fields from dwFcc to dwVersionICM are those of
// a catalogue entry, in the same order and widths; all zero means no codec.
struct SlotSettings {
    int iEnable;
    char pcFccName[kTextCapacity];
    uint32_t dwFcc;
    uint32_t dwbiFcc;
    char pcFcc[kTextCapacity];
    char pcName[kTextCapacity];
    char pcVersion[kTextCapacity];
    char pcDesc[kTextCapacity];
    char pcDriver[kTextCapacity];
    uint32_t dwFlags;
    uint32_t dwVersionICM;
    // The ICOpen modes the codec takes (catalogue/open_modes.h); 0 when the
    // slot has no record of them.
    uint32_t dwOpenModes;
};

// Whether the slot holds its codec's flags and ICM version. A section written
// by an older version, or by a tool that knows only the other keys, lacks
// them; a load writes such missing keys as 0, so 0 stands for not recorded.
inline bool RecordsCodecInfo(const SlotSettings& slot)
{
    return slot.dwVersionICM != 0;
}

// Everything the main dialog loads and saves. iLog and pcLogPath are only
// ever read (and created when missing); a save leaves their stored values.
struct ConfigSettings {
    RECT rcWnd;
    SlotSettings slots[kSlotCount];
    int iTimeout;
    int iLog;
    char pcLogPath[kTextCapacity];
};

// save 0 loads (defaults first; writes every missing value), save 1 saves.
// Both build the settings-file path themselves.
void ExchangeConfigSettings(ConfigSettings* settings, int save);

// The same on a settings file given by path.
void ExchangeConfigSettingsFile(const char* path, ConfigSettings* settings, int save);

// The installation dialog's window rectangle, section CDLG_INSTALL.
void ExchangeInstallDlgRect(RECT* rect, int save);
void ExchangeInstallDlgRectFile(const char* path, RECT* rect, int save);
