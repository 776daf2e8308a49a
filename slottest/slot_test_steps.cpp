#include "slottest/slot_test_steps.h"

#include <algorithm>
#include <cstdio>

#include "driver/host_channel.h"
#include "driver/slot_config.h"
#include "driver/wait_limits.h"
#include "host/host_protocol.h"
#include "mng/slot_driver_registration.h"
#include "qelinstall/loadable_path.h"
#include "slottest/host_error_box.h"
#include "slottest/slot_test_verdict.h"

namespace {

// A 32-bit answer as the codec gave it: the system widens it with its sign.
int32_t Answer(LRESULT result)
{
    return static_cast<int32_t>(result);
}

std::string AnswerText(int32_t answer)
{
    return answer == ICERR_OK ? "ok" : "refused (" + std::to_string(answer) + ")";
}

std::string Utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

std::string Ansi(const std::wstring& text)
{
    char ansi[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi, MAX_PATH, nullptr, nullptr);
    return ansi;
}

double MillisecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart)
        / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// As the system finds a driver: a bare file name along the search path.
bool DriverFileExists(const std::wstring& path)
{
    if (path.find(L'\\') != std::wstring::npos)
        return IsExistingFile(path);
    wchar_t found[MAX_PATH];
    return SearchPathW(nullptr, path.c_str(), nullptr, MAX_PATH, found, nullptr) != 0;
}

// The bytes of a frame of this header: biSizeImage, or for an
// uncompressed format what its rows take.
size_t FrameBytes(const BITMAPINFOHEADER& header)
{
    size_t rows = static_cast<size_t>(header.biHeight < 0 ? -header.biHeight : header.biHeight);
    size_t stride = (static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    return std::max<size_t>(header.biSizeImage, stride * rows);
}

const char* RefusalText(SlotTestCause cause)
{
    switch (cause) {
    case SlotTestCause::Unticked:
        return "the slot is switched off in the settings file (iEnable 0)";
    case SlotTestCause::NoCodec:
        return "no codec is chosen for the slot (dwFcc 0)";
    case SlotTestCause::HostExeMissing:
        return "Tandrel64.exe is not beside the driver";
    default:
        return "the codec opens neither for compression nor for decompression";
    }
}

}

SlotTest::SlotTest(int slot)
    : slot_(slot)
{
}

SlotTest::~SlotTest()
{
    if (compressor_ != nullptr)
        ICClose(compressor_);
    if (decompressor_ != nullptr)
        ICClose(decompressor_);
}

SlotTestCause SlotTest::Run()
{
    SlotTestCause cause = Steps();
    report_ += SlotTestResultLine(cause);
    return cause;
}

// One line each: texts from elsewhere (a codec's name, a host's message)
// may hold line breaks.
void SlotTest::Line(const std::string& step, const std::string& result)
{
    std::string text = result;
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    report_ += SlotTestLine(step, text);
}

SlotTestCause SlotTest::Steps()
{
    SlotTestCause cause = SlotTestCause::CodecNotOpened;
    if (!CheckRegistration(&cause) || !Open(&cause))
        return cause;
    DescribeCodec();
    if (compressor_ == nullptr)
        return WithoutInput({}, 0);
    std::vector<OfferedInput> inputs = MakeOfferedInputs();
    std::vector<int32_t> answers;
    double openMs = 0;
    for (OfferedInput& input : inputs) {
        int32_t answer = Answer(ICCompressQuery(compressor_, input.Header(), nullptr));
        Line(std::string("input ") + input.name, AnswerText(answer));
        if (answers.empty()) {
            openMs = MillisecondsSince(openStart_);
            Line(kSlotTestOpenTimeStep, FormatMilliseconds(openMs));
        }
        answers.push_back(answer);
        if (answer == ICERR_OK)
            return CompressFrame(input);
    }
    return WithoutInput(answers, openMs);
}

bool SlotTest::CheckRegistration(SlotTestCause* cause)
{
    std::wstring driver = RegisteredSlotDriver(slot_);
    std::string value = "vidc.tdl" + std::to_string(slot_);
    if (driver.empty()) {
        Line("registration", value + " is not registered for 64-bit programs");
        *cause = SlotTestCause::NotRegistered;
        return false;
    }
    if (!DriverFileExists(driver)) {
        Line("registration", value + " names a driver that does not exist: " + Utf8(driver));
        *cause = SlotTestCause::DriverMissing;
        return false;
    }
    Line("registration", "ok, " + value + " = " + Utf8(driver));
    driverPath_ = Ansi(driver);
    return true;
}

