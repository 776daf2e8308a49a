#include "maint/slot_test_run.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "maint/outside_tools.h"

namespace {

std::string ReadWholeFile(const char* path)
{
    std::string contents;
    if (FILE* file = std::fopen(path, "rb")) {
        char buffer[4096];
        size_t read;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            contents.append(buffer, read);
        std::fclose(file);
    }
    return contents;
}

}

SlotTestRun TestSlot(int slot)
{
    SlotTestRun result;
    char folder[MAX_PATH];
    char reportPath[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH || GetTempFileNameA(folder, "tst", 0, reportPath) == 0) {
        result.run = {ToolRunKind::NotStarted, GetLastError()};
        return result;
    }
    result.run = RunSlotTest(slot, reportPath);
    std::string report = ReadWholeFile(reportPath);
    DeleteFileA(reportPath);
    result.reported
        = IsToolTaskDone(ToolTask::TestSlot, result.run) && ReadSlotTestReport(report, &result.summary);
    return result;
}
