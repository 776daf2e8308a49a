#pragma once

#include <cstdint>

// The recording test codec ("tandrel_test_codec.dll") and the tests that
// drive it share one named mapping per FourCC: "TandrelTestCodec_%08X" with
// the FourCC value. The test creates it, fills the script part and reads the
// record; the codec, loaded in whatever process opens it (the host, a test,
// the catalogue), opens it at DRV_OPEN. Without the mapping the codec is a
// plain lossless codec that records nothing.
//
// Only fixed-width fields: 32- and 64-bit programs share this layout.

const char kTestCodecDllName[] = "tandrel_test_codec.dll";
const char kTestCodecMappingFormat[] = "TandrelTestCodec_%08X";

// Markers by which the codec tells which shared view a pointer lies in. The
// client writes them: kControlMarker into the reserved bytes 12..19 of the
// control block, the frame markers at offset 0 of the frame mappings.
const char kControlMarker[8] = "TDLCTRL";
const char kFrameInMarker[8] = "TDLFRIN";
const char kFrameOutMarker[8] = "TDLFROU";
const uint32_t kControlMarkerOffset = 12;
const uint32_t kParamAreaOffset = 32;

enum TestRegion : uint32_t {
    RegionNull = 0, // the value 0
    RegionParamArea = 1, // offset from the start of the parameter area
    RegionFrameIn = 2, // offset from the start of the input frame view
    RegionFrameOut = 3, // offset from the start of the output frame view
    RegionOther = 4, // anything else: a plain value or another address
};

struct TestCodecArg {
    uint32_t raw; // the value as the codec received it (low 32 bits)
    uint32_t region; // TestRegion
    int32_t offset; // for the three view regions
};

// One message as the codec received it. For ICM_COMPRESS, ICM_DECOMPRESS,
// ICM_DECOMPRESSEX and its BEGIN the pointers inside the record (dw1) are
// resolved too, before the codec works on it (source and destination as
// input and output); unused ones are zero.
struct TestCodecCall {
    uint32_t message;
    TestCodecArg dw1;
    TestCodecArg dw2;
    TestCodecArg lpbiInput;
    TestCodecArg lpInput;
    TestCodecArg lpbiOutput;
    TestCodecArg lpOutput;
    TestCodecArg lpckid; // ICCOMPRESS only
    TestCodecArg lpdwFlags; // ICCOMPRESS only
};

// A fixed answer to one message: the codec returns `result` at once and
// does nothing else. message 0 ends the list. DRV_OPEN with an ICOPEN takes
// only kAnswerFault. Five results stand for
// misbehaviour instead: the codec faults (writes through a null pointer),
// never returns, (ICM_COMPRESS, ICM_DECOMPRESS) writes one byte just past
// the last page of the output frame view and then answers ICERR_OK, faults
// on a worker thread of its own and waits for it, or (a request with two
// headers) takes away the memory they lie in, as a codec that frees what it
// was handed does, and answers ICERR_OK: whoever touches it next faults.
const int32_t kAnswerFault = INT32_MIN;
const int32_t kAnswerHang = INT32_MIN + 1;
const int32_t kAnswerOverrun = INT32_MIN + 2;
const int32_t kAnswerThreadFault = INT32_MIN + 3;
const int32_t kAnswerSpoil = INT32_MIN + 4;

struct TestCodecAnswer {
    uint32_t message;
    int32_t result;
};

// Inputs that ICM_COMPRESS_GET_FORMAT / ICM_COMPRESS_QUERY accept.
enum TestCodecInputs : uint32_t {
    InputRgb32 = 1,
    InputRgb24 = 2,
    InputYuy2 = 4,
    InputNoneOfThese = 8,
};

const uint32_t kTestCodecMaxAnswers = 32;
const uint32_t kTestCodecMaxCalls = 512;

