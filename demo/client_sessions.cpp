#include "demo/client_sessions.h"

#include <vfw.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "demo/clip.h"
#include "demo/codec_lists.h"
#include "demo/codec_session.h"
#include "demo/graph_session.h"
#include "demo/message_sessions.h"
#include "demo/session_steps.h"

namespace {

// The clip of the writers: 8-bit for Wine's mrle, 24-bit for codecs of RGB.
const int kClipWidth = 160;
const int kClipHeight = 120;
const int kClipFrames = 12;
const DWORD kClipRate = 15;

using Bytes = std::vector<uint8_t>;

ClipSpec WriterClip(int bits, int keyEvery)
{
    return ClipSpec {kClipWidth, kClipHeight, bits, kClipFrames, std::max(keyEvery, 1)};
}

// A file's video stream opened for reading, released with the object.
struct ReadStream {
    ReadStream(const std::string& file, Transcript* transcript)
    {
        result = AVIFileOpenA(&avi, file.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr);
        if (SUCCEEDED(result))
            result = AVIFileGetStream(avi, &stream, streamtypeVIDEO, 0);
        AddStep(transcript, "stream opened for reading", result);
    }
    ReadStream(const ReadStream&) = delete;
    ReadStream& operator=(const ReadStream&) = delete;
    ~ReadStream()
    {
        if (stream != nullptr)
            AVIStreamRelease(stream);
        if (avi != nullptr)
            AVIFileRelease(avi);
    }

