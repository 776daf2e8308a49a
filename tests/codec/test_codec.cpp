// A VfW codec for the tests: records what it receives (see
// test_codec_control.h), answers what the test scripts, and otherwise
// compresses 24- and 32-bit RGB losslessly with PackBits.

#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "packbits.h"
#include "test_codec_control.h"

namespace {

struct Instance {
    uint32_t fcc;
    HANDLE mapping;
    TestCodecControl* control;
    // What the last ICM_SETQUALITY, ICM_COMPRESS_FRAMES_INFO and
    // ICM_DECOMPRESS_SET_PALETTE brought.
    uint32_t quality;
    uint32_t framesInfo;
    uint32_t palette;
};

// DRV_OPEN without an ICOPEN (the driver's own open) still needs an id.
Instance g_driverInstance = {};
// Opens with an ICOPEN since the DLL was loaded: 1 at every open of a
// program that frees the codec before it opens it again.
uint32_t g_moduleOpens = 0;

bool Readable(const void* address, size_t size)
{
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(address, &info, sizeof info) == 0 || info.State != MEM_COMMIT)
        return false;
    if (info.Protect & (PAGE_NOACCESS | PAGE_GUARD))
        return false;
    const char* end = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    return static_cast<const char*>(address) + size <= end;
}

TestCodecArg Resolve(const void* pointer)
{
    TestCodecArg arg = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)), RegionOther, 0};
    MEMORY_BASIC_INFORMATION info;
    if (pointer == nullptr)
        arg.region = RegionNull;
    if (pointer == nullptr || VirtualQuery(pointer, &info, sizeof info) == 0 || info.State != MEM_COMMIT)
        return arg;
    const char* base = static_cast<const char*>(info.AllocationBase);
    const char* at = static_cast<const char*>(pointer);
    if (Readable(base + kControlMarkerOffset, 8)
        && std::memcmp(base + kControlMarkerOffset, kControlMarker, 8) == 0) {
        arg.region = RegionParamArea;
        arg.offset = static_cast<int32_t>(at - (base + kParamAreaOffset));
    } else if (Readable(base, 8) && std::memcmp(base, kFrameInMarker, 8) == 0) {
        arg.region = RegionFrameIn;
        arg.offset = static_cast<int32_t>(at - base);
    } else if (Readable(base, 8) && std::memcmp(base, kFrameOutMarker, 8) == 0) {
        arg.region = RegionFrameOut;
        arg.offset = static_cast<int32_t>(at - base);
    }
    return arg;
}

// The pointers of a compression or decompression record.
template <typename FrameRecord>
void ResolveRecord(const FrameRecord* record, TestCodecCall* call)
{
    call->lpbiInput = Resolve(record->lpbiInput);
    call->lpInput = Resolve(record->lpInput);
    call->lpbiOutput = Resolve(record->lpbiOutput);
    call->lpOutput = Resolve(record->lpOutput);
}

void Record(Instance* instance, UINT message, LPARAM lParam1, LPARAM lParam2)
{
    TestCodecControl* control = instance->control;
    if (control == nullptr || !control->recording)
        return;
    uint32_t index = control->callCount++;
    if (index >= kTestCodecMaxCalls)
        return;
    TestCodecCall& call = control->calls[index];
    call = TestCodecCall();
    call.message = message;
    call.dw1 = Resolve(reinterpret_cast<void*>(lParam1));
    call.dw2 = Resolve(reinterpret_cast<void*>(lParam2));
    if (message == ICM_COMPRESS && Readable(reinterpret_cast<void*>(lParam1), sizeof(ICCOMPRESS))) {
        const ICCOMPRESS* record = reinterpret_cast<const ICCOMPRESS*>(lParam1);
        ResolveRecord(record, &call);
        call.lpckid = Resolve(record->lpckid);
        call.lpdwFlags = Resolve(record->lpdwFlags);
    } else if (message == ICM_DECOMPRESS
               && Readable(reinterpret_cast<void*>(lParam1), sizeof(ICDECOMPRESS))) {
        ResolveRecord(reinterpret_cast<const ICDECOMPRESS*>(lParam1), &call);
    } else if ((message == ICM_DECOMPRESSEX || message == ICM_DECOMPRESSEX_BEGIN)
               && Readable(reinterpret_cast<void*>(lParam1), sizeof(ICDECOMPRESSEX))) {
        const ICDECOMPRESSEX* record = reinterpret_cast<const ICDECOMPRESSEX*>(lParam1);
        call.lpbiInput = Resolve(record->lpbiSrc);
        call.lpInput = Resolve(record->lpSrc);
        call.lpbiOutput = Resolve(record->lpbiDst);
        call.lpOutput = Resolve(record->lpDst);
    }
}

