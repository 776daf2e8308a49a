#include "qelinstall/drivers32_registration.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "qelinstall/loadable_path.h"

namespace {

const wchar_t kDrivers32Key[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";

std::wstring ValueName(const std::wstring& fccText)
{
    return L"vidc." + fccText;
}

// The full path of an existing file, or an empty text.
std::wstring FullPathOfFile(const std::wstring& path)
{
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::vector<wchar_t> full(needed);
    DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    std::wstring fullPath(full.data(), length);
    return IsExistingFile(fullPath) ? fullPath : std::wstring();
}

}

int RegisterCodecDriver(const std::wstring& fccText, const std::wstring& dllPath)
{
    std::wstring fullPath = FullPathOfFile(dllPath);
    if (fullPath.empty())
        return kInstallerNoSuchFile;
    fullPath = LoadableDriverPath(fullPath);
    if (fullPath.empty())
        return kInstallerBlankInPath;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDrivers32Key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                        nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return kInstallerRegistryFailed;
    DWORD size = static_cast<DWORD>((fullPath.size() + 1) * sizeof(wchar_t));
    LONG result = RegSetValueExW(key, ValueName(fccText).c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(fullPath.c_str()), size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? kInstallerDone : kInstallerRegistryFailed;
}

int UnregisterCodecDriver(const std::wstring& fccText)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDrivers32Key, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key);
    if (result == ERROR_FILE_NOT_FOUND)
        return kInstallerNotRegistered;
    if (result != ERROR_SUCCESS)
        return kInstallerRegistryFailed;
    result = RegDeleteValueW(key, ValueName(fccText).c_str());
    RegCloseKey(key);
    if (result == ERROR_FILE_NOT_FOUND)
        return kInstallerNotRegistered;
    return result == ERROR_SUCCESS ? kInstallerDone : kInstallerRegistryFailed;
}

int RunInstaller(const wchar_t* commandLine)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &argc);
    if (argv == nullptr)
        return kInstallerBadArguments;
    InstallerRequest request;
    bool parsed = ParseInstallerArguments(argc, argv, &request);
    LocalFree(argv);
    if (!parsed)
        return kInstallerBadArguments;
    if (request.action == InstallerAction::Register)
        return RegisterCodecDriver(request.fccText, request.dllPath);
    return UnregisterCodecDriver(request.fccText);
}
