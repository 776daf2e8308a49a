// Measures, in one run under Wine, what a 64-bit client pays for the host.
// Every figure that is compared with another runs in short batches,
// interleaved round by round with the others, and is printed as the median
// of its batches with the 10th to 90th percentile beside it:
//   bare       a cross-process SendMessage round trip to a trivial 32-bit window
//   request    a cheap request through the host (the quality, through the
//              host's private copy of ParamArea)
//   frame req  a compression request whose codec answers at once: the round
//              trip plus the host's checks, copies and record
//   host       a 640 x 480 RGB24 frame compressed through the host, the
//              client's copies into and out of the frame mappings included
//   direct     the same frame with the same codec called directly in a
//              32-bit process
//   copies     the client's two copies alone
//   begin/end  a series opened and closed (two guarded views mapped)
// and, for comparison, a window served by a loop that sleeps 1 ms, and the
// CPU use of an idle host read from /proc. Run by scripts/bench.sh; prints
// its figures, asserts nothing.

#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "bench_figures.h"
#include "bench_frames.h"
#include "host_client.h"
#include "settings_files.h"
#include "test_codec_script.h"

namespace {

const char kCodecText[] = "tbnc";
const uint32_t kCodecFcc = mmioFOURCC('t', 'b', 'n', 'c');
const char kSlot[] = "tdl7";
const int kRounds = 60;
const DWORD kIdleMs = 10000;

std::string Unique(const char* stem)
{
    return std::string(stem) + std::to_string(GetCurrentProcessId());
}

HWND StartHelperWindow(TestProcess* helper, const std::string& arguments, const std::string& title)
{
    helper->Start(BinPath("bench_helper.exe"), arguments);
    for (int i = 0; i < 2000; ++i) {
        if (HWND window = FindWindowA("TandrelBenchWindow", title.c_str()))
            return window;
        Sleep(5);
    }
    return nullptr;
}

double SendBatch(HWND window, int count)
{
    double start = BenchMicroseconds();
    for (int i = 0; i < count; ++i)
        SendMessageA(window, kBenchPing, 0, 0);
    return (BenchMicroseconds() - start) / count;
}

// A host serving the recording codec with one compression series open.
class HostSide {
public:
    bool Start()
    {
        if (!script.Create(kCodecFcc) || !client.CreateControl() || !client.Launch(kSlot))
            return false;
        script->recording = 0;
        for (int i = 0; i < kBenchSources; ++i)
            sources.push_back(BenchFrame(i));
        client.PutHeader(0, input);
        if (client.Send(kRequestCompressGetFormat, 0, 1) != ICERR_OK)
            return false;
        output = client.HeaderAt(sizeof input);
        compressed.resize(output.biSizeImage);
        // Room for the codec's worst case, whatever biSizeImage says.
        return client.CreateFrames(kBenchFrameSize * 2, output.biSizeImage * 2) && Begin();
    }

    bool Begin()
    {
        client.PutHeader(0, input);
        client.PutHeader(sizeof input, output);
        return client.Send(kRequestCompressBegin) == ICERR_OK;
    }

    double Requests(int count)
    {
        double start = BenchMicroseconds();
        for (int i = 0; i < count; ++i)
            client.Send(kRequestGetDefaultQuality, 1, 0);
        return (BenchMicroseconds() - start) / count;
    }

    // One frame request as the client sends it; false when it failed.
    bool Compress(int frame)
    {
        IcCompress32 record = {};
        record.dwFlags = ICCOMPRESS_KEYFRAME;
        record.lFrameNum = frame;
        std::memcpy(client.ParamArea(), &record, sizeof record);
        client.PutHeader(sizeof record, input);
        client.PutHeader(sizeof record + sizeof input, output);
        return client.Send(kRequestCompress, 0, sizeof record) == ICERR_OK;
    }

    double FrameRequests(int count)
    {
        script.Answer(ICM_COMPRESS, ICERR_OK);
        double start = BenchMicroseconds();
        for (int i = 0; i < count; ++i)
            Compress(i);
        double perRequest = (BenchMicroseconds() - start) / count;
        script->answers[0] = TestCodecAnswer();
        return perRequest;
    }

