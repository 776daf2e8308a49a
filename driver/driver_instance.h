#pragma once

#include <windows.h>
#include <vfw.h>

#include <atomic>
#include <cstdint>

#include "driver/host_channel.h"
#include "driver/request_layout.h"
#include "host/frame_series.h"

// One open instance of the client driver: what a 64-bit program's ICOpen
// of a slot returns. It answers ICM_GETINFO from the slot's settings (the
// codec's flags and ICM version from the codec where the settings lack
// them), starts its own host at the first request that needs the codec, and
// translates every other request between the program's 64-bit records and
// the host's ParamArea layouts, copying frames in and out of the frame
// mappings. Requests are served one at a time.
//
// A host that cannot start, dies or misses its time limit is ended; every
// later request then fails at once with the result the host gives when it
// has no codec, until the program closes the instance. A host that served
// the instance well waits, after the close, for the program's next instance
// of any slot (idle_hosts.h), which then needs no host of its own.
// The frames of one decompression request as the program passed them.
struct DecompressedFrame {
    DecompressedFrame(const BITMAPINFOHEADER& inputHeader, const void* inputFrame,
                      BITMAPINFOHEADER* outputHeader, void* outputFrame);
    // Where they lie in the views: each at the start of its own.
    FramePlaces Places() const;

    const void* input;
    uint64_t inputBytes;
    void* output;
    uint64_t outputBytes;
    BITMAPINFOHEADER* header;
    uint64_t headerSpan;
};

class DriverInstance {
public:
    // The instance of slot 0 to 9 and the codec its settings named when the
    // program opened it in `openMode` (ICOPEN's dwFlags), which the codec
    // is opened in, or kNoSlot for the driver's own open (no ICOPEN), which
    // serves nothing; `logPath` is the log as the open found it (empty:
    // off).
    DriverInstance(int slot, uint32_t codec, uint32_t openMode, int timeoutSeconds, const char* logPath);
    DriverInstance(const DriverInstance&) = delete;
    DriverInstance& operator=(const DriverInstance&) = delete;
    // Lets the host wait for the program's next instance, or ends it with
    // the close request.
    ~DriverInstance();

    LRESULT OnMessage(UINT message, LPARAM lParam1, LPARAM lParam2);

    // Starts the host now, for an open that the slot's settings cannot
    // answer: false when the codec does not open in the program's mode,
    // which the program's open then is refused for. Before the instance is
    // shared.
    bool CodecOpens();

    // For a close while another thread's call is inside: ends the host at
    // once, so that a request waiting for it fails now, and serves no
    // request from then on. Safe from any thread at any time.
    void Abort();

private:
    LRESULT Dispatch(UINT message, LPARAM lParam1, LPARAM lParam2);
    bool HostReady();
    bool StartHost();
    bool Handshake(uint32_t layouts, int32_t* answer);
    // The layouts the host's answer to the handshake chose; false for
    // layouts this driver does not know.
    bool TakeLayouts(int32_t answer);
    // True when the host may serve the program's next instance: it is of the
    // reuse protocol, and neither failed nor was ended by a close that came
    // during a request.
    bool HostReusable() const;
    bool WholeRecords() const { return layouts_ == kLayoutsWholeRecords; }
    // Keeps a handle by which Abort can end the host; false when the
    // instance is aborted already.
    bool KeepHostProcess();
    // Sends a request within its time limit; false when the host cannot
    // answer.
    bool Request(UINT request, WPARAM wParam, LPARAM lParam, int32_t* result);
    LRESULT Forward(UINT request, WPARAM wParam = 0, LPARAM lParam = 0);
    // Logs why the channel failed while the driver was `doing` something.
    void LogChannelFailure(const char* doing);
    // Notes why the message being served was refused, by this driver or by
    // the host, for the line OnMessage logs; the first reason is the cause.
    void NoteRefusal(bool byHost, const char* why);
    LRESULT Refuse(LRESULT result, const char* why)
    {
        NoteRefusal(false, why);
        return result;
    }

