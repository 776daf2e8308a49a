#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings_files.h"

// Values a test writes into the installed-drivers key of the test prefix:
// HKEY_LOCAL_MACHINE in its 32-bit view (where 32-bit codecs are found) or
// its 64-bit view (where the slot drivers are), or HKEY_CURRENT_USER. Every
// value written through one object is deleted again when it goes.
class Drivers32Values {
public:
    Drivers32Values() = default;
    Drivers32Values(const Drivers32Values&) = delete;
    Drivers32Values& operator=(const Drivers32Values&) = delete;
    ~Drivers32Values();

    bool Set(HKEY root, const std::string& name, const std::string& data, REGSAM view = KEY_WOW64_32KEY);
    // The recording test codec beside the test program under `name`.
    bool SetTestCodec(HKEY root, const std::string& name);

private:
    struct Written {
        HKEY root;
        std::string name;
        REGSAM view;
    };
    std::vector<Written> written_;
};

// One value of the key, set or deleted; for HKEY_LOCAL_MACHINE in the view
// given (KEY_WOW64_32KEY or KEY_WOW64_64KEY).
bool SetDrivers32Value(HKEY root, const std::string& name, const std::string& data,
                       REGSAM view = KEY_WOW64_32KEY);
bool DeleteDrivers32Value(HKEY root, const std::string& name, REGSAM view = KEY_WOW64_32KEY);

// The value names of the key in enumeration order, whatever their length.
std::vector<std::string> Drivers32ValueNames(HKEY root);

// The data of one value of HKEY_LOCAL_MACHINE's key in that view, or
// kMissingValue.
std::string MachineDrivers32Value(const std::string& name, REGSAM view = KEY_WOW64_32KEY);

// Slot N's driver value "vidc.tdlN" of HKEY_LOCAL_MACHINE's 64-bit view:
// its data, or kMissingValue; set, or deleted when `data` is kMissingValue.
std::string SlotDriverValue(int slot);
bool SetSlotDriverValue(int slot, const std::string& data);

// The ten slot-driver values as they were when the object was made, put
// back when it goes, so that a test leaves the shared prefix as it found it.
class SlotDriversSnapshot {
public:
    SlotDriversSnapshot();
    ~SlotDriversSnapshot();

private:
    std::vector<std::string> saved_;
};
