#include "driver/slot_config.h"

#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue/fourcc.h"
#include "driver/profile_memo.h"
#include "settings/profile_encoding.h"
#include "settings/settings_paths.h"

namespace {

// A larger file is read value by value, as if nothing were kept.
const LONGLONG kKeptFileLimit = 64 * 1024;
const int kNumberCapacity = MAX_PATH;

SRWLOCK g_lock = SRWLOCK_INIT;
ProfileMemo g_memo;
// Found once per load of the driver: the folder of the user's application
// data does not move while a program runs, and finding it reads the
// registry.
char g_path[MAX_PATH];

// The whole file; a missing one reads as empty, as it does to the profile
// functions. False when it cannot be read whole.
bool ReadFileBytes(const char* path, std::string* bytes)
{
    bytes->clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    LARGE_INTEGER size;
    bool whole = GetFileSizeEx(file, &size) && size.QuadPart <= kKeptFileLimit;
    if (whole && size.QuadPart > 0) {
        DWORD read = 0;
        bytes->resize(static_cast<size_t>(size.QuadPart));
        whole = ReadFile(file, &(*bytes)[0], static_cast<DWORD>(size.QuadPart), &read, nullptr)
            && read == static_cast<DWORD>(size.QuadPart);
    }
    CloseHandle(file);
    return whole;
}

// One use of the settings file by one thread: its values as the profile
// functions give them, those kept for the same bytes taken from the memo.
class SettingsUse {
public:
    SettingsUse()
    {
        AcquireSRWLockExclusive(&g_lock);
        if (g_path[0] == '\0')
            GetSettingsFilePath(g_path);
        std::string bytes;
        bool readable = g_path[0] != '\0' && ReadFileBytes(g_path, &bytes);
        g_memo.Begin(readable, bytes);
    }
    SettingsUse(const SettingsUse&) = delete;
    SettingsUse& operator=(const SettingsUse&) = delete;
    ~SettingsUse()
    {
        if (g_memo.Noted()) {
            std::string bytes;
            bool readable = ReadFileBytes(g_path, &bytes);
            g_memo.End(readable, bytes);
        }
        ReleaseSRWLockExclusive(&g_lock);
    }

    // The value's text as GetPrivateProfileStringA reads it into `capacity`
    // bytes; false when it is missing or empty.
    bool Read(const char* section, const char* key, char* text, int capacity)
    {
        text[0] = '\0';
        if (g_path[0] == '\0')
            return false;
        const std::string* kept = g_memo.Find(section, key, capacity);
        if (kept != nullptr) {
            std::memcpy(text, kept->c_str(), kept->size() + 1);
        } else {
            GetPrivateProfileStringA(section, key, "", text, static_cast<DWORD>(capacity), g_path);
            g_memo.Note(section, key, capacity, text);
        }
        return text[0] != '\0';
    }
    void ReadInt(const char* section, const char* key, int* field)
    {
        char text[kNumberCapacity];
        if (Read(section, key, text, kNumberCapacity))
            ParseProfileInt(text, field);
    }
    void ReadHex(const char* section, const char* key, uint32_t* field)
    {
        char text[kNumberCapacity];
        if (Read(section, key, text, kNumberCapacity))
            ParseProfileHex(text, field);
    }
};

void SlotSection(int slot, char* section, size_t capacity)
{
    std::snprintf(section, capacity, "tdl%d", slot);
}

int ReadTimeout(SettingsUse& use)
{
    int seconds = 1;
    use.ReadInt("GENERAL", "iTimeout", &seconds);
    return seconds;
}

}

int SlotFromFourCC(uint32_t fcc)
{
    char digit = static_cast<char>(fcc >> 24);
    if (digit < '0' || digit > '9' || !FourCCEqualNoCase(fcc, SlotFourCC(digit - '0')))
        return kNoSlot;
    return digit - '0';
}

uint32_t SlotFourCC(int slot)
{
    return mmioFOURCC('t', 'd', 'l', '0' + slot);
}

void ReadSlotSettings(int slot, SlotSettings* settings)
{
    *settings = SlotSettings();
    char section[8];
    SlotSection(slot, section, sizeof section);
    SettingsUse use;
    use.ReadInt(section, "iEnable", &settings->iEnable);
    use.ReadHex(section, "dwFcc", &settings->dwFcc);
    use.Read(section, "pcFcc", settings->pcFcc, kTextCapacity);
    use.Read(section, "pcName", settings->pcName, kTextCapacity);
    use.Read(section, "pcVersion", settings->pcVersion, kTextCapacity);
    use.Read(section, "pcDesc", settings->pcDesc, kTextCapacity);
    use.ReadHex(section, "dwFlags", &settings->dwFlags);
    use.ReadHex(section, "dwVersionICM", &settings->dwVersionICM);
}

int ReadTimeoutSetting()
{
    SettingsUse use;
    return ReadTimeout(use);
}

void ReadSlotOpenSettings(int slot, SlotOpenSettings* settings)
{
    char section[8];
    SlotSection(slot, section, sizeof section);
    SettingsUse use;
    int enable = 0;
    uint32_t fcc = 0;
    use.ReadInt(section, "iEnable", &enable);
    use.ReadHex(section, "dwFcc", &fcc);
    settings->codec = enable != 0 ? fcc : 0;
    settings->openModes = 0;
    use.ReadHex(section, "dwOpenModes", &settings->openModes);
    settings->timeoutSetting = ReadTimeout(use);
    int log = 0;
    use.ReadInt("GENERAL", "iLog", &log);
    settings->logPath[0] = '\0';
    if (log == 1)
        use.Read("GENERAL", "pcLogPath", settings->logPath, MAX_PATH);
}