    LRESULT OnGetInfo(ICINFO* info, LPARAM size);
    void AskCodecInfo(ICINFO* info);
    LRESULT OnGetState(void* state, LPARAM size);
    LRESULT OnSetState(const void* state, LPARAM size);
    LRESULT OnDialog(UINT request, LPARAM owner);
    LRESULT OnValueOut(UINT request, DWORD* value, LPARAM lParam2);
    // A header pair request; false, the refusal noted, when it cannot go.
    bool SendHeaderPair(UINT request, const BITMAPINFOHEADER* input, const BITMAPINFOHEADER* output,
                        RequestPlaces* places, int32_t* result);
    LRESULT OnHeaderPair(UINT request, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output);
    LRESULT OnGetFormat(UINT request, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output);
    LRESULT OnGetPalette(const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output);
    // Copies the header the codec wrote at `offset`, with what it carries,
    // to the program: `limit` bytes at the most.
    void TakeFormat(uint32_t offset, uint32_t limit, BITMAPINFOHEADER* output);

    // The requests only the whole-record layouts carry (driver_records.cpp).
    LRESULT OnSetQuality(LPARAM quality, LPARAM lParam2);
    LRESULT OnSetPalette(const BITMAPINFOHEADER* palette);
    LRESULT OnFramesInfo(const ICCOMPRESSFRAMES* record, LPARAM size);
    LRESULT OnDecompressExQuery(const ICDECOMPRESSEX* record, LPARAM size);

    // The series and their frames (driver_frames.cpp, and in the classic
    // and whole-header layouts driver_classic_frames.cpp).
    LRESULT OnBegin(UINT request, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output);
    LRESULT OnDecompressExBegin(const ICDECOMPRESSEX* record, LPARAM size);
    LRESULT OnCompress(ICCOMPRESS* record, LPARAM size);
    LRESULT OnDecompress(ICDECOMPRESS* record, LPARAM size);
    LRESULT OnDecompressEx(ICDECOMPRESSEX* record, LPARAM size);
    bool SeriesViewsHold(uint32_t kind, uint64_t inputSize, uint64_t outputSize);
    uint64_t CompressedFrameRoom(const ICCOMPRESS& record);
    FramePlaces PlaceCompressFrames(const ICCOMPRESS& record, uint64_t stride);
    void ReturnCompressResults(ICCOMPRESS* record, const RequestPlaces& places, uint64_t outputSpan,
                               uint64_t room, int32_t result);
    bool PutFramesIn(uint32_t kind, const DecompressedFrame& frame);
    void TakeFrameOut(uint32_t kind, const DecompressedFrame& frame, uint32_t offset);
    LRESULT OnClassicBegin(UINT request, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output);
    bool ClassicFramesHold(uint64_t inputSize, uint64_t outputSize);
    LRESULT OnClassicCompress(ICCOMPRESS* record);
    LRESULT OnClassicDecompress(ICDECOMPRESS* record);

    const int slot_;
    const uint32_t codec_;
    const int timeoutSeconds_;
    char logPath_[MAX_PATH];
    // How ParamArea is laid out (HostLayouts), as the handshake settled it.
    uint32_t layouts_ = 0;
    // The last BEGIN of each kind, as the host keeps it: its headers, and
    // what its frames may take in the views: the input's extent, and the
    // output's or, for compression, the output frame view of its BEGIN (the
    // codec's answer to ICM_COMPRESS_GET_SIZE when that is larger). A frame
    // gets at least this much room, whatever its own headers say; a
    // compressed frame with other headers asks the codec for its largest.
    FrameSeries begun_[kSeriesKinds];
    // The compression input views hold two frame places, used in turn: the
    // program's last input stays in its place, so that a program that
    // passes it as the previous frame next time costs no copy.
    const void* lastInput_ = nullptr;
    uint64_t lastInputBytes_ = 0;
    uint32_t lastInputPlace_ = 0;
    uint64_t placeStride_ = 0;
    bool started_ = false;
    bool ready_ = false;
    bool codecRefused_ = false;
    bool reuse_ = false;
    // The refusal of the message being served (NoteRefusal).
    const char* refusal_ = nullptr;
    bool refusedByHost_ = false;
    HostChannel channel_;
    CRITICAL_SECTION lock_;
    // Abort's part, apart from lock_, which a waiting call holds.
    SRWLOCK abortLock_ = SRWLOCK_INIT;
    std::atomic<bool> aborted_ {false};
    HANDLE hostProcess_ = nullptr;
};

// What a request gets when the host cannot serve it: the host's own
// results for a host without a codec, but no configuration dialog.
LRESULT UnservedResult(UINT request);