    PAVIFILE avi = nullptr;
    PAVISTREAM stream = nullptr;
    HRESULT result = E_FAIL;
};

Bytes StreamFormat(PAVISTREAM stream, HRESULT* read = nullptr)
{
    LONG size = 0;
    AVIStreamReadFormat(stream, 0, nullptr, &size);
    Bytes format(static_cast<size_t>(std::max<LONG>(size, 0)));
    HRESULT result = AVIStreamReadFormat(stream, 0, format.data(), &size);
    if (read != nullptr)
        *read = result;
    return format;
}

Bytes StreamSample(PAVISTREAM stream, LONG sample)
{
    LONG bytes = 0;
    AVIStreamRead(stream, sample, 1, nullptr, 0, &bytes, nullptr);
    Bytes data(static_cast<size_t>(std::max<LONG>(bytes, 0)));
    AVIStreamRead(stream, sample, 1, data.data(), bytes, &bytes, nullptr);
    return data;
}

// Everything a reader of the file finds: the stream's format, length and
// quality, whether its handler is the codec that wrote it, and each
// sample's bytes and key-frame flag.
void ReadBack(const std::string& codec, const std::string& file, Transcript* transcript)
{
    ReadStream read(file, transcript);
    PAVISTREAM stream = read.stream;
    HRESULT result = read.result;
    if (SUCCEEDED(result)) {
        AVISTREAMINFOA info = {};
        AVIStreamInfoA(stream, &info, sizeof info);
        DWORD figures[] = {info.dwLength, info.dwQuality, info.dwScale, info.dwRate};
        AddStep(transcript, "stream length, quality, scale and rate", info.fccHandler == CodecFourCC(codec),
                figures, sizeof figures);
        HRESULT formatRead = E_FAIL;
        Bytes format = StreamFormat(stream, &formatRead);
        AddStep(transcript, "stream format", formatRead, format.data(), format.size());
        for (LONG sample = AVIStreamStart(stream); sample < AVIStreamEnd(stream); ++sample) {
            Bytes data = StreamSample(stream, sample);
            AddStep(transcript, "sample, key frame", AVIStreamIsKeyFrame(stream, sample), data.data(),
                    data.size());
        }
    }
}

// Wine's AVIFile writer compressing a clip: key frames every `keyEvery`
// frames (0: none asked for) and a data rate when one is given.
void AviWrite(const std::string& codec, const std::string& file, int bits, int keyEvery, int bytesPerSecond,
              Transcript* transcript)
{
    ClipSpec clip = WriterClip(bits, keyEvery);
    DeleteFileA(file.c_str());
    PAVIFILE avi = nullptr;
    PAVISTREAM raw = nullptr;
    PAVISTREAM compressed = nullptr;
    AVISTREAMINFOA info = {};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = kClipRate;
    info.dwSuggestedBufferSize = ClipFrameSize(clip);
    SetRect(&info.rcFrame, 0, 0, clip.width, clip.height);
    HRESULT result = AVIFileOpenA(&avi, file.c_str(), OF_CREATE | OF_WRITE, nullptr);
    if (SUCCEEDED(result))
        result = AVIFileCreateStreamA(avi, &raw, &info);
    AddStep(transcript, "stream created", result);
    AVICOMPRESSOPTIONS options = {};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = CodecFourCC(codec);
    options.dwQuality = ICQUALITY_DEFAULT;
    options.dwKeyFrameEvery = static_cast<DWORD>(keyEvery);
    options.dwBytesPerSecond = static_cast<DWORD>(bytesPerSecond);
    options.dwFlags
        = (keyEvery > 0 ? AVICOMPRESSF_KEYFRAMES : 0) | (bytesPerSecond > 0 ? AVICOMPRESSF_DATARATE : 0);
    if (SUCCEEDED(result)) {
        result = AVIMakeCompressedStream(&compressed, raw, &options, nullptr);
        AddStep(transcript, "compressed stream made", result);
    }
    if (SUCCEEDED(result)) {
        Bytes format = ClipFormat(clip);
        result = AVIStreamSetFormat(compressed, 0, format.data(), static_cast<LONG>(format.size()));
        AddStep(transcript, "format set", result);
    }
    for (int index = 0; index < clip.frames && SUCCEEDED(result); ++index) {
        Bytes frame = ClipFrame(clip, index);
        LONG samples = 0;
        LONG bytes = 0;
        result = AVIStreamWrite(compressed, index, 1, frame.data(), static_cast<LONG>(frame.size()), 0,
                                &samples, &bytes);
        AddStep(transcript, "frame written", result);
    }
    for (PAVISTREAM stream : {compressed, raw}) {
        if (stream != nullptr)
            AVIStreamRelease(stream);
    }
    if (avi != nullptr)
        AVIFileRelease(avi);
    ReadBack(codec, file, transcript);
}

// ICSeqCompressFrame over the clip, as a capture program uses it; the
// frames go into an AVI file of their own.
void SeqCompress(const std::string& codec, const std::string& file, int bits, int keyEvery,
                 Transcript* transcript)
{
    ClipSpec clip = WriterClip(bits, keyEvery);
    HIC hic = OpenClientCodec(codec, ICMODE_COMPRESS, transcript);
    if (hic == nullptr)
        return;
    Bytes input = ClipFormat(clip);
    COMPVARS vars = {};
    vars.cbSize = sizeof vars;
    vars.dwFlags = ICMF_COMPVARS_VALID;
    vars.hic = hic;
    vars.fccType = ICTYPE_VIDEO;
    vars.fccHandler = CodecFourCC(codec);
    vars.lKey = keyEvery;
    vars.lQ = ICQUALITY_DEFAULT;
    BOOL started = ICSeqCompressFrameStart(&vars, reinterpret_cast<BITMAPINFO*>(input.data()));
    AddStep(transcript, "sequence started", started);
    // Wine's sequence calls hand the codec the last output buffer as the
    // previous frame; what the codec has not written there is whatever the
    // heap held, which differs from process to process: both start cleared.
    if (started) {
        std::memset(vars.lpBitsPrev, 0, vars.lpbiIn->bmiHeader.biSizeImage);
        std::memset(vars.lpBitsOut, 0, vars.lpbiOut->bmiHeader.biSizeImage);
    }
    DeleteFileA(file.c_str());
    PAVIFILE avi = nullptr;
    PAVISTREAM stream = nullptr;
    AVISTREAMINFOA info = {};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = vars.fccHandler;
    info.dwScale = 1;
    info.dwRate = kClipRate;
    SetRect(&info.rcFrame, 0, 0, clip.width, clip.height);
    if (started && SUCCEEDED(AVIFileOpenA(&avi, file.c_str(), OF_CREATE | OF_WRITE, nullptr))
        && SUCCEEDED(AVIFileCreateStreamA(avi, &stream, &info))) {
        BITMAPINFOHEADER* format = &vars.lpbiOut->bmiHeader;
        AddStep(transcript, "sequence format", 0, format, FormatSpan(format));
        AVIStreamSetFormat(stream, 0, format, static_cast<LONG>(FormatSpan(format)));
    }
    for (int index = 0; started && index < clip.frames; ++index) {
        Bytes frame = ClipFrame(clip, index);
        BOOL key = FALSE;
        LONG size = 0;
        void* data = ICSeqCompressFrame(&vars, 0, frame.data(), &key, &size);
        AddStep(transcript, "sequence frame, key", key, data,
                data != nullptr ? static_cast<size_t>(size) : 0);
        if (stream != nullptr && data != nullptr)
            AVIStreamWrite(stream, index, 1, data, size, key || index == 0 ? AVIIF_KEYFRAME : 0, nullptr,
                           nullptr);
    }
    if (started)
        ICSeqCompressFrameEnd(&vars);
    if (stream != nullptr)
        AVIStreamRelease(stream);
    if (avi != nullptr)
        AVIFileRelease(avi);
    ICClose(hic);
}

// Frames compressed in order, each with the one before as the previous
// frame, then the last one again after going back: the codec needs the
// previous frame for that.
void DeltaBack(const std::string& codec, int bits, Transcript* transcript)
{
    ClipSpec clip = WriterClip(bits, 1);
    HIC hic = OpenClientCodec(codec, ICMODE_COMPRESS, transcript);
    if (hic == nullptr)
        return;
    Bytes input = ClipFormat(clip);
    Bytes format = CompressedFormat(hic, input, transcript);
    Bytes output(LargestCompressedFrame(hic, input, format));
    std::vector<Bytes> frames;
    for (int index = 0; index < 4; ++index)
        frames.push_back(ClipFrame(clip, index));
    AddStep(transcript, "compress begin", Low32(ICCompressBegin(hic, input.data(), format.data())));
    const int order[] = {0, 1, 2, 3, 3, 2};
    for (size_t i = 0; i < sizeof order / sizeof order[0]; ++i) {
        int index = order[i];
        bool key = i == 0;
        Bytes frameFormat = format;
        DWORD chunkId = 0;
        DWORD flags = 0;
        DWORD result = ICCompress(hic, key ? ICCOMPRESS_KEYFRAME : 0, Header(frameFormat), output.data(),
                                  Header(input), frames[index].data(), &chunkId, &flags, index, 0, 7500,
                                  key ? nullptr : Header(input), key ? nullptr : frames[index - 1].data());
        uint32_t size
            = std::min<uint32_t>(Header(frameFormat)->biSizeImage, static_cast<uint32_t>(output.size()));
        AddStep(transcript, "frame " + std::to_string(index), static_cast<int32_t>(result), output.data(),
                result == ICERR_OK ? size : 0);
        AddStep(transcript, "frame header", 0, frameFormat.data(), sizeof(BITMAPINFOHEADER));
        AddStep(transcript, "chunk id and flags", static_cast<int32_t>(chunkId), &flags, sizeof flags);
    }
    AddStep(transcript, "compress end", Low32(ICCompressEnd(hic)));
    ICClose(hic);
}

// Wine's frame reader on a file: it finds a decompressor itself.
void AviRead(const std::string& file, Transcript* transcript)
{
    ReadStream read(file, transcript);
    PAVISTREAM stream = read.stream;
    HRESULT result = read.result;
    PGETFRAME reader = SUCCEEDED(result) ? AVIStreamGetFrameOpen(stream, nullptr) : nullptr;
    AddStep(transcript, "frame reader opened", reader != nullptr);
    for (LONG index = 0; reader != nullptr && index < AVIStreamEnd(stream); ++index) {
        const BITMAPINFOHEADER* frame
            = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(reader, index));
        if (frame == nullptr) {
            AddStep(transcript, "frame", 0);
            continue;
        }
        size_t span = FormatSpan(frame);
        AddStep(transcript, "frame header", 1, frame, span);
        AddDigestStep(transcript, "frame bits", 1, reinterpret_cast<const uint8_t*>(frame) + span,
                      frame->biSizeImage);
    }
    if (reader != nullptr)
        AVIStreamGetFrameClose(reader);
}

