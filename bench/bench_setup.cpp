#include "bench/bench_setup.h"

#include <tlhelp32.h>

#include <cstdio>

#include "bench/bench_cases.h"
#include "demo/demo_slot.h"
#include "settings/settings_paths.h"

namespace {

const int kSlots = 10;
const char kTestCodecDll[] = "tandrel_test_codec.dll";
const DWORD kSendLimitMs = 1000;

bool ReadWholeFile(const char* path, std::string* contents)
{
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false;
    char buffer[4096];
    size_t got;
    contents->clear();
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        contents->append(buffer, got);
    std::fclose(file);
    return true;
}

bool WriteWholeFile(const char* path, const std::string& contents)
{
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    return std::fclose(file) == 0 && written;
}

std::string SlotValueName(int slot)
{
    return "vidc.tdl" + std::to_string(slot);
}

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
        WriteWholeFile(path, settings_);
    else
        DeleteFileA(path);
}

bool BenchSetup::Prepare()
{
    std::string codecName = std::string("vidc.") + kBenchTestCodec;
    if (!WriteDriverValue(codecName.c_str(), BesideThisProgram(kTestCodecDll).c_str(), KEY_WOW64_32KEY))
        return false;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!SetSlotCodec(slot, kBenchRealCodec) || !RegisterSlotDriver(slot))
            return false;
    }
    return true;
}

bool BenchSetup::SetSlotCodec(int slot, const char* fcc)
{
    bool real = std::string(fcc) == kBenchRealCodec;
    return WriteSlotSettings(slot, fcc, real ? "MRLE" : "TestCodec",
                             real ? "Run-length codec of Wine (msrle32)" : "Tandrel64 recording test codec");
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

int CountHostProcesses()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        count += lstrcmpiA(entry.szExeFile, "Tandrel64.exe") == 0 ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}