bool Receipts(const Instance* instance)
{
    return instance->control != nullptr && instance->control->receipts != 0;
}

uint32_t Hash(const void* data, size_t size, uint32_t hash = 2166136261u)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

template <typename Value>
uint32_t HashOf(const Value& value, uint32_t hash = 2166136261u)
{
    return Hash(&value, sizeof value, hash);
}

// Null, but the compiler cannot know it: the write is a real access violation.
int* volatile g_nowhere = nullptr;

DWORD WINAPI FaultOnThread(void*)
{
    *g_nowhere = 0;
    return 0;
}

LRESULT Overrun(UINT message, LPARAM lParam1)
{
    void* output = message == ICM_COMPRESS ? reinterpret_cast<ICCOMPRESS*>(lParam1)->lpOutput
                                           : reinterpret_cast<ICDECOMPRESS*>(lParam1)->lpOutput;
    MEMORY_BASIC_INFORMATION info;
    if (output == nullptr || VirtualQuery(output, &info, sizeof info) == 0)
        return ICERR_BADPARAM;
    static_cast<volatile char*>(info.BaseAddress)[info.RegionSize] = 0x5A;
    return ICERR_OK;
}

bool ScriptedAnswer(const Instance* instance, UINT message, LRESULT* result)
{
    const TestCodecControl* control = instance->control;
    if (control == nullptr)
        return false;
    for (uint32_t i = 0; i < kTestCodecMaxAnswers && control->answers[i].message != 0; ++i) {
        if (control->answers[i].message == message) {
            *result = control->answers[i].result;
            return true;
        }
    }
    return false;
}

uint32_t OutputFcc(const Instance* instance)
{
    if (instance->control != nullptr && instance->control->outputFcc != 0)
        return instance->control->outputFcc;
    return instance->fcc;
}

bool AcceptsInput(const Instance* instance, const BITMAPINFOHEADER* input)
{
    uint32_t accepted = instance->control != nullptr ? instance->control->acceptedInputs : 0;
    if (accepted == 0)
        accepted = InputRgb32 | InputRgb24 | InputYuy2;
    if (input == nullptr || input->biWidth <= 0 || input->biHeight == 0)
        return false;
    if (input->biCompression == BI_RGB && input->biBitCount == 32)
        return (accepted & InputRgb32) != 0;
    if (input->biCompression == BI_RGB && input->biBitCount == 24)
        return (accepted & InputRgb24) != 0;
    if (input->biCompression == mmioFOURCC('Y', 'U', 'Y', '2') && input->biBitCount == 16)
        return (accepted & InputYuy2) != 0;
    return false;
}

bool IsCompressedFormat(const Instance* instance, const BITMAPINFOHEADER* header)
{
    return header != nullptr && header->biCompression == OutputFcc(instance) && header->biWidth > 0
        && header->biHeight != 0;
}

size_t ImageSize(const BITMAPINFOHEADER* header)
{
    size_t height = static_cast<size_t>(header->biHeight < 0 ? -header->biHeight : header->biHeight);
    size_t stride = (static_cast<size_t>(header->biWidth) * header->biBitCount + 31) / 32 * 4;
    return stride * height;
}