    double Frames(int count)
    {
        double start = BenchMicroseconds();
        for (int i = 0; i < count; ++i, ++next) {
            std::memcpy(client.FrameIn(), sources[next % kBenchSources].data(), kBenchFrameSize);
            if (!Compress(next))
                return -1;
            uint32_t size = client.HeaderAt(sizeof(IcCompress32) + sizeof input).biSizeImage;
            std::memcpy(compressed.data(), client.FrameOut(), size);
            bytes += size;
            ++frames;
        }
        return (BenchMicroseconds() - start) / count;
    }

    double Copies(int count)
    {
        size_t size = frames != 0 ? static_cast<size_t>(bytes / frames) : compressed.size();
        double start = BenchMicroseconds();
        for (int i = 0; i < count; ++i) {
            std::memcpy(client.FrameIn(), sources[i % kBenchSources].data(), kBenchFrameSize);
            std::memcpy(compressed.data(), client.FrameOut(), size);
        }
        return (BenchMicroseconds() - start) / count;
    }

    double BeginEnds(int count)
    {
        double start = BenchMicroseconds();
        for (int i = 0; i < count; ++i) {
            Begin();
            client.Send(kRequestCompressEnd);
        }
        double perCycle = (BenchMicroseconds() - start) / count;
        Begin();
        return perCycle;
    }