bool SlotTest::Open(SlotTestCause* cause)
{
    ReadSlotSettings(slot_, &settings_);
    timeoutSeconds_ = TimeoutSeconds(ReadTimeoutSetting());
    openStart_ = Now();
    compressor_ = ICOpen(ICTYPE_VIDEO, SlotFourCC(slot_), ICMODE_COMPRESS);
    decompressor_ = ICOpen(ICTYPE_VIDEO, SlotFourCC(slot_), ICMODE_DECOMPRESS);
    if (compressor_ != nullptr || decompressor_ != nullptr) {
        Line("open",
             compressor_ == nullptr         ? "ok, for decompression; refused for compression"
                 : decompressor_ == nullptr ? "ok, for compression; refused for decompression"
                                            : "ok, for compression and for decompression");
        return true;
    }
    char hostExe[MAX_PATH];
    *cause = RefusedOpenCause(settings_.iEnable, settings_.dwFcc,
                              FindHostExeBeside(driverPath_.c_str(), hostExe));
    Line("open", std::string("refused: ") + RefusalText(*cause));
    return false;
}

void SlotTest::DescribeCodec()
{
    ICINFO info = {};
    info.dwSize = sizeof info;
    if (ICGetInfo(compressor_ != nullptr ? compressor_ : decompressor_, &info, sizeof info) == 0) {
        Line("info", "none");
        return;
    }
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%lX", static_cast<unsigned long>(info.dwFlags));
    Line("info",
         "ok, " + std::string(settings_.pcFcc) + ": " + Utf8(info.szName) + ", " + Utf8(info.szDescription)
             + ", flags " + flags);
}

// A codec that only decompresses is still of use through the slot. One
// that refuses to open for compression is known by that, whatever it
// decodes; one that opens for it but takes no input answers for the format
// of its own FourCC. The query also shows whether a host serves at all.
SlotTestCause SlotTest::WithoutInput(std::vector<int32_t> answers, double openMs)
{
    int32_t answer = ICERR_UNSUPPORTED;
    if (decompressor_ != nullptr) {
        BITMAPINFOHEADER own = CompressedHeader(settings_.dwFcc);
        answer = Answer(ICDecompressQuery(decompressor_, &own, nullptr));
        Line(std::string("decompress ") + settings_.pcFcc, AnswerText(answer));
        if (answers.empty()) {
            openMs = MillisecondsSince(openStart_);
            Line(kSlotTestOpenTimeStep, FormatMilliseconds(openMs));
        }
        answers.push_back(answer);
    }
    if (AllUnserved(answers))
        return Unserved(openMs, StartWaitMs(timeoutSeconds_));
    if (decompressor_ == nullptr || (answer != ICERR_OK && compressor_ != nullptr))
        return SlotTestCause::NoInputTaken;
    Line("compress",
         compressor_ != nullptr ? "none of the inputs: the codec only decompresses"
                                : "refused to open: the codec only decompresses");
    return SlotTestCause::WorksDecompressOnly;
}

SlotTestCause SlotTest::CompressFrame(OfferedInput& input)
{
    BITMAPINFOHEADER* header = input.Header();
    auto queryAgain = [&] { return Answer(ICCompressQuery(compressor_, header, nullptr)); };
    DWORD limitMs = RequestWaitMs(kRequestCompress, 0, timeoutSeconds_);
    LARGE_INTEGER start = Now();
    int32_t formatSize = Answer(ICCompressGetFormatSize(compressor_, header));
    if (formatSize < static_cast<int32_t>(sizeof(BITMAPINFOHEADER)))
        return FrameFailure("compressed format", formatSize, MillisecondsSince(start), limitMs, queryAgain);
    std::vector<uint8_t> format(formatSize);
    BITMAPINFOHEADER* compressed = reinterpret_cast<BITMAPINFOHEADER*>(format.data());
    int32_t answer = Answer(ICCompressGetFormat(compressor_, header, compressed));
    if (answer != ICERR_OK)
        return FrameFailure("compressed format", answer, MillisecondsSince(start), limitMs, queryAgain);
    int32_t largest = Answer(ICCompressGetSize(compressor_, header, compressed));
    std::vector<uint8_t> data(std::max<size_t>(largest > 0 ? largest : 0, FrameBytes(*header)) * 2);
    start = Now();
    answer = Answer(ICCompressBegin(compressor_, header, compressed));
    if (answer != ICERR_OK)
        return FrameFailure("compress", answer, MillisecondsSince(start), limitMs, queryAgain);
    DWORD chunkId = 0;
    DWORD flags = 0;
    start = Now();
    answer
        = Answer(ICCompress(compressor_, ICCOMPRESS_KEYFRAME, compressed, data.data(), header,
                            input.frame.data(), &chunkId, &flags, 0, 0, ICQUALITY_DEFAULT, nullptr, nullptr));
    double frameMs = MillisecondsSince(start);
    ICCompressEnd(compressor_);
    if (answer != ICERR_OK)
        return FrameFailure("compress", answer, frameMs, limitMs, queryAgain);
    Line("compress",
         "ok, " + std::to_string(input.frame.size()) + " bytes of " + input.name + " to "
             + std::to_string(compressed->biSizeImage) + " bytes"
             + ((flags & AVIIF_KEYFRAME) != 0 ? ", a key frame" : ""));
    Line(kSlotTestFrameTimeStep, FormatMilliseconds(frameMs));
    return DecompressFrame(compressed, data.data());
}

