#include "settings/settings_paths.h"

#include <shlobj.h>

#include "settings/path_text.h"

bool GetModuleDirectory(char* directory)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return DirectoryOfPath(path, directory);
}

bool GetSettingsDirectory(char* directory)
{
    directory[0] = '\0';
    char appData[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE) || appData[0] == '\0')
        return false;
    return JoinPath(appData, "Tandrel64", directory);
}

bool GetSettingsFilePath(char* path)
{
    char directory[MAX_PATH];
    if (!GetSettingsDirectory(directory)) {
        path[0] = '\0';
        return false;
    }
    return JoinPath(directory, "Tandrel64.ini", path);
}

bool FileExists(const char* path, DWORD* attributes)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    if (attributes)
        *attributes = found.dwFileAttributes;
    FindClose(search);
    return true;
}

bool IsExistingFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