// A player: the stream's format begins the series, each sample is
// decompressed with its own size into the picture of the one before.
void DecodeFile(const std::string& codec, const std::string& file, Transcript* transcript)
{
    ReadStream read(file, transcript);
    PAVISTREAM stream = read.stream;
    HRESULT result = read.result;
    HIC hic = SUCCEEDED(result) ? OpenClientCodec(codec, ICMODE_DECOMPRESS, transcript) : nullptr;
    if (hic != nullptr) {
        Bytes format = StreamFormat(stream);
        AddFormatAskedFor(hic, format, 32, transcript);
        Bytes output(std::max<size_t>(kFormatBytes,
                                      std::max<LRESULT>(ICDecompressGetFormatSize(hic, format.data()), 0)));
        AddStep(transcript, "decompressed format",
                Low32(ICDecompressGetFormat(hic, format.data(), output.data())), output.data(),
                sizeof(BITMAPINFOHEADER));
        Bytes picture(Header(output)->biSizeImage);
        AddStep(transcript, "decompress begin", Low32(ICDecompressBegin(hic, format.data(), output.data())));
        for (LONG sample = AVIStreamStart(stream); sample < AVIStreamEnd(stream); ++sample) {
            Bytes data = StreamSample(stream, sample);
            Bytes frameFormat = format;
            Header(frameFormat)->biSizeImage = static_cast<DWORD>(data.size());
            DWORD flags = AVIStreamIsKeyFrame(stream, sample) ? 0 : ICDECOMPRESS_NOTKEYFRAME;
            DWORD decoded
                = ICDecompress(hic, flags, Header(frameFormat), data.data(), Header(output), picture.data());
            AddStep(transcript, "decompressed frame", static_cast<int32_t>(decoded), picture.data(),
                    picture.size());
        }
        AddStep(transcript, "decompress end", Low32(ICDecompressEnd(hic)));
        ICClose(hic);
    }
}

