#include "qelinstall/loadable_path.h"

#include <windows.h>

#include <vector>

std::wstring LoadableDriverPath(const std::wstring& path)
{
    if (path.find(L' ') == std::wstring::npos)
        return path;
    DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0)
        return std::wstring();
    std::vector<wchar_t> shortPath(needed);
    DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed)
        return std::wstring();
    std::wstring loadable(shortPath.data(), length);
    return loadable.find(L' ') == std::wstring::npos ? loadable : std::wstring();
}

bool IsExistingFile(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