struct TestCodecControl {
    // Script, written by the test.
    uint32_t refuseOpenModes; // bit (1 << ICMODE_x): DRV_OPEN in that mode fails
    uint32_t acceptedInputs; // TestCodecInputs; 0 means all three
    uint32_t outputFcc; // biCompression of the compressed format; 0: the codec's FourCC
    uint32_t version; // dwVersion of ICINFO
    uint32_t showDialogs; // 1: ICM_CONFIGURE/ICM_ABOUT show a message box owned by dw1
    uint32_t recording; // 1: every message is appended to calls[]
    uint32_t infoFlags; // dwFlags of ICINFO; 0 stands for VIDCF_QUALITY
    uint32_t receipts; // 1: frames carry what the codec received (below)
    uint16_t name[16]; // ICINFO texts, UTF-16, terminated
    uint16_t description[128];
    uint16_t driver[128];
    TestCodecAnswer answers[kTestCodecMaxAnswers];
    uint32_t openDelayMs; // DRV_OPEN with an ICOPEN sleeps this long first
    // 1: as Xvid's decoder, ICM_DECOMPRESS_GET_FORMAT checks the output header
    // first: ICERR_BADFORMAT unless it is pre-filled as 32-bit RGB, and then
    // 24-bit RGB.
    uint32_t formatFromRgb32Only;

    // Record, written by the codec.
    uint32_t openCount; // successful DRV_OPEN with an ICOPEN
    uint32_t openProcess; // the id of the process that opened it last so
    uint32_t moduleOpens; // those opens since the DLL was loaded, at the last one
    uint32_t closeCount; // DRV_CLOSE
    uint32_t refusedOpenCount; // DRV_OPEN refused by refuseOpenModes
    uint32_t callCount; // may exceed kTestCodecMaxCalls; calls[] keeps the first ones
    TestCodecCall calls[kTestCodecMaxCalls];
};

// With receipts on, the codec works as a temporal codec whose output shows
// what reached it, so that a program sees any difference in what it sent:
// - ICM_COMPRESS: a key frame (ICCOMPRESS_KEYFRAME, or no previous frame) is
//   PackBits of the input; another frame PackBits of the input XOR lpPrev.
//   Behind the packed bytes follows a TestCodecReceipt. *lpckid stays as it
//   came unless it came as 0 ("00dc" then); *lpdwFlags keeps what came but
//   for AVIIF_KEYFRAME, which says what the frame is.
// - ICM_DECOMPRESS and ICM_DECOMPRESSEX: a delta frame is XORed into the
//   picture already in the output; no input, ICDECOMPRESS_NULLFRAME or
//   ICDECOMPRESS_HURRYUP leave the picture alone. The output header reports
//   biSizeImage (the bytes written), biXPelsPerMeter (the record's dwFlags),
//   biYPelsPerMeter (its ckid, or a hash of the rectangles for
//   ICM_DECOMPRESSEX) and biClrImportant (a hash of the last
//   ICM_DECOMPRESS_SET_PALETTE header and colours).
// ICM_COMPRESS_FRAMES_INFO, ICM_SETQUALITY/ICM_GETQUALITY,
// ICM_GETDEFAULTKEYFRAMERATE (15) and ICM_GETBUFFERSWANTED (2) are answered
// whether or not receipts are on.
struct TestCodecReceipt {
    uint32_t flags; // the record's dwFlags
    uint32_t chunkId; // *lpckid as it came; ~0u without lpckid
    uint32_t indexFlags; // *lpdwFlags as it came; ~0u without lpdwFlags
    int32_t frameNum;
    uint32_t frameSize;
    uint32_t quality;
    uint32_t previousHeader; // hash of *lpbiPrev; 0 without
    uint32_t previous; // hash of the previous frame's bytes; 0 without
    uint32_t framesInfo; // hash of the last ICM_COMPRESS_FRAMES_INFO record
    uint32_t setQuality; // the last ICM_SETQUALITY value
};

static_assert(sizeof(TestCodecReceipt) == 40, "TestCodecReceipt layout");
static_assert(sizeof(TestCodecArg) == 12, "TestCodecArg layout");
static_assert(sizeof(TestCodecCall) == 4 + 8 * 12, "TestCodecCall layout");
