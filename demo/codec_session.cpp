#include "demo/codec_session.h"

#include <algorithm>
#include <cstring>

namespace {

const char kFiguresStep[] = "session figures";

// Room for any format of these clips: a header and a full palette.
const size_t kFormatBytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
const LRESULT kLargestState = 0x10000;

int32_t Low32(LRESULT result)
{
    return static_cast<int32_t>(result);
}

double Seconds()
{
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

BITMAPINFOHEADER* Header(std::vector<uint8_t>& format)
{
    return reinterpret_cast<BITMAPINFOHEADER*>(format.data());
}

DWORD AskDefaultQuality(HIC codec, Transcript* transcript)
{
    DWORD quality = ICQUALITY_DEFAULT;
    int32_t result = Low32(
        ICSendMessage(codec, ICM_GETDEFAULTQUALITY, reinterpret_cast<DWORD_PTR>(&quality), sizeof quality));
    AddStep(transcript, "default quality", result, &quality, sizeof quality);
    return result == ICERR_OK ? quality : ICQUALITY_DEFAULT;
}

// What a program decides by (AVIFile makes every frame a key frame for a
// codec without VIDCF_TEMPORAL); names and descriptions say which slot
// runs the codec and differ by design.
void AskFlagsAndVersions(HIC codec, Transcript* transcript)
{
    ICINFO info = {};
    int32_t result = Low32(ICGetInfo(codec, &info, sizeof info));
    const DWORD values[] = {info.dwFlags, info.dwVersion, info.dwVersionICM};
    AddStep(transcript, "flags and versions", result, values, sizeof values);
}

void AskStateAndDialogs(HIC codec, Transcript* transcript)
{
    LRESULT size = ICGetStateSize(codec);
    AddStep(transcript, "state size", Low32(size));
    if (size > 0 && size <= kLargestState) {
        std::vector<uint8_t> state(static_cast<size_t>(size));
        AddStep(transcript, "state", Low32(ICGetState(codec, state.data(), size)), state.data(),
                state.size());
        AddStep(transcript, "state set", Low32(ICSetState(codec, state.data(), size)));
    }
    AddStep(transcript, "configure query",
            Low32(ICSendMessage(codec, ICM_CONFIGURE, static_cast<DWORD_PTR>(-1), ICMF_CONFIGURE_QUERY)));
    AddStep(transcript, "about query",
            Low32(ICSendMessage(codec, ICM_ABOUT, static_cast<DWORD_PTR>(-1), ICMF_ABOUT_QUERY)));
}

// The compressed format, as large as the codec says it is.
std::vector<uint8_t> AskCompressedFormat(HIC codec, std::vector<uint8_t>& input, Transcript* transcript)
{
    AddStep(transcript, "compress query, any output", Low32(ICCompressQuery(codec, input.data(), nullptr)));
    LRESULT size = ICCompressGetFormatSize(codec, input.data());
    AddStep(transcript, "compressed format size", Low32(size));
    std::vector<uint8_t> format(std::max(static_cast<size_t>(std::max<LRESULT>(size, 0)), kFormatBytes));
    AddStep(transcript, "compressed format", Low32(ICCompressGetFormat(codec, input.data(), format.data())),
            format.data(), std::min(format.size(), static_cast<size_t>(std::max<LRESULT>(size, 0))));
    AddStep(transcript, "largest compressed frame",
            Low32(ICCompressGetSize(codec, input.data(), format.data())));
    AddStep(transcript, "compress query", Low32(ICCompressQuery(codec, input.data(), format.data())));
    return format;
}

std::vector<std::vector<uint8_t>> Compress(HIC codec, const ClipSpec& clip, std::vector<uint8_t>& input,
                                           std::vector<uint8_t>& format, DWORD quality,
                                           Transcript* transcript, SessionFigures* figures)
{
    std::vector<std::vector<uint8_t>> compressed;
    LRESULT largest = ICCompressGetSize(codec, input.data(), format.data());
    std::vector<uint8_t> output(
        std::max<size_t>(static_cast<size_t>(std::max<LRESULT>(largest, 0)), Header(format)->biSizeImage));
    AddStep(transcript, "compress begin", Low32(ICCompressBegin(codec, input.data(), format.data())));
    for (int index = 0; index < clip.frames; ++index) {
        std::vector<uint8_t> pixels = ClipFrame(clip, index);
        std::vector<uint8_t> frameFormat = format;
        DWORD chunkId = 0;
        DWORD flags = 0;
        DWORD askedFlags = index % clip.keyInterval == 0 ? ICCOMPRESS_KEYFRAME : 0;
        double start = Seconds();
        DWORD result = ICCompress(codec, askedFlags, Header(frameFormat), output.data(), Header(input),
                                  pixels.data(), &chunkId, &flags, index, 0, quality, nullptr, nullptr);
        figures->compressSeconds += Seconds() - start;
        uint32_t size
            = std::min<uint32_t>(Header(frameFormat)->biSizeImage, static_cast<uint32_t>(output.size()));
        AddStep(transcript, "compressed frame", static_cast<int32_t>(result), output.data(), size);
        AddStep(transcript, "frame header", 0, frameFormat.data(), sizeof(BITMAPINFOHEADER));
        AddStep(transcript, "chunk id and flags", static_cast<int32_t>(chunkId), &flags, sizeof flags);
        compressed.emplace_back(output.begin(), output.begin() + size);
        figures->frames += 1;
        figures->keyFrames += (flags & AVIIF_KEYFRAME) != 0 ? 1 : 0;
        figures->rawBytes += pixels.size();
        figures->compressedBytes += size;
    }
    AddStep(transcript, "compress end", Low32(ICCompressEnd(codec)));
    return compressed;
}

void Decompress(HIC codec, const std::vector<std::vector<uint8_t>>& compressed, std::vector<uint8_t>& format,
                std::vector<uint8_t>& output, Transcript* transcript, SessionFigures* figures)
{
    AddStep(transcript, "decompress query, any output",
            Low32(ICDecompressQuery(codec, format.data(), nullptr)));
    LRESULT size = ICDecompressGetFormatSize(codec, format.data());
    AddStep(transcript, "decompressed format size", Low32(size));
    std::vector<uint8_t> decompressed(
        std::max(static_cast<size_t>(std::max<LRESULT>(size, 0)), kFormatBytes));
    AddStep(transcript, "decompressed format",
            Low32(ICDecompressGetFormat(codec, format.data(), decompressed.data())), decompressed.data(),
            std::min(decompressed.size(), static_cast<size_t>(std::max<LRESULT>(size, 0))));
    std::vector<uint8_t> palette = output;
    palette.resize(std::max(palette.size(), kFormatBytes));
    AddStep(transcript, "decompress palette",
            Low32(ICDecompressGetPalette(codec, format.data(), palette.data())), palette.data(),
            palette.size());
    AddStep(transcript, "decompress query", Low32(ICDecompressQuery(codec, format.data(), output.data())));

    std::vector<uint8_t> picture(Header(output)->biSizeImage);
    AddStep(transcript, "decompress begin", Low32(ICDecompressBegin(codec, format.data(), output.data())));
    for (const std::vector<uint8_t>& frame : compressed) {
        std::vector<uint8_t> frameFormat = format;
        Header(frameFormat)->biSizeImage = static_cast<DWORD>(frame.size());
        double start = Seconds();
        DWORD result = ICDecompress(codec, 0, Header(frameFormat), const_cast<uint8_t*>(frame.data()),
                                    Header(output), picture.data());
        figures->decompressSeconds += Seconds() - start;
        AddStep(transcript, "decompressed frame", static_cast<int32_t>(result), picture.data(),
                picture.size());
    }
    AddStep(transcript, "decompress end", Low32(ICDecompressEnd(codec)));
}

}

void RunCodecSession(HIC codec, const ClipSpec& clip, Transcript* transcript, SessionFigures* figures)
{
    *figures = SessionFigures();
    AskFlagsAndVersions(codec, transcript);
    DWORD quality = AskDefaultQuality(codec, transcript);
    AskStateAndDialogs(codec, transcript);
    std::vector<uint8_t> input = ClipFormat(clip);
    std::vector<uint8_t> format = AskCompressedFormat(codec, input, transcript);
    std::vector<std::vector<uint8_t>> compressed
        = Compress(codec, clip, input, format, quality, transcript, figures);
    Decompress(codec, compressed, format, input, transcript, figures);
}

// As doubles, which both halves lay out alike.
void AddFiguresStep(Transcript* transcript, const SessionFigures& figures)
{
    double values[6] = {static_cast<double>(figures.frames),
                        static_cast<double>(figures.keyFrames),
                        static_cast<double>(figures.rawBytes),
                        static_cast<double>(figures.compressedBytes),
                        figures.compressSeconds,
                        figures.decompressSeconds};
    AddStep(transcript, kFiguresStep, 0, values, sizeof values);
}

bool TakeFiguresStep(Transcript* transcript, SessionFigures* figures)
{
    double values[6];
    if (transcript->empty() || transcript->back().what != kFiguresStep
        || transcript->back().data.size() != sizeof values)
        return false;
    std::memcpy(values, transcript->back().data.data(), sizeof values);
    transcript->pop_back();
    figures->frames = static_cast<int>(values[0]);
    figures->keyFrames = static_cast<int>(values[1]);
    figures->rawBytes = static_cast<uint64_t>(values[2]);
    figures->compressedBytes = static_cast<uint64_t>(values[3]);
    figures->compressSeconds = values[4];
    figures->decompressSeconds = values[5];
    return true;
}
