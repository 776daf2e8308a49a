#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>

#include "catalogue/fourcc.h"
#include "host/frame_series.h"
#include "host/frame_views.h"
#include "host/host_protocol.h"
#include "host/mapping.h"
#include "host/param_copy.h"
#include "host/param_layout.h"

// The host-mode object: serves one client-driver instance at a time, and
// when the client lets it, the program's next ones (host_reuse.cpp). It
// owns the codec, the control mapping and the frame views; the window, its
// class and the client process handle are left to the end of the process.
//
// Requests arrive as messages sent to the hidden window and are served one
// at a time on the only thread, while the run loop looks at its messages.
// Each request is checked and served on a private copy of ParamArea
// (ParamCopy); the codec never sees a pointer into it, only into the copy
// and into the frame views.
class CCodecHost {
public:
    CCodecHost();

    // Publishes the window in the control mapping, opens the slot's codec
    // and serves requests until the client closes the driver, clears its
    // alive flag or ends. 1 when the loop ended, 0 when start-up failed.
    int Run(HINSTANCE instance, const char* slotName, const char* mappingName);

    // Handles every waiting message: 1 when the queue is empty, 0 once
    // WM_QUIT has been retrieved.
    int Pump();

    // Closes the codec and the mappings, whatever Run got to.
    void Release();

    // The process's exit code once Run has returned: 0, or
    // kCodecNotOpenedExitCode.
    DWORD ExitCode() const { return exitCode; }

    // Every message of the host window but WM_CREATE's storing of the object.
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // The request table (host_dispatch.cpp).
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The dwFcc of the slot's settings section; 0 when none is stored.
    uint32_t ReadSlotCodec() const;
    // Opens `fcc` as the codec, which dwFcc then names, in the mode of the
    // control block's dwOpenMode value `openMode`; with `report`, a codec
    // that does not open is told in a message box.
    int OpenCodec(uint32_t fcc, uint32_t openMode, bool report);
    // From here on the client may send requests.
    void PublishWindow();
    void RunMessageLoop();
    bool ClientIsDone(HANDLE client, bool clientMissing) const;
    // Ends the loop; a host that is ending takes no new instance.
    void Quit();
    // True once a host that waits for the next instance has waited long enough.
    bool IdleTimeIsUp(DWORD now) const;

    bool WholeRecords() const { return layouts == kLayoutsWholeRecords; }
    // A pointer into the private copy, as the codec receives it.
    DWORD_PTR Param(uint32_t offset) const { return reinterpret_cast<DWORD_PTR>(params.At(offset)); }
    // Starts a request on the private copy; false when the copy is missing.
    bool StartRequest() { return params.Start(paramArea); }
    // A request the host cannot serve, refused without asking the codec;
    // a client of the whole-record layouts learns why (HostRefusal).
    LRESULT Refuse(uint32_t reason);
    // Copies the header at `offset` of the copy back, as the codec left it:
    // as many bytes as it spanned when the request came (`end`).
    void ReturnHeader(uint32_t offset, uint32_t end) { params.Return(offset, end - offset); }

    // The request operations (host_requests.cpp); each returns the codec's
    // own 32-bit result or a fixed value when it cannot ask the codec.
    LRESULT OnHandshake(WPARAM wParam, LPARAM lParam);
    LRESULT SendToCodec(UINT message, DWORD_PTR dw1, DWORD_PTR dw2);
    LRESULT OnGetState(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetState(LPARAM lParam);
    LRESULT OnDialog(UINT message, WPARAM wParam);
    LRESULT OnValueOut(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSetQuality(WPARAM quality, LPARAM lParam);
    LRESULT OnHeaderPair(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnGetFormat(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSetPalette(WPARAM wParam);
    LRESULT OnFramesInfo(LPARAM lParam);
    LRESULT OnDecompressExQuery(LPARAM lParam);
    LRESULT OnGetInfo(LPARAM lParam);

    // Waiting for the program's next instance (host_reuse.cpp).
    LRESULT OnIdle();
    LRESULT OnServe(WPARAM wParam, LPARAM lParam);
    // Ends every series, closes every view and goes back to the classic
    // layouts: what a host holds of an instance besides its codec.
    void ForgetInstance();

    // The series and their frames (frame_requests.cpp).
    LRESULT OnFrameViews(WPARAM kind, LPARAM generation);
    LRESULT OnBegin(UINT message);
    LRESULT OnDecompressExBegin(LPARAM lParam);
    LRESULT OnEnd(UINT message);
    LRESULT OnCompress(LPARAM lParam);
    LRESULT OnDecompress(LPARAM lParam);
    LRESULT OnDecompressEx(LPARAM lParam);
    LRESULT BeginSeries(uint32_t kind, UINT message, const ParamPlaces& places, DWORD_PTR record,
                        LPARAM recordSize);
    void EndSeries(uint32_t kind);
    uint32_t FrameRefusal(uint32_t kind, const ParamPlaces& places, BITMAPINFOHEADER* input,
                          BITMAPINFOHEADER* output);
    uint64_t CompressOutputRoom(const ParamPlaces& places, const BITMAPINFOHEADER& input,
                                const BITMAPINFOHEADER& output);
    uint32_t PlacePrevious(IcCompress32* record, const BITMAPINFOHEADER& input);
    LRESULT SendFrame(UINT message, uint32_t end, LPARAM recordSize);

    HWND window;
    CMapping mcMap;
    HostControlBlock* controlBlock;
    uint8_t* paramArea;
    char slotName[MAX_PATH];
    char mappingName[MAX_PATH];
    uint32_t dwFcc;
    char fccText[kFourCCTextCapacity];
    HIC codec;
    // How ParamArea is laid out (HostLayouts), as the last handshake chose.
    uint32_t layouts;
    ParamCopy params;
    // The frame views and the open series of each kind. The classic and
    // whole-header layouts know one series at a time, whose views open at
    // its BEGIN and close at its END; the whole-record layouts keep a series
    // and views per kind, the views as the client announced them.
    FrameViews views[kSeriesKinds];
    FrameSeries series[kSeriesKinds];
    // The program that started the host, the only one it serves.
    DWORD clientPid;
    // Whether the last handshake came from a client that may keep the host
    // (kReuseProtocolVersion), whether the host waits for the next instance
    // and since when, and whether it is ending.
    bool reuse;
    bool idle;
    DWORD idleSince;
    bool quitting;
    // Requests being served, one inside another while a codec's dialog
    // runs its own message loop.
    int requestDepth;
    DWORD exitCode;
};

extern CCodecHost g_codecHost;
