#include "bench/bench_setup.h"

#include <vfw.h>

#include <fstream>
#include <iterator>

#include "bench/bench_cases.h"
#include "catalogue/open_modes.h"
#include "demo/demo_slot.h"
#include "settings/profile.h"
#include "settings/settings_paths.h"

namespace {

const int kSlots = 10;
const char kTestCodecDll[] = "tandrel_test_codec.dll";
const DWORD kSendLimitMs = 1000;

std::string SlotValueName(int slot)
{
    return "vidc.tdl" + std::to_string(slot);
}

}

bool ReadWholeFile(const std::string& path, std::string* contents)
{
    std::ifstream file(path, std::ios::binary);
    contents->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return file.is_open();
}

std::string BesideThisProgram(const char* fileName)
{
    char folder[MAX_PATH];
    return GetModuleDirectory(folder) ? std::string(folder) + "\\" + fileName : fileName;
}

BenchSetup::BenchSetup()
{
    for (int slot = 0; slot < kSlots; ++slot)
        values_.push_back({SlotValueName(slot), KEY_WOW64_64KEY, false, ""});
    values_.push_back({std::string("vidc.") + kBenchTestCodec, KEY_WOW64_32KEY, false, ""});
    values_.push_back({std::string("vidc.") + kBenchRealCodec, KEY_WOW64_64KEY, false, ""});
    for (SavedValue& value : values_)
        value.present = ReadDriverValue(value.name.c_str(), value.view, &value.data);
    char path[MAX_PATH];
    hadSettings_ = GetSettingsFilePath(path) && ReadWholeFile(path, &settings_);
}

BenchSetup::~BenchSetup()
{
    for (const SavedValue& value : values_) {
        if (value.present)
            WriteDriverValue(value.name.c_str(), value.data.c_str(), value.view);
        else
            DeleteDriverValue(value.name.c_str(), value.view);
    }
    char path[MAX_PATH];
    if (!GetSettingsFilePath(path))
        return;
    if (hadSettings_)
        std::ofstream(path, std::ios::binary) << settings_;
    else
        DeleteFileA(path);
}

bool BenchSetup::Prepare()
{
    std::string codecName = std::string("vidc.") + kBenchTestCodec;
    // A 64-bit program that looks for mrle finds a slot, not Wine's own.
    std::string realName = std::string("vidc.") + kBenchRealCodec;
    if (!WriteDriverValue(codecName.c_str(), BesideThisProgram(kTestCodecDll).c_str(), KEY_WOW64_32KEY)
        || !WriteDriverValue(realName.c_str(), "tandrel-blocked.dll", KEY_WOW64_64KEY))
        return false;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!SetSlotCodec(slot, kBenchRealCodec) || !RegisterSlotDriver(slot))
            return false;
    }
    return true;
}

// With the codec's own flags, ICM version and open modes (both codecs open
// in every mode), as the configuration tool records them, so that ICGetInfo
// and ICOpen ask no host.
bool BenchSetup::SetSlotCodec(int slot, const char* fcc)
{
    if (slotCodecs_[slot] == fcc)
        return true;
    bool real = std::string(fcc) == kBenchRealCodec;
    uint32_t flags = real ? VIDCF_QUALITY | VIDCF_CRUNCH | VIDCF_TEMPORAL : VIDCF_QUALITY;
    uint32_t version = ICVERSION;
    uint32_t openModes = RecordOpenModes([](UINT) { return true; });
    char path[MAX_PATH];
    std::string section = "tdl" + std::to_string(slot);
    bool set
        = WriteSlotSettings(slot, fcc, real ? "MRLE" : "TestCodec",
                            real ? "Run-length codec of Wine (msrle32)" : "Tandrel64 recording test codec")
        && GetSettingsFilePath(path) && ProfileWriteHex(path, section.c_str(), "dwFlags", &flags)
        && ProfileWriteHex(path, section.c_str(), "dwVersionICM", &version)
        && ProfileWriteHex(path, section.c_str(), "dwOpenModes", &openModes);
    slotCodecs_[slot] = set ? fcc : "";
    return set;
}

HelperWindow::~HelperWindow()
{
    if (window_ != nullptr)
        PostMessageA(window_, WM_CLOSE, 0, 0);
    if (!process_.WaitForExit(5000))
        process_.Terminate();
}

bool HelperWindow::Start(const char* mode)
{
    static int started = 0;
    title_ = "TandrelBench" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++started);
    std::string exe = BesideThisProgram("bench_helper.exe");
    std::string line = "\"" + exe + "\" " + mode + " " + title_;
    if (!process_.Start(exe.c_str(), line.c_str()))
        return false;
    for (int i = 0; i < 2000 && window_ == nullptr; ++i) {
        window_ = FindWindowA("TandrelBenchWindow", title_.c_str());
        if (window_ == nullptr && WaitForSingleObject(process_.Handle(), 5) != WAIT_TIMEOUT)
            return false;
    }
    return window_ != nullptr;
}

double HelperWindow::RoundTrip() const
{
    DWORD_PTR answer;
    return Timed([&] {
        return SendMessageTimeoutA(window_, kBenchPing, 0, 0, SMTO_NORMAL, kSendLimitMs, &answer) != 0;
    });
}

void EndHostsBut(DWORD kept)
{
    for (DWORD id : RunningChildrenNamed("Tandrel64.exe")) {
        HANDLE host = id != kept ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id) : nullptr;
        if (host != nullptr && TerminateProcess(host, 1))
            WaitForSingleObject(host, INFINITE);
        if (host != nullptr)
            CloseHandle(host);
    }
}
