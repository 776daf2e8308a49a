#include "driver/driver_log.h"

#include <cstdio>
#include <cstring>

#include "host/host_protocol.h"
#include "settings/profile.h"
#include "settings/settings_paths.h"

void FormatLogLine(const SYSTEMTIME& time, int slot, const char* text, char* line)
{
    std::snprintf(line, kLogLineCapacity, "%04u-%02u-%02u %02u:%02u:%02u tdl%d %.*s\r\n", time.wYear,
                  time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, slot,
                  static_cast<int>(kLogTextCapacity), text);
}

void FormatHostFailure(const char* doing, DWORD exitCode, char* text)
{
    if (exitCode == STILL_ACTIVE)
        std::snprintf(text, kLogTextCapacity, "%s: no answer in time, the host was ended", doing);
    else
        std::snprintf(text, kLogTextCapacity, "%s: the host ended with exit code %lu%s", doing,
                      static_cast<unsigned long>(exitCode),
                      exitCode == kCodecFaultExitCode ? " (its codec faulted)" : "");
}

void LogDriverEvent(int slot, const char* text)
{
    char settings[MAX_PATH];
    char logPath[MAX_PATH] = "";
    int enabled = 0;
    GetSettingsFilePath(settings);
    if (!ProfileReadInt(settings, "GENERAL", "iLog", &enabled) || enabled != 1
        || !ProfileReadString(settings, "GENERAL", "pcLogPath", logPath, MAX_PATH))
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[kLogLineCapacity];
    FormatLogLine(now, slot, text, line);
    HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(file);
}