// A decoder writes only pictures it knows: RGB, whose size its header says.
bool IsPicture(const BITMAPINFOHEADER* header)
{
    return header != nullptr && header->biCompression == BI_RGB;
}

size_t LargestFrame(const Instance* instance, const BITMAPINFOHEADER* input)
{
    return PackBitsWorstCase(ImageSize(input)) + (Receipts(instance) ? sizeof(TestCodecReceipt) : 0);
}

void FillCompressedFormat(const Instance* instance, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output)
{
    *output = *input;
    output->biSize = sizeof(BITMAPINFOHEADER);
    output->biCompression = OutputFcc(instance);
    output->biSizeImage = static_cast<DWORD>(LargestFrame(instance, input));
    output->biClrUsed = 0;
    output->biClrImportant = 0;
}

// As real decoders do, a program may ask for 24- or 32-bit RGB by filling
// in the output header first; otherwise the picture has the input's depth.
void DecompressedFormat(const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output)
{
    bool asked = output->biSize >= sizeof *output && output->biCompression == BI_RGB
        && (output->biBitCount == 24 || output->biBitCount == 32);
    WORD bits = asked ? output->biBitCount : input->biBitCount;
    *output = *input;
    output->biBitCount = bits;
    output->biCompression = BI_RGB;
    output->biSizeImage = static_cast<DWORD>(ImageSize(output));
}

LRESULT GetInfo(const Instance* instance, ICINFO* info, LPARAM size)
{
    if (info == nullptr || size < static_cast<LPARAM>(sizeof(ICINFO)))
        return 0;
    std::memset(info, 0, sizeof *info);
    info->dwSize = sizeof *info;
    info->fccType = ICTYPE_VIDEO;
    info->fccHandler = instance->fcc;
    info->dwFlags = instance->control != nullptr && instance->control->infoFlags != 0
        ? instance->control->infoFlags
        : VIDCF_QUALITY;
    info->dwVersionICM = ICVERSION;
    if (const TestCodecControl* control = instance->control) {
        info->dwVersion = control->version;
        std::memcpy(info->szName, control->name, sizeof info->szName);
        std::memcpy(info->szDescription, control->description, sizeof info->szDescription);
        std::memcpy(info->szDriver, control->driver, sizeof info->szDriver);
        info->szName[15] = info->szDescription[127] = info->szDriver[127] = 0;
    } else {
        lstrcpyW(info->szName, L"TestCodec");
        lstrcpyW(info->szDescription, L"Tandrel64 recording test codec");
    }
    return sizeof *info;
}

LRESULT ShowDialog(const Instance* instance, UINT message, LPARAM owner)
{
    if (owner == -1)
        return ICERR_OK;
    if (instance->control != nullptr && instance->control->showDialogs) {
        char fcc[5] = {};
        std::memcpy(fcc, &instance->fcc, 4);
        char text[64];
        std::snprintf(text, sizeof text, "%s %s", message == ICM_CONFIGURE ? "Configure" : "About", fcc);
        MessageBoxA(reinterpret_cast<HWND>(owner), text, "Test codec", MB_OK);
    }
    return ICERR_OK;
}

uint32_t ValueAt(const DWORD* place)
{
    return place != nullptr ? *place : ~0u;
}

