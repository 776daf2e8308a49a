#include "drivers32_values.h"

#include "test_codec_control.h"
#include "test_process.h"

namespace {

const char kDrivers32Key[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";

HKEY OpenKey(HKEY root, REGSAM access, REGSAM view = KEY_WOW64_32KEY)
{
    if (root == HKEY_LOCAL_MACHINE)
        access |= view;
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, kDrivers32Key, 0, nullptr, 0, access, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

}

bool SetDrivers32Value(HKEY root, const std::string& name, const std::string& data, REGSAM view)
{
    HKEY key = OpenKey(root, KEY_SET_VALUE, view);
    if (key == nullptr)
        return false;
    LONG result = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                 static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool DeleteDrivers32Value(HKEY root, const std::string& name, REGSAM view)
{
    HKEY key = OpenKey(root, KEY_SET_VALUE, view);
    if (key == nullptr)
        return false;
    LONG result = RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

Drivers32Values::~Drivers32Values()
{
    for (const Written& value : written_)
        DeleteDrivers32Value(value.root, value.name, value.view);
}

bool Drivers32Values::Set(HKEY root, const std::string& name, const std::string& data, REGSAM view)
{
    written_.push_back(Written {root, name, view});
    return SetDrivers32Value(root, name, data, view);
}

bool Drivers32Values::SetTestCodec(HKEY root, const std::string& name)
{
    return Set(root, name, BinPath(kTestCodecDllName));
}

std::vector<std::string> Drivers32ValueNames(HKEY root)
{
    std::vector<std::string> names;
    HKEY key = OpenKey(root, KEY_QUERY_VALUE);
    if (key == nullptr)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

std::string MachineDrivers32Value(const std::string& name, REGSAM view)
{
    HKEY key = OpenKey(HKEY_LOCAL_MACHINE, KEY_QUERY_VALUE, view);
    if (key == nullptr)
        return kMissingValue;
    char buffer[1024];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return kMissingValue;
    return std::string(buffer, size > 0 && buffer[size - 1] == '\0' ? size - 1 : size);
}

std::string SlotDriverValue(int slot)
{
    return MachineDrivers32Value("vidc.tdl" + std::to_string(slot), KEY_WOW64_64KEY);
}

bool SetSlotDriverValue(int slot, const std::string& data)
{
    std::string name = "vidc.tdl" + std::to_string(slot);
    if (data == kMissingValue)
        return DeleteDrivers32Value(HKEY_LOCAL_MACHINE, name, KEY_WOW64_64KEY);
    return SetDrivers32Value(HKEY_LOCAL_MACHINE, name, data, KEY_WOW64_64KEY);
}

SlotDriversSnapshot::SlotDriversSnapshot()
{
    for (int slot = 0; slot < 10; ++slot)
        saved_.push_back(SlotDriverValue(slot));
}

SlotDriversSnapshot::~SlotDriversSnapshot()
{
    for (int slot = 0; slot < 10; ++slot)
        SetSlotDriverValue(slot, saved_[slot]);
}
