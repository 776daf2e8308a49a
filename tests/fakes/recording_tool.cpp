// A stand-in for an outside tool: appends its whole command line to
// "tool-calls.txt" beside itself, waits a little, then appends "ended".
// A caller that waits for each run therefore leaves every command line
// followed by its own "ended"; one that does not, leaves them interleaved.

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

void AppendLine(const char* recordPath, const char* line)
{
    FILE* record = std::fopen(recordPath, "ab");
    if (record == nullptr)
        return;
    std::fprintf(record, "%s\n", line);
    std::fclose(record);
}

}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char recordPath[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, recordPath, MAX_PATH);
    char* slash = std::strrchr(recordPath, '\\');
    if (length == 0 || length >= MAX_PATH || slash == nullptr
        || static_cast<size_t>(slash + 1 - recordPath) + sizeof "tool-calls.txt" > MAX_PATH)
        return 1;
    std::strcpy(slash + 1, "tool-calls.txt");
    AppendLine(recordPath, GetCommandLineA());
    Sleep(100);
    AppendLine(recordPath, "ended");
    return 0;
}