// A frame of a temporal series: the input, or its difference from the
// previous frame, packed, and the receipt behind.
LRESULT CompressWithReceipt(const Instance* instance, ICCOMPRESS* record)
{
    size_t inputSize = ImageSize(record->lpbiInput);
    bool key = (record->dwFlags & ICCOMPRESS_KEYFRAME) != 0 || record->lpPrev == nullptr;
    TestCodecReceipt receipt = {record->dwFlags,
                                ValueAt(record->lpckid),
                                ValueAt(record->lpdwFlags),
                                record->lFrameNum,
                                record->dwFrameSize,
                                record->dwQuality,
                                0,
                                0,
                                instance->framesInfo,
                                instance->quality};
    std::vector<uint8_t> frame(static_cast<const uint8_t*>(record->lpInput),
                               static_cast<const uint8_t*>(record->lpInput) + inputSize);
    if (record->lpbiPrev != nullptr)
        receipt.previousHeader = HashOf(*record->lpbiPrev);
    if (record->lpPrev != nullptr)
        receipt.previous = Hash(record->lpPrev, inputSize);
    if (!key) {
        for (size_t i = 0; i < inputSize; ++i)
            frame[i] ^= static_cast<const uint8_t*>(record->lpPrev)[i];
    }
    uint8_t* output = static_cast<uint8_t*>(record->lpOutput);
    size_t written = PackBitsEncode(frame.data(), inputSize, output);
    std::memcpy(output + written, &receipt, sizeof receipt);
    FillCompressedFormat(instance, record->lpbiInput, record->lpbiOutput);
    record->lpbiOutput->biSizeImage = static_cast<DWORD>(written + sizeof receipt);
    if (record->lpckid != nullptr && *record->lpckid == 0)
        *record->lpckid = mmioFOURCC('0', '0', 'd', 'c');
    if (record->lpdwFlags != nullptr)
        *record->lpdwFlags = (*record->lpdwFlags & ~AVIIF_KEYFRAME) | (key ? AVIIF_KEYFRAME : 0);
    return ICERR_OK;
}

// A record may leave a frame or header out: the codec refuses, it does not
// fault.
LRESULT Compress(const Instance* instance, ICCOMPRESS* record)
{
    if (record->lpInput == nullptr || record->lpOutput == nullptr || record->lpbiOutput == nullptr)
        return ICERR_BADPARAM;
    if (!AcceptsInput(instance, record->lpbiInput) || record->lpbiInput->biCompression != BI_RGB)
        return ICERR_BADFORMAT;
    if (Receipts(instance))
        return CompressWithReceipt(instance, record);
    size_t inputSize = ImageSize(record->lpbiInput);
    size_t written = PackBitsEncode(static_cast<const uint8_t*>(record->lpInput), inputSize,
                                    static_cast<uint8_t*>(record->lpOutput));
    FillCompressedFormat(instance, record->lpbiInput, record->lpbiOutput);
    record->lpbiOutput->biSizeImage = static_cast<DWORD>(written);
    if (record->lpckid)
        *record->lpckid = mmioFOURCC('0', '0', 'd', 'c');
    if (record->lpdwFlags)
        *record->lpdwFlags = AVIIF_KEYFRAME;
    return ICERR_OK;
}

LRESULT Decompress(const Instance* instance, ICDECOMPRESS* record)
{
    if (!IsCompressedFormat(instance, record->lpbiInput) || !IsPicture(record->lpbiOutput))
        return ICERR_BADFORMAT;
    if (record->lpInput == nullptr || record->lpOutput == nullptr)
        return ICERR_BADPARAM;
    size_t capacity = ImageSize(record->lpbiOutput);
    size_t written
        = PackBitsDecode(static_cast<const uint8_t*>(record->lpInput), record->lpbiInput->biSizeImage,
                         static_cast<uint8_t*>(record->lpOutput), capacity);
    return written == capacity ? ICERR_OK : ICERR_BADFORMAT;
}

// A frame with its receipt: packed bytes, then the receipt, which says
// whether they are a key frame or a difference from the picture before.
bool DecodeWithReceipt(const uint8_t* input, size_t size, uint8_t* output, size_t capacity, bool draw)
{
    TestCodecReceipt receipt;
    if (size < sizeof receipt)
        return false;
    std::memcpy(&receipt, input + size - sizeof receipt, sizeof receipt);
    std::vector<uint8_t> picture(capacity);
    if (PackBitsDecode(input, size - sizeof receipt, picture.data(), capacity) != capacity)
        return false;
    bool key = (receipt.flags & ICCOMPRESS_KEYFRAME) != 0 || receipt.previous == 0;
    for (size_t i = 0; draw && i < capacity; ++i)
        output[i] = key ? picture[i] : output[i] ^ picture[i];
    return true;
}

