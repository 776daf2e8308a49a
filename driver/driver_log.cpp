#include "driver/driver_log.h"

#include <cstdio>
#include <cstring>

#include "host/host_protocol.h"

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

const char* HostRefusalText(uint32_t reason)
{
    static const char* const texts[kRefusalKinds] = {
        "no reason given",
        "no codec is open",
        "a record or header does not fit ParamArea, or a header is none a bitmap can have",
        "the record leaves out a header or frame the request needs",
        "no series of its kind is open",
        "a frame, the previous frame or what the codec may write does not lie inside its view",
        "the frame views cannot be opened or cannot hold the series",
    };
    return reason < kRefusalKinds ? texts[reason] : "a reason this driver does not know";
}

void FormatRefusal(UINT message, bool byHost, const char* why, char* text)
{
    std::snprintf(text, kLogTextCapacity, "message 0x%X refused by the %s: %s", message,
                  byHost ? "host" : "driver", why);
}

void LogDriverEvent(const char* logPath, int slot, const char* text)
{
    if (logPath[0] == '\0')
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
