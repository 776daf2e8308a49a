#include "demo/message_sessions.h"

#include <windows.h>
#include <vfw.h>

#include <algorithm>

#include "demo/clip.h"
#include "demo/session_steps.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One codec opened for compression, with the clip's formats and buffers.
struct Session {
    Session(const std::string& codec, int bits, Transcript* transcript)
        : clip {48, 32, bits, 4, 2}
        , transcript(transcript)
        , hic(OpenClientCodec(codec, ICMODE_COMPRESS, transcript))
    {
        if (hic == nullptr)
            return;
        input = ClipFormat(clip);
        format = CompressedFormat(hic, input, transcript);
        output.resize(LargestCompressedFrame(hic, input, format));
        picture.resize(ClipFrameSize(clip));
    }
    ~Session()
    {
        if (hic != nullptr)
            ICClose(hic);
    }

    // Compresses frame `index`, a key frame or one after `previous`, with
    // the chunk id and index flags the program sets; records everything the
    // codec gives back and returns the compressed frame.
    Bytes Compress(int index, const Bytes* previous, DWORD chunkId = 0, DWORD flags = 0)
    {
        Bytes frame = ClipFrame(clip, index);
        Bytes frameFormat = format;
        DWORD result = ICCompress(hic, previous == nullptr ? ICCOMPRESS_KEYFRAME : 0, Header(frameFormat),
                                  output.data(), Header(input), frame.data(), &chunkId, &flags, index, 0,
                                  6000, previous != nullptr ? Header(input) : nullptr,
                                  previous != nullptr ? const_cast<uint8_t*>(previous->data()) : nullptr);
        size_t size
            = result == ICERR_OK ? std::min<size_t>(Header(frameFormat)->biSizeImage, output.size()) : 0;
        AddStep(transcript, "compressed frame", static_cast<int32_t>(result), output.data(), size);
        AddStep(transcript, "frame header", 0, frameFormat.data(), sizeof(BITMAPINFOHEADER));
        AddStep(transcript, "chunk id and flags", static_cast<int32_t>(chunkId), &flags, sizeof flags);
        return Bytes(output.begin(), output.begin() + static_cast<ptrdiff_t>(size));
    }

    // ICM_DECOMPRESS as a program sends it, into the picture of the frame
    // before; records the result, the output header and the picture.
    void Decompress(const Bytes* frame, DWORD flags, DWORD chunkId)
    {
        Bytes frameFormat = format;
        Header(frameFormat)->biSizeImage = frame != nullptr ? static_cast<DWORD>(frame->size()) : 0;
        Bytes outputFormat = input;
        ICDECOMPRESS record = {flags,
                               Header(frameFormat),
                               frame != nullptr ? const_cast<uint8_t*>(frame->data()) : nullptr,
                               Header(outputFormat),
                               picture.data(),
                               chunkId};
        LRESULT result
            = ICSendMessage(hic, ICM_DECOMPRESS, reinterpret_cast<DWORD_PTR>(&record), sizeof record);
        AddStep(transcript, "decompressed frame", Low32(result), picture.data(), picture.size());
        AddStep(transcript, "output header", 0, outputFormat.data(), sizeof(BITMAPINFOHEADER));
    }

    void Step(const char* what, LRESULT result, const void* data = nullptr, size_t size = 0)
    {
        AddStep(transcript, what, Low32(result), data, size);
    }

    ClipSpec clip;
    Transcript* transcript;
    HIC hic;
    Bytes input;
    Bytes format;
    Bytes output;
    Bytes picture;
};

void CodecInfo(const std::string& codec, Transcript* transcript)
{
    HIC hic = OpenClientCodec(codec, ICMODE_QUERY, transcript);
    if (hic == nullptr)
        return;
    ICINFO info = {};
    LRESULT size = ICGetInfo(hic, &info, sizeof info);
    // The name and description are the slot's own through the bridge.
    DWORD values[] = {info.dwFlags, info.dwVersion, info.dwVersionICM};
    AddStep(transcript, "flags, version, interface version", size == sizeof info, values, sizeof values);
    ICClose(hic);
}

void FrameFields(Session& session)
{
    session.Step("compress begin", ICCompressBegin(session.hic, session.input.data(), session.format.data()));
    Bytes key = session.Compress(0, nullptr, mmioFOURCC('0', '1', 'd', 'c'), AVIIF_LIST);
    Bytes delta = session.Compress(1, &key, 0, 0x100);
    session.Step("compress end", ICCompressEnd(session.hic));
    session.Step("decompress begin",
                 ICDecompressBegin(session.hic, session.format.data(), session.input.data()));
    session.Decompress(&key, 0, 0);
    session.Decompress(&delta, ICDECOMPRESS_NOTKEYFRAME, mmioFOURCC('0', '1', 'd', 'c'));
    session.Decompress(nullptr, 0, 0);
    session.Decompress(&delta, ICDECOMPRESS_NULLFRAME, 0);
    session.Decompress(&key, ICDECOMPRESS_HURRYUP, 0);
    session.Step("decompress end", ICDecompressEnd(session.hic));
}