// A codec that compresses works for compression even when it decodes its
// output to none of the pictures players ask for.
SlotTestCause SlotTest::DecompressFrame(BITMAPINFOHEADER* compressed, const void* data)
{
    if (decompressor_ == nullptr) {
        Line("decompress", "refused to open: the codec only compresses");
        return SlotTestCause::WorksCompressOnly;
    }
    auto queryAgain = [&] { return Answer(ICDecompressQuery(decompressor_, compressed, nullptr)); };
    DWORD limitMs = RequestWaitMs(kRequestDecompress, 0, timeoutSeconds_);
    LARGE_INTEGER start = Now();
    int32_t answer = queryAgain();
    if (answer != ICERR_OK) {
        Line("decompress", "not offered for its own output (" + std::to_string(answer) + ")");
        return SlotTestCause::WorksCompressOnly;
    }
    int32_t formatSize = Answer(ICDecompressGetFormatSize(decompressor_, compressed));
    std::vector<uint8_t> format(
        std::max<int32_t>(formatSize, sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)));
    BITMAPINFOHEADER* picture = reinterpret_cast<BITMAPINFOHEADER*>(format.data());
    for (const OfferedOutput& output : MakeOfferedOutputs()) {
        std::fill(format.begin(), format.end(), 0);
        *picture = output.header;
        answer = Answer(ICDecompressGetFormat(decompressor_, compressed, picture));
        Line(std::string("output ") + output.name, AnswerText(answer));
        if (answer == ICERR_OK)
            break;
    }
    if (answer != ICERR_OK && answer != kHostCannotServe) {
        Line("decompress", "to none of the outputs: the codec only compresses");
        return SlotTestCause::WorksCompressOnly;
    }
    if (answer == ICERR_OK)
        answer = Answer(ICDecompressBegin(decompressor_, compressed, picture));
    if (answer != ICERR_OK)
        return FrameFailure("decompress", answer, MillisecondsSince(start), limitMs, queryAgain);
    std::vector<uint8_t> pixels(FrameBytes(*picture));
    start = Now();
    answer
        = Answer(ICDecompress(decompressor_, 0, compressed, const_cast<void*>(data), picture, pixels.data()));
    double frameMs = MillisecondsSince(start);
    ICDecompressEnd(decompressor_);
    if (answer != ICERR_OK)
        return FrameFailure("decompress", answer, frameMs, limitMs, queryAgain);
    Line("decompress",
         "ok, " + std::to_string(compressed->biSizeImage) + " bytes to " + std::to_string(pixels.size())
             + " bytes in " + FormatMilliseconds(frameMs));
    return SlotTestCause::Works;
}

SlotTestCause SlotTest::FrameFailure(const std::string& step, int32_t answer, double waitedMs, DWORD limitMs,
                                     const std::function<int32_t()>& queryAgain)
{
    Line(step, "failed (" + std::to_string(answer) + ")");
    if (answer == kHostCannotServe && queryAgain() == kHostCannotServe)
        return Unserved(waitedMs, limitMs);
    return SlotTestCause::FrameFailed;
}

SlotTestCause SlotTest::Unserved(double waitedMs, DWORD limitMs)
{
    std::wstring box = HostErrorBoxText();
    SlotTestCause cause = UnservedCause(!box.empty(), waitedMs, limitMs);
    if (cause == SlotTestCause::CodecNotOpened)
        Line("host", "could not open the codec; Tandrel64.exe says: " + Utf8(box));
    else if (cause == SlotTestCause::HostTimedOut)
        Line("host", "no answer within the driver's limit of " + FormatMilliseconds(limitMs));
    else
        Line("host", "ended, or did not start, after " + FormatMilliseconds(waitedMs));
    return cause;
}
