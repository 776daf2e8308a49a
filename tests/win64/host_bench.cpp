// Measures, in one run under Wine, what a 64-bit client pays for the host:
// the bare cross-process SendMessage round trip to a trivial 32-bit window,
// a cheap request through the host, compressing 640 x 480 RGB24 frames
// through the host and with the same codec called directly, the plain
// copies of a frame, and the host's CPU use while idle. For comparison, the
// same window served by a loop that sleeps 1 ms between pumps.
// Run by scripts/bench.sh; prints its figures, asserts nothing.

#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "bench_frames.h"
#include "host_client.h"
#include "settings_files.h"
#include "test_codec_script.h"

namespace {

const char kCodecText[] = "tbnc";
const char kSlot[] = "tdl7";
const char kBenchWindowClass[] = "TandrelBenchWindow";
const int kRoundTrips = 5000;
const int kFrames = 500;
const int kWarmUp = 10;
const DWORD kIdleMs = 10000;

std::string Unique(const char* stem)
{
    return std::string(stem) + std::to_string(GetCurrentProcessId());
}

HWND WaitForBenchWindow(const std::string& title)
{
    for (int i = 0; i < 2000; ++i) {
        HWND window = FindWindowA(kBenchWindowClass, title.c_str());
        if (window != nullptr)
            return window;
        Sleep(5);
    }
    return nullptr;
}

void WarmUp(HWND window, HostClient* client)
{
    for (int i = 0; i < 100; ++i) {
        SendMessageA(window, WM_USER + 30, 0, 0);
        client->Send(kRequestGetDefaultQuality);
    }
}

// Bare sends and sends through the host in alternating batches, so that
// both see the same machine; the mean of each in `bare` and `host`.
void RoundTrips(HWND window, HostClient* client, double* bare, double* host)
{
    const int batches = 10;
    double bareTotal = 0;
    double hostTotal = 0;
    for (int batch = 0; batch < batches; ++batch) {
        double start = BenchMicroseconds();
        for (int i = 0; i < kRoundTrips / batches; ++i)
            SendMessageA(window, WM_USER + 30, 0, 0);
        double middle = BenchMicroseconds();
        for (int i = 0; i < kRoundTrips / batches; ++i)
            client->Send(kRequestGetDefaultQuality);
        bareTotal += middle - start;
        hostTotal += BenchMicroseconds() - middle;
    }
    *bare = bareTotal / kRoundTrips;
    *host = hostTotal / kRoundTrips;
}

double SendRoundTrip(HWND window, int count)
{
    for (int i = 0; i < 20; ++i)
        SendMessageA(window, WM_USER + 30, 0, 0);
    double start = BenchMicroseconds();
    for (int i = 0; i < count; ++i)
        SendMessageA(window, WM_USER + 30, 0, 0);
    return (BenchMicroseconds() - start) / count;
}

std::vector<std::vector<uint8_t>> Sources()
{
    std::vector<std::vector<uint8_t>> sources;
    for (int i = 0; i < 16; ++i)
        sources.push_back(BenchFrame(i));
    return sources;
}

// Compresses through the host, copies included; the mean compressed size
// goes to `bytes`.
double HostCompress(HostClient* client, double* bytes)
{
    BITMAPINFOHEADER input = BenchInputHeader();
    uint8_t* area = client->ParamArea();
    client->PutHeader(0, input);
    if (client->Send(kRequestCompressGetFormat, 0, 1) != ICERR_OK)
        return -1;
    BITMAPINFOHEADER output = client->HeaderAt(sizeof input);
    if (!client->CreateFrames(kBenchFrameSize, output.biSizeImage)
        || client->Send(kRequestCompressBegin) != ICERR_OK)
        return -1;
    std::vector<std::vector<uint8_t>> sources = Sources();
    std::vector<uint8_t> compressed(output.biSizeImage);
    double start = 0;
    double total = 0;
    for (int i = 0; i < kWarmUp + kFrames; ++i) {
        if (i == kWarmUp)
            start = BenchMicroseconds();
        std::memcpy(client->FrameIn(), sources[i % sources.size()].data(), kBenchFrameSize);
        IcCompress32 record = {};
        record.dwFlags = ICCOMPRESS_KEYFRAME;
        record.lFrameNum = i;
        std::memcpy(area, &record, sizeof record);
        client->PutHeader(sizeof record, input);
        client->PutHeader(sizeof record + sizeof input, output);
        if (client->Send(kRequestCompress, 0, sizeof record) != ICERR_OK)
            return -1;
        uint32_t size = client->HeaderAt(sizeof record + sizeof input).biSizeImage;
        std::memcpy(compressed.data(), client->FrameOut(), size);
        if (i >= kWarmUp)
            total += size;
    }
    double perFrame = (BenchMicroseconds() - start) / kFrames;
    client->Send(kRequestCompressEnd);
    *bytes = total / kFrames;
    return perFrame;
}

// The client's two copies of a frame alone: the input into the mapping,
// `outputBytes` out of the other one.
double PlainCopies(HostClient* client, size_t outputBytes)
{
    std::vector<std::vector<uint8_t>> sources = Sources();
    std::vector<uint8_t> compressed(outputBytes);
    double start = 0;
    for (int i = 0; i < kWarmUp + kFrames; ++i) {
        if (i == kWarmUp)
            start = BenchMicroseconds();
        std::memcpy(client->FrameIn(), sources[i % sources.size()].data(), kBenchFrameSize);
        std::memcpy(compressed.data(), client->FrameOut(), outputBytes);
    }
    return (BenchMicroseconds() - start) / kFrames;
}

bool RunHelper(const std::string& arguments, DWORD timeoutMs)
{
    TestProcess helper;
    DWORD exitCode = 1;
    return helper.Start(BinPath("bench_helper.exe"), arguments) && helper.WaitForExit(timeoutMs, &exitCode)
        && exitCode == 0;
}

bool ReadFileText(const std::string& path, std::string* text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[8192];
    DWORD got = 0;
    bool read = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE;
    CloseHandle(file);
    text->assign(buffer, got);
    return read;
}

// The Linux process whose command line holds `token`: Wine's programs are
// Linux processes, and /proc is on drive Z:.
std::string FindLinuxProcess(const std::string& token)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return "";
    std::string found;
    do {
        std::string name = entry.cFileName;
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string commandLine;
        if (ReadFileText("Z:\\proc\\" + name + "\\cmdline", &commandLine)
            && commandLine.find(token) != std::string::npos)
            found = name;
    } while (found.empty() && FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

// User plus system time of a Linux process, in clock ticks (1/100 s).
long long CpuTicks(const std::string& linuxPid)
{
    std::string stat;
    if (linuxPid.empty() || !ReadFileText("Z:\\proc\\" + linuxPid + "\\stat", &stat))
        return -1;
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long long ticks = 0;
    for (int i = 0; i < 13 && fields >> field; ++i) {
        if (i == 11 || i == 12)
            ticks += std::stoll(field);
    }
    return ticks;
}

double PercentOfCore(long long ticks, DWORD ms)
{
    return ticks < 0 ? -1 : 100.0 * (static_cast<double>(ticks) / 100.0) / (ms / 1000.0);
}

}

int main()
{
    std::printf("Tandrel64 benchmark: 64-bit client, 32-bit host, one run under Wine\n\n");
    std::string settings;
    bool hadSettings = ReadWholeFile(RealSettingsFile(), &settings);
    if (!RegisterTestCodec(kCodecText) || !AssignSlot(kSlot, mmioFOURCC('t', 'b', 'n', 'c'))) {
        std::printf("cannot register the test codec or assign slot %s\n", kSlot);
        return 1;
    }

    std::string bareTitle = Unique("TandrelBenchBare");
    TestProcess bareWindow;
    bareWindow.Start(BinPath("bench_helper.exe"), "window " + bareTitle);
    HWND bare = WaitForBenchWindow(bareTitle);
    std::string sleepingTitle = Unique("TandrelBenchSleeping");
    TestProcess sleepingWindow;
    sleepingWindow.Start(BinPath("bench_helper.exe"), "sleep-window " + sleepingTitle);
    HWND sleeping = WaitForBenchWindow(sleepingTitle);
    HostClient client;
    if (bare == nullptr || sleeping == nullptr || !client.CreateControl() || !client.Launch(kSlot)) {
        std::printf("the helper windows or the host did not start\n");
        return 1;
    }

    WarmUp(bare, &client);
    double bareTrip = 0;
    double hostTrip = 0;
    RoundTrips(bare, &client, &bareTrip, &hostTrip);
    double sleepingTrip = SendRoundTrip(sleeping, kRoundTrips / 5);
    double compressedBytes = 0;
    double hostFrame = HostCompress(&client, &compressedBytes);
    double copies = PlainCopies(&client, static_cast<size_t>(compressedBytes));

    std::string resultPath = FreshTempPath("bench-direct.txt");
    double directFrame = -1;
    std::string direct;
    if (RunHelper(std::string("direct ") + kCodecText + " " + std::to_string(kFrames) + " \"" + resultPath
                      + "\"",
                  120000)
        && ReadFileText(resultPath, &direct))
        directFrame = std::stod(direct);
    DeleteFileA(resultPath.c_str());

    std::string hostLinux = FindLinuxProcess("/map:" + client.Name());
    std::string sleepingLinux = FindLinuxProcess(sleepingTitle);
    long long hostStart = CpuTicks(hostLinux);
    long long sleepingStart = CpuTicks(sleepingLinux);
    Sleep(kIdleMs);
    double hostIdle = PercentOfCore(CpuTicks(hostLinux) - hostStart, kIdleMs);
    double sleepingIdle = PercentOfCore(CpuTicks(sleepingLinux) - sleepingStart, kIdleMs);

    client.Send(kRequestDrvClose);
    PostMessageA(bare, WM_CLOSE, 0, 0);
    PostMessageA(sleeping, WM_CLOSE, 0, 0);
    UnregisterTestCodec(kCodecText);
    if (hadSettings)
        WriteWholeFile(RealSettingsFile(), settings);
    else
        RemoveRealSettings();

    double extra = hostFrame - directFrame;
    std::printf("Request round trips (%d each, in alternating batches)\n", kRoundTrips);
    std::printf("  bare SendMessage to a trivial 32-bit window          %8.1f us\n", bareTrip);
    std::printf(
        "  WM_USER+30 through the host                          %8.1f us  (%.2f x bare; goal <= 1.5)\n",
        hostTrip, hostTrip / bareTrip);
    std::printf("  the same window served by a 1 ms sleep loop          %8.1f us  (%d sends)\n", sleepingTrip,
                kRoundTrips / 5);
    std::printf("640 x 480 RGB24 frames, recording test codec (PackBits), %d frames, mean %.0f bytes out\n",
                kFrames, compressedBytes);
    std::printf("  compress through the host, client copies included    %8.1f us/frame\n", hostFrame);
    std::printf("  the same codec called directly in a 32-bit process   %8.1f us/frame\n", directFrame);
    std::printf("  extra cost through the host                          %8.1f us/frame\n", extra);
    std::printf("  plain copy of the input and the output frame         %8.1f us/frame\n", copies);
    std::printf("  extra / (bare round trip + copies)                   %8.2f      (goal <= 1.5)\n",
                extra / (bareTrip + copies));
    std::printf("CPU while idle for %lu s (from /proc)\n", kIdleMs / 1000);
    std::printf("  host                                                 %8.2f %% of a core\n", hostIdle);
    std::printf("  window served by a 1 ms sleep loop                   %8.2f %% of a core\n", sleepingIdle);
    return 0;
}
