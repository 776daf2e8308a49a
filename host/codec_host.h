#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>

#include "catalogue/fourcc.h"
#include "host/host_protocol.h"
#include "host/mapping.h"
#include "host/param_layout.h"

// The host-mode object: serves one client-driver instance. It owns the
// codec and the three mappings; the window, its class and the client
// process handle are left to the end of the process.
//
// Requests arrive as messages sent to the hidden window and are served one
// at a time on the only thread, while the run loop looks at its messages.
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

    // Every message of the host window but WM_CREATE's storing of the object.
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    int OpenCodec();
    void RunMessageLoop();
    bool ClientIsDone(HANDLE client, bool clientMissing) const;

    // The request operations; each returns the codec's own 32-bit result or
    // a fixed value when it cannot ask the codec.
    LRESULT OnHandshake(WPARAM wParam);
    LRESULT SendToCodec(UINT message, DWORD_PTR dw1, DWORD_PTR dw2);
    LRESULT OnGetState(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetState(LPARAM lParam);
    LRESULT OnDialog(UINT message, WPARAM wParam);
    LRESULT OnGetDefaultQuality(WPARAM wParam, LPARAM lParam);
    LRESULT OnHeaderPair(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnGetFormat(UINT message, LPARAM lParam);
    LRESULT OnBegin(UINT message);
    LRESULT OnEnd(UINT message);
    LRESULT OnCompress(LPARAM lParam);
    LRESULT OnDecompress(LPARAM lParam);

    // The frame mappings of a compression or decompression series.
    int OpenFrameMappings(const ParamPlaces& places);
    void CloseFrameMappings();
    bool SeriesOpen() const;
    bool FramesFit(const ParamPlaces& places) const;

    HWND window;
    CMapping mcMap;
    CMapping mcMapFrameIn;
    CMapping mcMapFrameOut;
    HostControlBlock* controlBlock;
    uint8_t* paramArea;
    char slotName[MAX_PATH];
    char mappingName[MAX_PATH];
    uint32_t dwFcc;
    char fccText[kFourCCTextCapacity];
    HIC codec;
    // How ParamArea is laid out (HostLayouts), as the last handshake chose.
    uint32_t layouts;
    // The sizes of the frame views opened by the last BEGIN.
    uint64_t frameInSize;
    uint64_t frameOutSize;
};

extern CCodecHost g_codecHost;