// ICM_DECOMPRESS and ICM_DECOMPRESSEX with receipts; `rectangles` stands
// for the record's fields that ICDECOMPRESS lacks.
LRESULT DecompressWithReceipt(const Instance* instance, DWORD flags, const BITMAPINFOHEADER* inputHeader,
                              const void* input, BITMAPINFOHEADER* outputHeader, void* output,
                              uint32_t ckidOrRectangles)
{
    if (!IsCompressedFormat(instance, inputHeader) || !IsPicture(outputHeader))
        return ICERR_BADFORMAT;
    size_t capacity = ImageSize(outputHeader);
    bool decode = input != nullptr && (flags & ICDECOMPRESS_NULLFRAME) == 0;
    bool draw = decode && (flags & ICDECOMPRESS_HURRYUP) == 0;
    // A frame is decoded into a picture: without one, nothing bounds it.
    if (decode && output == nullptr)
        return ICERR_BADPARAM;
    if (decode
        && !DecodeWithReceipt(static_cast<const uint8_t*>(input), inputHeader->biSizeImage,
                              static_cast<uint8_t*>(output), capacity, draw))
        return ICERR_BADFORMAT;
    outputHeader->biSizeImage = draw ? static_cast<DWORD>(capacity) : 0;
    outputHeader->biXPelsPerMeter = static_cast<LONG>(flags);
    outputHeader->biYPelsPerMeter = static_cast<LONG>(ckidOrRectangles);
    outputHeader->biClrImportant = instance->palette;
    return ICERR_OK;
}

LRESULT DecompressEx(const Instance* instance, UINT message, const ICDECOMPRESSEX* record)
{
    if (record == nullptr || !IsCompressedFormat(instance, record->lpbiSrc))
        return ICERR_BADFORMAT;
    if (message != ICM_DECOMPRESSEX)
        return ICERR_OK;
    const uint32_t rectangles = Hash(&record->xDst, 8 * sizeof(int));
    return DecompressWithReceipt(instance, record->dwFlags, record->lpbiSrc, record->lpSrc, record->lpbiDst,
                                 record->lpDst, rectangles);
}

uint32_t FramesInfoHash(const ICCOMPRESSFRAMES* info)
{
    if (info == nullptr)
        return 0;
    uint32_t hash = HashOf(info->dwFlags);
    for (LONG value : {info->lStartFrame, info->lFrameCount, info->lQuality, info->lDataRate, info->lKeyRate})
        hash = HashOf(value, hash);
    for (DWORD value : {info->dwRate, info->dwScale, info->dwOverheadPerFrame})
        hash = HashOf(value, hash);
    return hash;
}

uint32_t PaletteHash(const BITMAPINFOHEADER* header)
{
    if (header == nullptr)
        return 0;
    DWORD colours
        = header->biClrUsed != 0 || header->biBitCount > 8 ? header->biClrUsed : 1u << header->biBitCount;
    return Hash(reinterpret_cast<const uint8_t*>(header) + header->biSize, colours * sizeof(RGBQUAD),
                HashOf(*header));
}

LRESULT WriteValue(LPARAM place, DWORD value)
{
    if (place == 0)
        return ICERR_BADPARAM;
    *reinterpret_cast<DWORD*>(place) = value;
    return ICERR_OK;
}

