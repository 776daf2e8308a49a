#include "demo/codec_lists.h"

#include <dshow.h>
#include <vfw.h>

#include <vector>

#include "catalogue/open_modes.h"
#include "demo/session_steps.h"

namespace {

DWORD UpperFourCC(DWORD fcc)
{
    DWORD upper = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        DWORD byte = (fcc >> shift) & 0xFF;
        upper |= (byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte) << shift;
    }
    return upper;
}

void Locate(const std::string& codec, const std::string& file, Transcript* transcript)
{
    PAVISTREAM stream = nullptr;
    HRESULT opened = AVIStreamOpenFromFileA(&stream, file.c_str(), streamtypeVIDEO, 0, OF_READ, nullptr);
    AddStep(transcript, "stream opened for reading", opened);
    if (FAILED(opened))
        return;
    LONG size = 0;
    AVIStreamReadFormat(stream, 0, nullptr, &size);
    std::vector<uint8_t> format(static_cast<size_t>(size > 0 ? size : 0));
    AVIStreamReadFormat(stream, 0, format.data(), &size);
    AVIStreamRelease(stream);
    HIC hic = format.size() >= sizeof(BITMAPINFOHEADER)
        ? ICLocate(ICTYPE_VIDEO, CodecFourCC(codec), Header(format), nullptr, ICMODE_DECOMPRESS)
        : nullptr;
    AddStep(transcript, "decompressor located", hic != nullptr);
    if (hic == nullptr)
        return;
    AddFormatAskedFor(hic, format, 24, transcript);
    ICClose(hic);
}

bool InVideoCompressorCategory(DWORD fcc)
{
    HRESULT initialized = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    bool listed = false;
    ICreateDevEnum* devices = nullptr;
    IEnumMoniker* monikers = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                   reinterpret_cast<void**>(&devices)))
        && devices->CreateClassEnumerator(CLSID_VideoCompressorCategory, &monikers, 0) == S_OK) {
        IMoniker* moniker = nullptr;
        while (!listed && monikers->Next(1, &moniker, nullptr) == S_OK) {
            IPropertyBag* bag = nullptr;
            VARIANT handler;
            VariantInit(&handler);
            if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&bag)))
                && SUCCEEDED(bag->Read(L"FccHandler", &handler, nullptr)) && handler.vt == VT_BSTR
                && SysStringLen(handler.bstrVal) == 4) {
                DWORD listedFcc = 0;
                for (int i = 3; i >= 0; --i)
                    listedFcc = listedFcc << 8 | (handler.bstrVal[i] & 0xFF);
                listed = UpperFourCC(listedFcc) == UpperFourCC(fcc);
            }
            VariantClear(&handler);
            if (bag != nullptr)
                bag->Release();
            moniker->Release();
        }
        monikers->Release();
    }
    if (devices != nullptr)
        devices->Release();
    if (SUCCEEDED(initialized))
        CoUninitialize();
    return listed;
}

void CompressorLists(const std::string& codec, Transcript* transcript)
{
    DWORD fcc = CodecFourCC(codec);
    bool installed = false;
    bool offered = false;
    ICINFO info;
    for (DWORD i = 0; ICInfo(ICTYPE_VIDEO, i, &info); ++i) {
        if (UpperFourCC(info.fccHandler) != UpperFourCC(fcc))
            continue;
        installed = true;
        HIC hic = ICOpen(ICTYPE_VIDEO, info.fccHandler, ICMODE_COMPRESS);
        offered = hic != nullptr;
        if (hic != nullptr)
            ICClose(hic);
    }
    AddStep(transcript, "installed", installed);
    AddStep(transcript, "offered by a chooser", offered);
    AddStep(transcript, "in the video compressor category", InVideoCompressorCategory(fcc));
}

}

uint32_t AskOpenModes(const std::string& codec)
{
    DWORD fcc = CodecFourCC(codec);
    // Held while the modes are tried: under Wine, a codec that refuses the
    // first open of its module corrupts the heap of the 32-bit program.
    HIC held = ICOpen(ICTYPE_VIDEO, fcc, ICMODE_DECOMPRESS);
    uint32_t record = RecordOpenModes([fcc](UINT mode) {
        HIC hic = ICOpen(ICTYPE_VIDEO, fcc, mode);
        if (hic != nullptr)
            ICClose(hic);
        return hic != nullptr;
    });
    if (held != nullptr)
        ICClose(held);
    return record;
}

bool RunCodecListSession(const std::vector<std::string>& arguments, Transcript* transcript)
{
    const std::string& session = arguments[0];
    if (session == "open-modes" && arguments.size() == 2)
        AddStep(transcript, "open modes", static_cast<int32_t>(AskOpenModes(arguments[1])));
    else if (session == "locate" && arguments.size() == 3)
        Locate(arguments[1], arguments[2], transcript);
    else if (session == "compressor-lists" && arguments.size() == 2)
        CompressorLists(arguments[1], transcript);
    else
        return false;
    return true;
}
