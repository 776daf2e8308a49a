#pragma once

#include <windows.h>

#include <cstdint>
#include <future>
#include <string>

#include "host/host_protocol.h"
#include "test_process.h"
#include "bitmap_header.h"

// What a new client's ParamArea holds.
const uint8_t kLeftoverByte = 0xA5;

// Plays the 64-bit client driver towards a Tandrel64.exe host: creates the
// control mapping and the frame mappings (with the markers the recording
// test codec resolves pointers by), starts the host, waits for its window
// and sends requests. Mapping names are unique per client object.
class HostClient {
public:
    HostClient();
    // A client whose control mapping gets that name.
    explicit HostClient(const std::string& mappingName);
    HostClient(const HostClient&) = delete;
    HostClient& operator=(const HostClient&) = delete;
    // Ends a host that still runs and closes the mappings.
    ~HostClient();

    // The control mapping: `size` bytes (the host needs 65536), iAlive 1,
    // this process's id, hWndHost 0.
    bool CreateControl(uint32_t size = kControlMappingSize);

    // "<name>FrameIn" and "<name>FrameOut" of the given sizes; a size of 0
    // leaves that mapping out.
    bool CreateFrames(uint64_t inputSize, uint64_t outputSize);
    void CloseFrames();

    // Starts "Tandrel64.exe /name:<slot> /map:<name>".
    bool Start(const std::string& slot);
    // Waits until the host has published its window.
    bool WaitForWindow(DWORD timeoutMs = 20000);
    // Starts and waits.
    bool Launch(const std::string& slot);

    // Sends a request and gives the codec's 32-bit result.
    int32_t Send(UINT request, WPARAM wParam = 0, LPARAM lParam = 0);
    // Sends a request that may fail: false when the host did not answer
    // within the time-out (it hung, or it ended while serving the request),
    // else true and the codec's 32-bit result.
    bool SendWithin(DWORD timeoutMs, UINT request, WPARAM wParam, LPARAM lParam, int32_t* result);
    // The same from another thread, for requests that show message boxes.
    std::future<int32_t> SendInBackground(UINT request, WPARAM wParam = 0, LPARAM lParam = 0);

    void PutHeader(uint32_t offset, const BITMAPINFOHEADER& header);
    BITMAPINFOHEADER HeaderAt(uint32_t offset) const;
    uint32_t DwordAt(uint32_t offset) const;

    const std::string& Name() const { return name_; }
    HostControlBlock* Control() { return control_; }
    uint8_t* ParamArea() { return reinterpret_cast<uint8_t*>(control_) + sizeof(HostControlBlock); }
    uint8_t* FrameIn() { return frameIn_.view; }
    uint8_t* FrameOut() { return frameOut_.view; }
    HWND Window() const;
    TestProcess& Host() { return host_; }

private:
    struct Frame {
        HANDLE mapping = nullptr;
        uint8_t* view = nullptr;
    };
    static bool CreateFrame(const std::string& name, uint64_t size, const char* marker, Frame* frame);
    static void CloseFrame(Frame* frame);

    std::string name_;
    HANDLE controlMapping_ = nullptr;
    HostControlBlock* control_ = nullptr;
    Frame frameIn_;
    Frame frameOut_;
    TestProcess host_;
};

// Assigns the codec `fcc` to the slot in the real settings file (creating
// the settings directory when needed).
bool AssignSlot(const char* slot, uint32_t fcc);
