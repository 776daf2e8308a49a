#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "maint/slot_test_report.h"
#include "settings/config_settings.h"
#include "slottest/offered_inputs.h"

// One test of a slot, made as a 64-bit program meets the slot: its
// registration for 64-bit programs, ICOpen for compression and for
// decompression, ICGetInfo, the first of the test inputs the codec
// compresses, one frame compressed and, where the codec decompresses its own
// output, decompressed again. The time from ICOpen to the first answer that
// needs the codec (which starts the host) and the frame's time are
// measured. Every step adds its line to the report; the run stops at the
// first step that decides the slot's cause.
class SlotTest {
public:
    explicit SlotTest(int slot);
    // Closes both instances, which ends their hosts.
    ~SlotTest();
    SlotTest(const SlotTest&) = delete;
    SlotTest& operator=(const SlotTest&) = delete;

    // The steps and the report's last line.
    SlotTestCause Run();
    const std::string& Report() const { return report_; }

private:
    SlotTestCause Steps();
    bool CheckRegistration(SlotTestCause* cause);
    bool Open(SlotTestCause* cause);
    void DescribeCodec();
    SlotTestCause WithoutInput(std::vector<int32_t> answers, double openMs);
    SlotTestCause CompressFrame(OfferedInput& input);
    SlotTestCause DecompressFrame(BITMAPINFOHEADER* compressed, const void* data);
    // A frame step that failed: the host's failure when a query it answered
    // before now fails too (the driver fails every request once its host is
    // gone), otherwise the codec's own refusal of the frame.
    SlotTestCause FrameFailure(const std::string& step, int32_t answer, double waitedMs, DWORD limitMs,
                               const std::function<int32_t()>& queryAgain);
    SlotTestCause Unserved(double waitedMs, DWORD limitMs);
    void Line(const std::string& step, const std::string& result);

    const int slot_;
    std::string driverPath_;
    SlotSettings settings_ = {};
    int timeoutSeconds_ = 1;
    HIC compressor_ = nullptr;
    HIC decompressor_ = nullptr;
    LARGE_INTEGER openStart_ = {};
    std::string report_;
};