    TestCodecScript script;
    HostClient client;
    BITMAPINFOHEADER input = BenchInputHeader();
    BITMAPINFOHEADER output = {};
    std::vector<std::vector<uint8_t>> sources;
    std::vector<uint8_t> compressed;
    int next = 0;
    double bytes = 0;
    double frames = 0;
};

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
        std::string commandLine;
        if (name.find_first_not_of("0123456789") == std::string::npos
            && ReadFileText("Z:\\proc\\" + name + "\\cmdline", &commandLine)
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

// The CPU use, in percent of a core, of the processes whose command lines
// hold the tokens, over the same kIdleMs.
std::vector<double> IdlePercents(const std::vector<std::string>& tokens)
{
    std::vector<std::string> pids;
    std::vector<long long> starts;
    for (const std::string& token : tokens) {
        pids.push_back(FindLinuxProcess(token));
        starts.push_back(CpuTicks(pids.back()));
    }
    Sleep(kIdleMs);
    std::vector<double> percents;
    for (size_t i = 0; i < pids.size(); ++i) {
        double ticks = static_cast<double>(CpuTicks(pids[i]) - starts[i]);
        percents.push_back(starts[i] < 0 ? -1 : ticks / 100.0 / (kIdleMs / 1000.0) * 100.0);
    }
    return percents;
}

// Per round, from the batches of that round: `combine` of the figures.
template <typename Combine>
std::vector<double> PerRound(const std::vector<BenchFigure*>& figures, Combine combine)
{
    std::vector<double> values;
    for (size_t round = 0; round < figures[0]->samples.size(); ++round) {
        std::vector<double> sample;
        for (const BenchFigure* figure : figures)
            sample.push_back(figure->samples[round]);
        values.push_back(combine(sample));
    }
    return values;
}

}

int main()
{
    std::printf("Tandrel64 benchmark: 64-bit client, 32-bit host, one run under Wine\n");
    std::string settings;
    bool hadSettings = ReadWholeFile(RealSettingsFile(), &settings);
    if (!RegisterTestCodec(kCodecText) || !AssignSlot(kSlot, kCodecFcc)) {
        std::printf("cannot register the test codec or assign slot %s\n", kSlot);
        return 1;
    }
    std::string bareTitle = Unique("TandrelBenchBare");
    std::string sleepingTitle = Unique("TandrelBenchSleeping");
    TestProcess bareHelper;
    TestProcess sleepingHelper;
    HWND bare = StartHelperWindow(&bareHelper, "window " + bareTitle + " " + kCodecText, bareTitle);
    HWND sleeping = StartHelperWindow(&sleepingHelper, "sleep-window " + sleepingTitle, sleepingTitle);
    HostSide host;
    if (bare == nullptr || sleeping == nullptr || !host.Start()) {
        std::printf("the helper windows or the host did not start\n");
        return 1;
    }

    BenchFigure bareTrip {"bare SendMessage to a trivial 32-bit window",
                          [&] { return SendBatch(bare, 100); }};
    BenchFigure request {"quality request through the host", [&] { return host.Requests(100); }};
    BenchFigure frameRequest {"frame request, codec answering at once",
                              [&] { return host.FrameRequests(20); }};
    BenchFigure hostFrame {"compress through the host, client copies included",
                           [&] { return host.Frames(5); }};
    BenchFigure directFrame {"the same codec called directly in a 32-bit process",
                             [&] { return SendMessageA(bare, kBenchDirect, 5, 0) / 10.0 / 5; }};
    BenchFigure copies {"plain copy of the input and the output frame", [&] { return host.Copies(5); }};
    BenchFigure beginEnd {"BEGIN and END of a series (guarded views)", [&] { return host.BeginEnds(5); }};
    BenchFigure sleepingTrip {"SendMessage to a window served by a 1 ms sleep loop",
                              [&] { return SendBatch(sleeping, 5); }};
    std::vector<BenchFigure*> figures
        = {&bareTrip, &request, &frameRequest, &hostFrame, &directFrame, &copies, &beginEnd, &sleepingTrip};
    RunInterleaved(figures, kRounds);

    std::vector<double> requestRatio
        = PerRound({&request, &bareTrip}, [](const std::vector<double>& s) { return s[0] / s[1]; });
    std::vector<double> extra
        = PerRound({&hostFrame, &directFrame}, [](const std::vector<double>& s) { return s[0] - s[1]; });
    std::vector<double> frameRatio
        = PerRound({&hostFrame, &directFrame, &bareTrip, &copies},
                   [](const std::vector<double>& s) { return (s[0] - s[1]) / (s[2] + s[3]); });
    std::vector<double> hostWork
        = PerRound({&frameRequest, &bareTrip}, [](const std::vector<double>& s) { return s[0] - s[1]; });
    std::vector<double> rest
        = PerRound({&hostFrame, &directFrame, &frameRequest, &copies},
                   [](const std::vector<double>& s) { return s[0] - s[1] - s[2] - s[3]; });

    std::printf("\n%d interleaved rounds; median of the rounds (10th .. 90th percentile)\n", kRounds);
    std::printf("Requests\n");
    PrintFigure(bareTrip.label, bareTrip.samples, "us");
    PrintFigure(request.label, request.samples, "us");
    PrintFigure("  request / bare", requestRatio, "x", "goal <= 1.15");
    PrintFigure(sleepingTrip.label, sleepingTrip.samples, "us");
    std::printf("640 x 480 RGB24 frames, recording test codec (PackBits), mean %.0f bytes out\n",
                host.frames != 0 ? host.bytes / host.frames : 0.0);
    PrintFigure(hostFrame.label, hostFrame.samples, "us/frame");
    PrintFigure(directFrame.label, directFrame.samples, "us/frame");
    PrintFigure(copies.label, copies.samples, "us/frame");
    PrintFigure("extra cost through the host (host - direct)", extra, "us/frame");
    PrintFigure("  extra / (bare round trip + copies)", frameRatio, "x", "goal <= 1.2");
    std::printf("Where the extra goes, per frame\n");
    PrintFigure("  the round trip (bare)", bareTrip.samples, "us");
    PrintFigure("  the host's checks, private copy and record", hostWork, "us");
    PrintFigure("  the client's copies", copies.samples, "us");
    PrintFigure("  the rest: the codec working on the shared views", rest, "us");
    std::printf("Series\n");
    PrintFigure(beginEnd.label, beginEnd.samples, "us");

    std::printf("CPU while idle for %lu s (from /proc)\n", kIdleMs / 1000);
    std::vector<double> idle = IdlePercents({"/map:" + host.client.Name(), sleepingTitle});
    std::printf("  host %.2f %% of a core; window served by a 1 ms sleep loop %.2f %% of a core\n", idle[0],
                idle[1]);

    host.client.Send(kRequestDrvClose);
    PostMessageA(bare, WM_CLOSE, 0, 0);
    PostMessageA(sleeping, WM_CLOSE, 0, 0);
    UnregisterTestCodec(kCodecText);
    if (hadSettings)
        WriteWholeFile(RealSettingsFile(), settings);
    else
        RemoveRealSettings();
    return 0;
}