// A DirectShow player on the file's frames: the graph finds the codec itself.
void GraphPlay(const std::string& file, Transcript* transcript)
{
    ReadStream read(file, transcript);
    if (FAILED(read.result))
        return;
    CompressedStream stream;
    AVISTREAMINFOA info = {};
    AVIStreamInfoA(read.stream, &info, sizeof info);
    stream.rate = info.dwRate;
    stream.scale = info.dwScale;
    stream.format = StreamFormat(read.stream);
    for (LONG sample = AVIStreamStart(read.stream); sample < AVIStreamEnd(read.stream); ++sample) {
        stream.frames.push_back(StreamSample(read.stream, sample));
        stream.keys.push_back(AVIStreamIsKeyFrame(read.stream, sample) != FALSE);
    }
    PlayThroughGraph(stream, transcript);
}

// 8-bit frames that compress ever worse: one colour, then the clip's
// picture, then the picture with a noisy band across it.
Bytes PlayerFrame(const ClipSpec& clip, int index)
{
    if (index == 0)
        return Bytes(ClipFrameSize(clip), 40);
    Bytes frame = ClipFrame(clip, index);
    uint32_t noise = 12345;
    for (size_t i = 0; index > 1 && i < frame.size() / 16; ++i) {
        noise = noise * 1103515245u + 12345u;
        frame[i] = static_cast<uint8_t>(noise >> 16);
    }
    return frame;
}

// A player that begins decompression with the stream's format, which
// states the first frame's size, and then gets larger frames.
void Player(const std::string& codec, int width, int height, Transcript* transcript)
{
    ClipSpec clip = {width, height, 8, 3, 1};
    HIC hic = OpenClientCodec(codec, ICMODE_COMPRESS, transcript);
    if (hic == nullptr)
        return;
    Bytes input = ClipFormat(clip);
    Bytes format = CompressedFormat(hic, input, transcript);
    Bytes output(LargestCompressedFrame(hic, input, format));
    std::vector<Bytes> compressed;
    AddStep(transcript, "compress begin", Low32(ICCompressBegin(hic, input.data(), format.data())));
    for (int index = 0; index < clip.frames; ++index) {
        Bytes frame = PlayerFrame(clip, index);
        Bytes frameFormat = format;
        DWORD chunkId = 0;
        DWORD flags = 0;
        DWORD result = ICCompress(hic, ICCOMPRESS_KEYFRAME, Header(frameFormat), output.data(), Header(input),
                                  frame.data(), &chunkId, &flags, index, 0, 7500, nullptr, nullptr);
        size_t size = std::min<size_t>(Header(frameFormat)->biSizeImage, output.size());
        AddDigestStep(transcript, "compressed frame", static_cast<int32_t>(result), output.data(), size);
        compressed.emplace_back(output.begin(), output.begin() + static_cast<ptrdiff_t>(size));
    }
    AddStep(transcript, "compress end", Low32(ICCompressEnd(hic)));
    Bytes stream = format;
    Header(stream)->biSizeImage = static_cast<DWORD>(compressed[0].size());
    Bytes picture(ClipFrameSize(clip));
    AddStep(transcript, "decompress begin", Low32(ICDecompressBegin(hic, stream.data(), input.data())));
    for (Bytes& frame : compressed) {
        Bytes frameFormat = stream;
        Header(frameFormat)->biSizeImage = static_cast<DWORD>(frame.size());
        DWORD result = ICDecompress(hic, 0, Header(frameFormat), frame.data(), Header(input), picture.data());
        AddDigestStep(transcript, "decompressed frame", static_cast<int32_t>(result), picture.data(),
                      picture.size());
    }
    AddStep(transcript, "decompress end", Low32(ICDecompressEnd(hic)));
    ICClose(hic);
}

