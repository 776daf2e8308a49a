#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// One value of the key, set or deleted.
bool SetDrivers32Value(HKEY root, const std::string& name, const std::string& data,
                       REGSAM view = KEY_WOW64_32KEY);
bool DeleteDrivers32Value(HKEY root, const std::string& name, REGSAM view = KEY_WOW64_32KEY);

// The value names of the key in enumeration order, whatever their length.
std::vector<std::string> Drivers32ValueNames(HKEY root);

// The data of one value of HKEY_LOCAL_MACHINE's key (32-bit view); false
// when the value is missing.
bool ReadMachineDrivers32Value(const std::string& name, std::string* data);
