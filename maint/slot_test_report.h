#pragma once

#include <string>

// The report of TandrelSlotTest.exe on one slot, as it writes it and as the
// configuration tool reads it back: one UTF-8 line per step, "<step>:
// <result>", and last "result: <exit code> <cause>". The cause tells, finer
// than the exit code, what went wrong, so that the configuration tool can
// say what to do in its own language. Free of Win32 calls: both halves
// build it.

enum class SlotTestCause {
    Works, // 0
    WorksDecompressOnly, // 0: opens only for decompression, or compresses none of the inputs and
                         // decompresses its own format
    WorksCompressOnly, // 0: compresses, decompresses its output to none of the pictures asked for
    BadArguments, // 1
    NotRegistered, // 5: no vidc.tdlN in the 64-bit view
    DriverMissing, // 5: the registration names no existing file
    Unticked, // 6
    NoCodec, // 6: ticked, no codec chosen
    HostExeMissing, // 6: Tandrel64.exe is not beside the driver
    CodecNotOpened, // 7: the codec opens in no mode, or the host says it could not open it
    HostTimedOut, // 7: no answer within the driver's limit
    HostEnded, // 7: the host ended, or never started, before it answered
    NoInputTaken, // 8: opens, compresses none of the inputs, decompresses nothing of its own
    FrameFailed, // 8: took an input's format, then failed its frame
};

// The exit code of the program for a cause: 0, 1, 5, 6, 7 or 8.
int SlotTestExitCode(SlotTestCause cause);

// True for the exit codes that carry a verdict on the slot (0, 5 to 8), as
// opposed to a run that went wrong.
bool IsSlotTestVerdict(unsigned long exitCode);

// The step names the configuration tool reads.
extern const char kSlotTestOpenTimeStep[]; // "open time"
extern const char kSlotTestFrameTimeStep[]; // "frame time"
extern const char kSlotTestResultStep[]; // "result"

// "<step>: <result>\n".
std::string SlotTestLine(const std::string& step, const std::string& result);

// "12.3 ms".
std::string FormatMilliseconds(double milliseconds);

// "result: <exit code> <cause's word>\n".
std::string SlotTestResultLine(SlotTestCause cause);

// What the configuration tool shows of a report: the cause and the two
// times as written ("45.2 ms"; empty when the report has none).
struct SlotTestSummary {
    SlotTestCause cause = SlotTestCause::HostEnded;
    std::string openTime;
    std::string frameTime;
};

// False when the report has no result line whose exit code and cause agree.
bool ReadSlotTestReport(const std::string& report, SlotTestSummary* summary);
