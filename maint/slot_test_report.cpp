#include "maint/slot_test_report.h"

#include <cstdio>
#include <sstream>

const char kSlotTestOpenTimeStep[] = "open time";
const char kSlotTestFrameTimeStep[] = "frame time";
const char kSlotTestResultStep[] = "result";

namespace {

struct CauseEntry {
    SlotTestCause cause;
    int exitCode;
    const char* word;
};

const CauseEntry kCauses[] = {
    {SlotTestCause::Works, 0, "works"},
    {SlotTestCause::WorksDecompressOnly, 0, "works-decompress-only"},
    {SlotTestCause::WorksCompressOnly, 0, "works-compress-only"},
    {SlotTestCause::BadArguments, 1, "bad-arguments"},
    {SlotTestCause::NotRegistered, 5, "not-registered"},
    {SlotTestCause::DriverMissing, 5, "driver-missing"},
    {SlotTestCause::Unticked, 6, "unticked"},
    {SlotTestCause::NoCodec, 6, "no-codec"},
    {SlotTestCause::HostExeMissing, 6, "host-exe-missing"},
    {SlotTestCause::CodecNotOpened, 7, "codec-not-opened"},
    {SlotTestCause::HostTimedOut, 7, "host-timed-out"},
    {SlotTestCause::HostEnded, 7, "host-ended"},
    {SlotTestCause::NoInputTaken, 8, "no-input-taken"},
    {SlotTestCause::FrameFailed, 8, "frame-failed"},
};

const CauseEntry& EntryOf(SlotTestCause cause)
{
    for (const CauseEntry& entry : kCauses) {
        if (entry.cause == cause)
            return entry;
    }
    return kCauses[0];
}

// The text behind "<step>: " when the line is that step's.
bool StepValue(const std::string& line, const char* step, std::string* value)
{
    std::string prefix = std::string(step) + ": ";
    if (line.compare(0, prefix.size(), prefix) != 0)
        return false;
    *value = line.substr(prefix.size());
    return true;
}

}

int SlotTestExitCode(SlotTestCause cause)
{
    return EntryOf(cause).exitCode;
}

bool IsSlotTestVerdict(unsigned long exitCode)
{
    for (const CauseEntry& entry : kCauses) {
        if (entry.cause != SlotTestCause::BadArguments && static_cast<unsigned long>(entry.exitCode) == exitCode)
            return true;
    }
    return false;
}

std::string SlotTestLine(const std::string& step, const std::string& result)
{
    return step + ": " + result + "\n";
}

std::string FormatMilliseconds(double milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", milliseconds);
    return text;
}

std::string SlotTestResultLine(SlotTestCause cause)
{
    const CauseEntry& entry = EntryOf(cause);
    return SlotTestLine(kSlotTestResultStep, std::to_string(entry.exitCode) + " " + entry.word);
}

bool ReadSlotTestReport(const std::string& report, SlotTestSummary* summary)
{
    SlotTestSummary read;
    bool found = false;
    std::istringstream lines(report);
    std::string line;
    std::string value;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (StepValue(line, kSlotTestOpenTimeStep, &value))
            read.openTime = value;
        else if (StepValue(line, kSlotTestFrameTimeStep, &value))
            read.frameTime = value;
        else if (StepValue(line, kSlotTestResultStep, &value)) {
            found = false;
            for (const CauseEntry& entry : kCauses) {
                if (value == std::to_string(entry.exitCode) + " " + entry.word) {
                    read.cause = entry.cause;
                    found = true;
                }
            }
        }
    }
    if (found)
        *summary = read;
    return found;
}