LRESULT Serve(Instance* instance, UINT message, LPARAM lParam1, LPARAM lParam2)
{
    const BITMAPINFOHEADER* input = reinterpret_cast<const BITMAPINFOHEADER*>(lParam1);
    BITMAPINFOHEADER* output = reinterpret_cast<BITMAPINFOHEADER*>(lParam2);
    switch (message) {
    case DRV_LOAD:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_FREE:
    case DRV_EXITSESSION:
    case DRV_POWER:
        return 1;
    case DRV_QUERYCONFIGURE:
    case DRV_CONFIGURE:
        return 0;
    case ICM_GETINFO:
        return GetInfo(instance, reinterpret_cast<ICINFO*>(lParam1), lParam2);
    case ICM_GETSTATE:
        if (lParam1 != 0)
            std::memcpy(reinterpret_cast<void*>(lParam1), "STAT", 4);
        return 4;
    case ICM_SETSTATE:
        return lParam2;
    case ICM_CONFIGURE:
    case ICM_ABOUT:
        return ShowDialog(instance, message, lParam1);
    case ICM_GETDEFAULTQUALITY:
        if (lParam1 != 0)
            *reinterpret_cast<DWORD*>(lParam1) = 7500;
        return ICERR_OK;
    case ICM_COMPRESS_QUERY:
        if (!AcceptsInput(instance, input))
            return ICERR_BADFORMAT;
        return output == nullptr || IsCompressedFormat(instance, output) ? ICERR_OK : ICERR_BADFORMAT;
    case ICM_COMPRESS_GET_FORMAT:
        if (!AcceptsInput(instance, input))
            return ICERR_BADFORMAT;
        if (output == nullptr)
            return sizeof(BITMAPINFOHEADER);
        FillCompressedFormat(instance, input, output);
        return ICERR_OK;
    case ICM_COMPRESS_GET_SIZE:
        return AcceptsInput(instance, input) ? static_cast<LRESULT>(LargestFrame(instance, input))
                                             : ICERR_BADFORMAT;
    case ICM_COMPRESS_BEGIN:
        return AcceptsInput(instance, input) && IsCompressedFormat(instance, output) ? ICERR_OK
                                                                                     : ICERR_BADFORMAT;
    case ICM_COMPRESS:
        return Compress(instance, reinterpret_cast<ICCOMPRESS*>(lParam1));
    case ICM_DECOMPRESS_QUERY:
        if (!IsCompressedFormat(instance, input))
            return ICERR_BADFORMAT;
        // As some decoders do, the query sizes a picture the program left unsized.
        if (IsPicture(output) && output->biSizeImage == 0)
            output->biSizeImage = static_cast<DWORD>(ImageSize(output));
        return ICERR_OK;
    case ICM_DECOMPRESS_GET_FORMAT:
        if (!IsCompressedFormat(instance, input))
            return ICERR_BADFORMAT;
        if (output == nullptr)
            return sizeof(BITMAPINFOHEADER);
        if (instance->control != nullptr && instance->control->formatFromRgb32Only != 0) {
            if (!IsPicture(output) || output->biSize < sizeof *output || output->biBitCount != 32)
                return ICERR_BADFORMAT;
            output->biBitCount = 24;
        }
        DecompressedFormat(input, output);
        return ICERR_OK;
    case ICM_DECOMPRESS_BEGIN:
        return IsCompressedFormat(instance, input) ? ICERR_OK : ICERR_BADFORMAT;
    case ICM_DECOMPRESS:
        if (Receipts(instance)) {
            ICDECOMPRESS* record = reinterpret_cast<ICDECOMPRESS*>(lParam1);
            return DecompressWithReceipt(instance, record->dwFlags, record->lpbiInput, record->lpInput,
                                         record->lpbiOutput, record->lpOutput, record->ckid);
        }
        return Decompress(instance, reinterpret_cast<ICDECOMPRESS*>(lParam1));
    case ICM_DECOMPRESSEX_QUERY:
    case ICM_DECOMPRESSEX_BEGIN:
    case ICM_DECOMPRESSEX:
        return DecompressEx(instance, message, reinterpret_cast<const ICDECOMPRESSEX*>(lParam1));
    case ICM_DECOMPRESSEX_END:
        return ICERR_OK;
    case ICM_DECOMPRESS_SET_PALETTE:
        instance->palette = PaletteHash(input);
        return ICERR_OK;
    case ICM_COMPRESS_FRAMES_INFO:
        instance->framesInfo = FramesInfoHash(reinterpret_cast<const ICCOMPRESSFRAMES*>(lParam1));
        return ICERR_OK;
    case ICM_SETQUALITY:
        instance->quality = static_cast<uint32_t>(lParam1);
        return ICERR_OK;
    case ICM_GETQUALITY:
        return WriteValue(lParam1, instance->quality);
    case ICM_GETDEFAULTKEYFRAMERATE:
        return WriteValue(lParam1, 15);
    case ICM_GETBUFFERSWANTED:
        return WriteValue(lParam1, 2);
    case ICM_COMPRESS_END:
    case ICM_DECOMPRESS_END:
        return ICERR_OK;
    default:
        return ICERR_UNSUPPORTED;
    }
}

