#pragma once

#include <windows.h>

#include <cstdint>
#include <future>
#include <string>

#include "driver/host_channel.h"
#include "test_process.h"
#include "bitmap_header.h"

// What a new client's ParamArea holds.
const uint8_t kLeftoverByte = 0xA5;

// Plays the 64-bit client driver towards a Tandrel64.exe host through the
// driver's own channel, adding what the tests need: the markers the
// recording test codec resolves pointers by, requests without a time limit
// (also from another thread, for requests that show message boxes) and
// access to ParamArea by offset. Mapping names are unique per client object.
class HostClient {
public:
    HostClient();
    HostClient(const HostClient&) = delete;
    HostClient& operator=(const HostClient&) = delete;
    // Ends a host that still runs and closes the mappings.
    ~HostClient();

    bool CreateControl(uint32_t size = kControlMappingSize);
    bool CreateFrames(uint64_t inputSize, uint64_t outputSize);
    void CloseFrames() { channel_.CloseFrames(); }
    // A new generation of a series kind's views for the whole-record
    // layouts, marked and announced: the host's answer (0 when they could
    // not be created).
    int32_t AnnounceViews(uint32_t kind, uint64_t inputSize, uint64_t outputSize);
    uint8_t* SeriesIn(uint32_t kind) { return channel_.SeriesIn(kind); }

    bool Start(const std::string& slot) { return channel_.StartHost(slot.c_str()); }
    bool WaitForWindow(DWORD timeoutMs = 20000) { return channel_.WaitForWindow(timeoutMs); }
    bool Launch(const std::string& slot) { return Start(slot) && WaitForWindow(); }

    // Sends a request and gives the codec's 32-bit result (0 when the host
    // is gone, which AnsweredEverySend then tells).
    int32_t Send(UINT request, WPARAM wParam = 0, LPARAM lParam = 0);
    // False once a Send went unanswered: a 0 that no host gave.
    bool AnsweredEverySend() const { return answeredEverySend_; }
    // Sends a request that may fail: false when the host did not answer
    // within the time-out (it hung, or it ended while serving the request),
    // else true and the codec's 32-bit result. Unlike the channel, it leaves
    // the host as it is, so that a test can see how it ended.
    bool SendWithin(DWORD timeoutMs, UINT request, WPARAM wParam, LPARAM lParam, int32_t* result);
    // Send from another thread, for requests that show message boxes.
    std::future<int32_t> SendInBackground(UINT request, WPARAM wParam = 0, LPARAM lParam = 0);

    void PutHeader(uint32_t offset, const BITMAPINFOHEADER& header);
    BITMAPINFOHEADER HeaderAt(uint32_t offset) const;
    uint32_t DwordAt(uint32_t offset) const;

    std::string Name() const { return channel_.Name(); }
    HostControlBlock* Control() { return channel_.Control(); }
    uint8_t* ParamArea() { return channel_.ParamArea(); }
    uint8_t* FrameIn() { return channel_.FrameIn(); }
    uint8_t* FrameOut() { return channel_.FrameOut(); }
    HWND Window() const;
    ChildProcess& Host() { return channel_.Process(); }
    HostChannel& Channel() { return channel_; }

private:
    HostChannel channel_;
    bool answeredEverySend_ = true;
};

// Assigns the codec `fcc` to the slot in the real settings file (creating
// the settings directory when needed).
bool AssignSlot(const char* slot, uint32_t fcc);
