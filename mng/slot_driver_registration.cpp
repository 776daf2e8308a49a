#include "mng/slot_driver_registration.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "mng/slot_request.h"
#include "qelinstall/loadable_path.h"

namespace {

const wchar_t kClientDriverName[] = L"TandrelDrv64.dll";
const wchar_t kDrivers32Key[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";

std::wstring ValueName(int slot)
{
    return L"vidc.tdl" + std::to_wstring(slot);
}

// The running program's full path, however long.
std::wstring ModulePath()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size())
            return std::wstring(path.data(), length);
        path.resize(path.size() * 2);
    }
}

// The full path of the client driver beside the running tool, or an empty
// text when no such file lies there.
std::wstring ClientDriverPath()
{
    std::wstring path = ModulePath();
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return std::wstring();
    path = path.substr(0, slash + 1) + kClientDriverName;
    return IsExistingFile(path) ? path : std::wstring();
}

bool SetDriverValue(HKEY key, int slot, const std::wstring& driverPath)
{
    DWORD size = static_cast<DWORD>((driverPath.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, ValueName(slot).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(driverPath.c_str()), size)
        == ERROR_SUCCESS;
}

bool DeleteDriverValue(HKEY key, int slot)
{
    LONG result = RegDeleteValueW(key, ValueName(slot).c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool AnyRegisters(const std::vector<SlotRequest>& requests)
{
    for (const SlotRequest& request : requests) {
        if (request.action == SlotAction::Register)
            return true;
    }
    return false;
}

int CarryOut(const std::vector<SlotRequest>& requests)
{
    std::wstring driverPath = AnyRegisters(requests) ? ClientDriverPath() : std::wstring();
    std::wstring loadablePath = LoadableDriverPath(driverPath);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDrivers32Key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                        nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return kManagerRegistryFailed;
    bool registryFailed = false;
    bool registerRefused = false;
    for (const SlotRequest& request : requests) {
        if (request.action == SlotAction::Unregister)
            registryFailed |= !DeleteDriverValue(key, request.slot);
        else if (loadablePath.empty())
            registerRefused = true;
        else
            registryFailed |= !SetDriverValue(key, request.slot, loadablePath);
    }
    RegCloseKey(key);
    if (registryFailed)
        return kManagerRegistryFailed;
    if (!registerRefused)
        return kManagerDone;
    return driverPath.empty() ? kManagerNoDriver : kManagerBlankInDriverPath;
}

}

std::wstring RegisteredSlotDriver(int slot)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDrivers32Key, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key)
        != ERROR_SUCCESS)
        return std::wstring();
    std::vector<wchar_t> data(MAX_PATH + 1);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
    LONG result = RegQueryValueExW(key, ValueName(slot).c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &size);
    if (result == ERROR_MORE_DATA) {
        data.resize(size / sizeof(wchar_t) + 1);
        size = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        result = RegQueryValueExW(key, ValueName(slot).c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    std::wstring value(data.data(), size / sizeof(wchar_t));
    value = value.substr(0, value.find(L'\0'));
    return value.substr(0, value.find(L' '));
}

int RunManager(const wchar_t* commandLine)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &argc);
    if (argv == nullptr)
        return kManagerBadArguments;
    std::vector<SlotRequest> requests;
    bool parsed = ParseManagerArguments(argc, argv, &requests);
    LocalFree(argv);
    if (!parsed)
        return kManagerBadArguments;
    return CarryOut(requests);
}