LRESULT Spoil(LPARAM first, LPARAM second)
{
    DWORD was;
    for (LPARAM header : {first, second})
        if (header != 0)
            VirtualProtect(reinterpret_cast<void*>(header), sizeof(BITMAPINFOHEADER), PAGE_NOACCESS, &was);
    return ICERR_OK;
}

LRESULT Open(ICOPEN* open)
{
    if (open == nullptr)
        return reinterpret_cast<LRESULT>(&g_driverInstance);
    Instance* instance = new Instance();
    instance->fcc = open->fccHandler;
    char name[64];
    std::snprintf(name, sizeof name, kTestCodecMappingFormat, static_cast<unsigned>(open->fccHandler));
    instance->mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (instance->mapping != nullptr)
        instance->control
            = static_cast<TestCodecControl*>(MapViewOfFile(instance->mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    TestCodecControl* control = instance->control;
    if (control != nullptr && control->openDelayMs != 0)
        Sleep(control->openDelayMs);
    LRESULT scripted;
    if (ScriptedAnswer(instance, DRV_OPEN, &scripted) && scripted == kAnswerFault)
        *g_nowhere = 0;
    if (control != nullptr && open->dwFlags < 32 && (control->refuseOpenModes & (1u << open->dwFlags))) {
        ++control->refusedOpenCount;
        UnmapViewOfFile(control);
        CloseHandle(instance->mapping);
        delete instance;
        open->dwError = ICERR_UNSUPPORTED;
        return 0;
    }
    ++g_moduleOpens;
    if (control != nullptr) {
        ++control->openCount;
        control->openProcess = GetCurrentProcessId();
        control->moduleOpens = g_moduleOpens;
    }
    open->dwError = ICERR_OK;
    return reinterpret_cast<LRESULT>(instance);
}

LRESULT Close(Instance* instance)
{
    if (instance == nullptr || instance == &g_driverInstance)
        return 1;
    if (instance->control != nullptr) {
        ++instance->control->closeCount;
        UnmapViewOfFile(instance->control);
    }
    if (instance->mapping != nullptr)
        CloseHandle(instance->mapping);
    delete instance;
    return 1;
}

}

extern "C" LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR, UINT message, LPARAM lParam1, LPARAM lParam2)
{
    if (message == DRV_OPEN)
        return Open(reinterpret_cast<ICOPEN*>(lParam2));
    Instance* instance = reinterpret_cast<Instance*>(id);
    if (message == DRV_CLOSE)
        return Close(instance);
    if (instance == nullptr)
        instance = &g_driverInstance;
    Record(instance, message, lParam1, lParam2);
    LRESULT result;
    if (ScriptedAnswer(instance, message, &result)) {
        if (result == kAnswerFault)
            *g_nowhere = 0;
        if (result == kAnswerThreadFault) {
            HANDLE worker = CreateThread(nullptr, 0, FaultOnThread, nullptr, 0, nullptr);
            WaitForSingleObject(worker, INFINITE);
            CloseHandle(worker);
            return ICERR_OK;
        }
        while (result == kAnswerHang)
            Sleep(INFINITE);
        if (result == kAnswerOverrun)
            return Overrun(message, lParam1);
        if (result == kAnswerSpoil)
            return Spoil(lParam1, lParam2);
        return result;
    }
    return Serve(instance, message, lParam1, lParam2);
}
