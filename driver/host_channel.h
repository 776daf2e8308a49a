#pragma once

#include <windows.h>

#include <cstdint>

#include "driver/child_process.h"
#include "driver/shared_mapping.h"
#include "driver/wait_limits.h"
#include "host/host_protocol.h"

// The client side of the channel to one host process: the control mapping
// and the two frame mappings (this side creates all three, the host only
// opens them), the host process, and the requests sent to its window.
//
// This side writes iAlive, dwClientPid and ParamArea before a request and
// reads ParamArea after it; the host writes hWndHost once and ParamArea and
// the output frame while it serves a request. Everything the host wrote is
// untrusted: hWndHost is checked against the started process once, and
// callers copy what they need out of ParamArea before they check it.
//
// A host that cannot start, dies or misses a time-out is ended and the
// channel fails every later request; only a new channel starts a new host.
// A host of the reuse protocol may instead wait, when its instance ends,
// for the program's next one (LetWait, Handover), with a control mapping of
// its own for every instance.
class HostChannel;

// "Tandrel64.exe" in the folder of the module this code lies in (the driver
// DLL, or the program it is linked into); false when there is none.
bool FindHostExe(char* exePath);
// The same beside the module file at `modulePath`: the host program that a
// driver at that path starts.
bool FindHostExeBeside(const char* modulePath, char* exePath);

class HostChannel {
public:
    // The control mapping gets `name`, or with none a name of this process
    // with a random part (DrawPrivateName) that no other process can guess,
    // so that none can create the channel's mappings first.
    explicit HostChannel(const char* name = nullptr);
    HostChannel(const HostChannel&) = delete;
    HostChannel& operator=(const HostChannel&) = delete;
    // Ends a host that still runs (EndHost) and closes the mappings.
    ~HostChannel();

    // The control mapping of `size` bytes (the host needs 65536): iAlive 1,
    // this process's id, hWndHost 0, the stated open mode. False when a
    // mapping of that name exists (a drawn name is drawn anew a few times
    // first).
    bool CreateControl(uint32_t size = kControlMappingSize);
    // The dwOpenMode that control mappings created from now on carry
    // (StateOpenMode of the program's mode); 0, the default, states none.
    void StateMode(uint32_t openMode) { openMode_ = openMode; }
    uint32_t StatedMode() const { return openMode_; }

    // "<name>FrameIn" and "<name>FrameOut" of at least the given sizes; a
    // size of 0 leaves that mapping out. False when either exists already:
    // a mapping this side did not make may be read or written by whoever did.
    bool CreateFrames(uint64_t inputSize, uint64_t outputSize);
    void CloseFrames();

    // The frame views of a series kind in the whole-record layouts: a new
    // generation of both mappings (FormatFrameViewName) of at least the
    // given sizes, replacing this side's views of the kind. The caller
    // announces it to the host (kRequestFrameViews). The generation, or 0
    // when the mappings could not be created.
    uint32_t CreateSeriesViews(uint32_t kind, uint64_t inputSize, uint64_t outputSize);
    void CloseSeriesViews(uint32_t kind);
    uint8_t* SeriesIn(uint32_t kind) const { return seriesIn_[kind].View(); }
    uint8_t* SeriesOut(uint32_t kind) const { return seriesOut_[kind].View(); }
    uint64_t SeriesInSize(uint32_t kind) const { return seriesIn_[kind].Size(); }
    uint64_t SeriesOutSize(uint32_t kind) const { return seriesOut_[kind].Size(); }

    // Starts "Tandrel64.exe /name:<slot> /map:<name>" from the folder of the
    // module this code lies in.
    bool StartHost(const char* slot);
    // Waits until the host has published a window of its own; false when
    // the time passes or the host ends first.
    bool WaitForWindow(DWORD timeoutMs);

    // Sends a request to the host window and waits at most `timeoutMs`
    // (or kWaitForever, which a host that dies still ends at once) for the
    // codec's 32-bit result. False, with the host
    // ended, when the host is gone or does not answer in time.
    bool Send(UINT request, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, int32_t* result);

    // Sends a request that may take as long as the user needs (a codec's
    // dialog): the host may take the foreground, and this thread's messages
    // keep flowing until the answer comes or the host ends
    // (SendKeepingMessagesFlowing). False, with the host ended, when the host
    // is gone.
    bool SendWithDialog(UINT request, WPARAM wParam, LPARAM lParam, int32_t* result);

    // Lets the host wait for the program's next instance (kRequestIdle);
    // false when it does not. The frame mappings go; the control mapping
    // stays for the host to wait with.
    bool LetWait(DWORD timeoutMs);
    // Gives the waiting host the next instance, of `slot` and its `codec`
    // (the slot's dwFcc): a new control mapping, handed over with
    // kRequestServe, which asks for `layouts` as the handshake does, and
    // gives its answer. False when the host refuses (its codec does not
    // open in the stated mode, say), the channel then as before, its host
    // still waiting, or cannot be reached: the channel is then Failed and to
    // be given up, which ends the host.
    bool Handover(const char* slot, uint32_t codec, uint32_t layouts, DWORD timeoutMs, int32_t* answer);
    // Exchanges everything, the host and the mappings included.
    void Swap(HostChannel& other);

    // Asks the host to end with the close request (waiting at most
    // `timeoutMs`) and clears iAlive; a host that does not take the request
    // is terminated. The mappings stay.
    void EndHost(DWORD timeoutMs);

    bool Failed() const { return failed_; }
    // How the host of a failed channel went: the exit code it ended with on
    // its own, or STILL_ACTIVE when it did not answer and the channel ended
    // it.
    DWORD HostExitCode() const { return hostExitCode_; }
    const char* Name() const { return name_; }
    HostControlBlock* Control() const { return reinterpret_cast<HostControlBlock*>(control_.View()); }
    uint8_t* ParamArea() const { return control_.View() + sizeof(HostControlBlock); }
    uint8_t* FrameIn() const { return frameIn_.View(); }
    uint8_t* FrameOut() const { return frameOut_.View(); }
    uint64_t FrameInSize() const { return frameIn_.Size(); }
    uint64_t FrameOutSize() const { return frameOut_.Size(); }
    HWND Window() const { return window_; }
    ChildProcess& Process() { return process_; }

private:
    void Fail();
    bool DrawName();

    char name_[kControlMappingNameLimit + 1];
    bool drawnName_;
    SharedMapping control_;
    SharedMapping frameIn_;
    SharedMapping frameOut_;
    SharedMapping seriesIn_[kSeriesKinds];
    SharedMapping seriesOut_[kSeriesKinds];
    uint32_t generation_ = 0;
    uint32_t openMode_ = 0;
    ChildProcess process_;
    HWND window_ = nullptr;
    bool failed_ = false;
    DWORD hostExitCode_ = STILL_ACTIVE;
};