bool Number(const std::string& text, int* value)
{
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    *value = static_cast<int>(number);
    return !text.empty() && *end == '\0' && number >= 0 && number <= (1 << 24);
}

// The values behind the session's name and codec as numbers, from
// arguments[first] on; false unless each is one.
bool Numbers(const std::vector<std::string>& arguments, size_t first, std::initializer_list<int*> values)
{
    if (arguments.size() != first + values.size())
        return false;
    size_t i = first;
    for (int* value : values) {
        if (!Number(arguments[i++], value))
            return false;
    }
    return true;
}

bool CodecSession(const std::vector<std::string>& arguments, Transcript* transcript)
{
    std::vector<char*> values;
    for (size_t i = 2; i < arguments.size(); ++i)
        values.push_back(const_cast<char*>(arguments[i].c_str()));
    ClipSpec clip;
    if (values.size() != 5 || !ParseClipArguments(values.data(), &clip))
        return false;
    // As the demo's own session, which opens the codec itself.
    HIC hic = ICOpen(ICTYPE_VIDEO, CodecFourCC(arguments[1]), ICMODE_COMPRESS);
    if (hic == nullptr) {
        AddStep(transcript, "codec opened", 0);
        return true;
    }
    SessionFigures figures;
    RunCodecSession(hic, clip, transcript, &figures);
    ICClose(hic);
    AddFiguresStep(transcript, figures);
    return true;
}

// The codec's own ICINFO, as the configuration tool asks for it.
void Info(const std::string& codec, Transcript* transcript)
{
    HIC hic = ICOpen(ICTYPE_VIDEO, CodecFourCC(codec), ICMODE_DECOMPRESS);
    if (hic == nullptr)
        return;
    ICINFO info = {};
    info.dwSize = sizeof info;
    AddStep(transcript, kCodecInformationStep, static_cast<int32_t>(ICGetInfo(hic, &info, sizeof info)),
            &info, sizeof info);
    AddStep(transcript, "open modes", static_cast<int32_t>(AskOpenModes(codec)));
    ICClose(hic);
}

}

bool RunClientSession(const std::vector<std::string>& arguments, Transcript* transcript)
{
    if (arguments.size() < 2)
        return false;
    const std::string& session = arguments[0];
    const std::string& codec = arguments[1];
    int a = 0;
    int b = 0;
    int c = 0;
    AVIFileInit();
    bool known = true;
    if (session == "codec-session")
        known = CodecSession(arguments, transcript);
    else if (session == "avi-write" && (known = Numbers(arguments, 3, {&a, &b, &c})))
        AviWrite(codec, arguments[2], a, b, c, transcript);
    else if (session == "seq-compress" && (known = Numbers(arguments, 3, {&a, &b})))
        SeqCompress(codec, arguments[2], a, b, transcript);
    else if (session == "delta-back" && (known = Numbers(arguments, 2, {&a})))
        DeltaBack(codec, a, transcript);
    else if (session == "avi-read" && (known = arguments.size() == 3))
        AviRead(arguments[2], transcript);
    else if (session == "decode-file" && (known = arguments.size() == 3))
        DecodeFile(codec, arguments[2], transcript);
    else if (session == "graph-play" && (known = arguments.size() == 3))
        GraphPlay(arguments[2], transcript);
    else if (session == "graph-encode" && (known = Numbers(arguments, 2, {&a, &b})))
        EncodeThroughGraph(codec, WriterClip(a, b), kClipRate, transcript);
    else if (session == "player" && (known = Numbers(arguments, 2, {&a, &b})))
        Player(codec, a, b, transcript);
    else if (session == "info" && (known = arguments.size() == 2))
        Info(codec, transcript);
    else
        known = RunMessageSession(arguments, transcript) || RunCodecListSession(arguments, transcript);
    AVIFileExit();
    return known;
}