// Each frame compressed after the one before and decompressed at once,
// both series open on the one instance.
void BothSeries(Session& session)
{
    session.Step("compress begin", ICCompressBegin(session.hic, session.input.data(), session.format.data()));
    session.Step("decompress begin",
                 ICDecompressBegin(session.hic, session.format.data(), session.input.data()));
    Bytes previous;
    for (int index = 0; index < session.clip.frames; ++index) {
        Bytes frame = session.Compress(index, index == 0 ? nullptr : &previous);
        session.Decompress(&frame, index == 0 ? 0 : ICDECOMPRESS_NOTKEYFRAME, 0);
        previous = ClipFrame(session.clip, index);
    }
    session.Step("compress end", ICCompressEnd(session.hic));
    session.Step("decompress end", ICDecompressEnd(session.hic));
}

void Messages(Session& session)
{
    HIC hic = session.hic;
    AddFormatAskedFor(hic, session.format, 32, session.transcript);
    Bytes unsized = session.input;
    Header(unsized)->biSizeImage = 0;
    session.Step("decompression query", ICDecompressQuery(hic, session.format.data(), unsized.data()),
                 unsized.data(), sizeof(BITMAPINFOHEADER));
    for (UINT message : {ICM_GETQUALITY, ICM_GETDEFAULTKEYFRAMERATE, ICM_GETBUFFERSWANTED}) {
        DWORD value = 0x5A5A5A5A;
        if (message == ICM_GETQUALITY)
            session.Step("set quality", ICSendMessage(hic, ICM_SETQUALITY, 6500, 0));
        session.Step("value asked for", ICSendMessage(hic, message, reinterpret_cast<DWORD_PTR>(&value), 0),
                     &value, sizeof value);
    }
    ICCOMPRESSFRAMES frames = {};
    frames.lpbiOutput = Header(session.format);
    frames.lpbiInput = Header(session.input);
    frames.lFrameCount = session.clip.frames;
    frames.lQuality = 6500;
    frames.lDataRate = 48000;
    frames.lKeyRate = 3;
    frames.dwRate = 15;
    frames.dwScale = 1;
    session.Step(
        "frames info",
        ICSendMessage(hic, ICM_COMPRESS_FRAMES_INFO, reinterpret_cast<DWORD_PTR>(&frames), sizeof frames));
    session.Step("compress begin", ICCompressBegin(hic, session.input.data(), session.format.data()));
    Bytes key = session.Compress(0, nullptr);
    session.Step("compress end", ICCompressEnd(hic));

    ClipSpec palettized = session.clip;
    palettized.bitCount = 8;
    Bytes palette = ClipFormat(palettized);
    session.Step(
        "decompression palette",
        ICSendMessage(hic, ICM_DECOMPRESS_SET_PALETTE, reinterpret_cast<DWORD_PTR>(palette.data()), 0));
    session.Step("decompress begin", ICDecompressBegin(hic, session.format.data(), session.input.data()));
    session.Decompress(&key, 0, 0);
    session.Step("decompress end", ICDecompressEnd(hic));

    Bytes frameFormat = session.format;
    Header(frameFormat)->biSizeImage = static_cast<DWORD>(key.size());
    Bytes outputFormat = session.input;
    const int width = session.clip.width;
    const int height = session.clip.height;
    ICDECOMPRESSEX record = {0,
                             Header(frameFormat),
                             key.data(),
                             Header(outputFormat),
                             session.picture.data(),
                             0,
                             0,
                             width,
                             height,
                             0,
                             0,
                             width,
                             height};
    const UINT extended[]
        = {ICM_DECOMPRESSEX_QUERY, ICM_DECOMPRESSEX_BEGIN, ICM_DECOMPRESSEX, ICM_DECOMPRESSEX_END};
    for (UINT message : extended) {
        LRESULT result = ICSendMessage(hic, message, reinterpret_cast<DWORD_PTR>(&record), sizeof record);
        session.Step("extended decompression", result, session.picture.data(), session.picture.size());
    }
    session.Step("output header", 0, outputFormat.data(), sizeof(BITMAPINFOHEADER));
}

}

bool RunMessageSession(const std::vector<std::string>& arguments, Transcript* transcript)
{
    if (arguments.size() == 2 && arguments[0] == "codec-info") {
        CodecInfo(arguments[1], transcript);
        return true;
    }
    const std::string bits = arguments.size() == 3 ? arguments[2] : "";
    void (*run)(Session&) = nullptr;
    if (arguments.size() == 3 && arguments[0] == "frame-fields")
        run = FrameFields;
    else if (arguments.size() == 3 && arguments[0] == "both-series")
        run = BothSeries;
    else if (arguments.size() == 3 && arguments[0] == "messages")
        run = Messages;
    if (run == nullptr || (bits != "8" && bits != "24"))
        return false;
    Session session(arguments[1], std::stoi(bits), transcript);
    if (session.hic != nullptr)
        run(session);
    return true;
}
