#include "settings_files.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

std::string RealSettingsDirectory()
{
    char appData[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE);
    return std::string(appData) + "\\Tandrel64";
}

std::string RealSettingsFile()
{
    return RealSettingsDirectory() + "\\Tandrel64.ini";
}

void RemoveRealSettings()
{
    DeleteFileA(RealSettingsFile().c_str());
    RemoveDirectoryA(RealSettingsDirectory().c_str());
}

void CreateRealSettingsDirectory()
{
    CreateDirectoryA(RealSettingsDirectory().c_str(), nullptr);
}

std::string FreshTempPath(const std::string& name)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    char unique[32];
    std::snprintf(unique, sizeof unique, "tandrel-%lu-", GetCurrentProcessId());
    std::string path = std::string(folder) + unique + name;
    DeleteFileA(path.c_str());
    return path;
}

void DeleteTempFiles(const std::string& prefix)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileA((std::string(folder) + found.cFileName).c_str());
    while (FindNextFileA(search, &found));
    FindClose(search);
}

std::string StoredValue(const std::string& path, const std::string& section, const char* key)
{
    char text[MAX_PATH] = "";
    GetPrivateProfileStringA(section.c_str(), key, kMissingValue, text, MAX_PATH, path.c_str());
    return text;
}

std::string ShortPath(const std::string& path)
{
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string StoredValues(const std::string& path, const std::string& section,
                         std::initializer_list<const char*> keys)
{
    std::string values;
    for (const char* key : keys)
        values += (values.empty() ? "" : "|") + StoredValue(path, section, key);
    return values;
}

bool ReadWholeFile(const std::string& path, std::string* contents)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    contents->clear();
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        contents->append(buffer, got);
    std::fclose(file);
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& contents)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    return std::fclose(file) == 0 && written;
}
