// Drives real hosts (the recording test codec and Wine's mrle, in turn) with
// structured-random requests and reports what no request may cause:
//   crash          the host ended without its codec-fault exit code
//   hang           a request got no answer within 5 s and the host still ran
//   answered-fault the codec faulted and the request was answered anyway
//                  (the host runs with Wine's +seh channel; its exceptions
//                  appear in this program's standard error, read back here)
//   silent-write   ParamArea changed outside the places the request may
//                  write, or the input frame, or the output frame's far end
//   judged-fault   the recording codec faulted unasked: it is sound on every
//                  input the host's checks accept, so the checks let
//                  through something they could have refused
// A codec fault that the host catches (its own exit code) on a request the
// fuzzer scripted, or in mrle, is counted but is no finding.
//
//   host_fuzz64.exe <seed> <requests> <seconds> <stderr file> <findings folder>
//
// Deterministic for a seed, but for the timing of the rewriting thread.
// Exit code 0 when nothing was found.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fuzz_requests.h"
#include "host/param_layout.h"
#include "host_client.h"
#include "message_box_probe.h"
#include "settings_files.h"
#include "test_codec_script.h"

namespace {

const char* const kKinds[] = {"crash", "hang", "answered-fault", "silent-write", "judged-fault"};
enum Kind { Crash, Hang, AnsweredFault, SilentWrite, JudgedFault, KindCount };

const uint64_t kFrameMappingSize = 4 << 20;
const uint32_t kCanaryAt = 1 << 20;
const uint32_t kWatched = 65536;
const uint8_t kCanary = 0xC3;

struct Run {
    unsigned long long seed = 0;
    unsigned long long limit = 0;
    double seconds = 0;
    std::string log;
    std::string findings;
    unsigned long long requests = 0;
    unsigned long long found[KindCount] = {};
    unsigned long long scriptedFaults = 0;
    unsigned long long mrleFaults = 0;
    unsigned long long refused = 0;
    unsigned long long starts = 0;
    std::atomic<unsigned long long> boxes {0};
};

// New text in the file that this program's standard error goes to.
class LogTail {
public:
    explicit LogTail(const std::string& path)
        : file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr))
    {
    }
    ~LogTail() { CloseHandle(file); }
    std::string Read()
    {
        std::string text;
        char buffer[65536];
        DWORD got = 0;
        while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &got, nullptr)
               && got > 0)
            text.append(buffer, got);
        return text;
    }

private:
    HANDLE file;
};

// The bytes of ParamArea that the host may write for this request, from its
// own layout rules applied to what the client wrote.
std::vector<bool> Writable(const FuzzRequest& request, const std::vector<uint8_t>& before, uint32_t layouts)
{
    std::vector<bool> writable(kParamAreaSize, false);
    auto allow = [&](uint64_t from, uint64_t to) {
        for (uint64_t i = from; i < to && i < kParamAreaSize; ++i)
            writable[i] = true;
    };
    ParamCopy copy;
    copy.Start(before.data());
    ParamPlaces places;
    if (request.request == kRequestGetState && request.wParam != 0)
        allow(0, static_cast<uint32_t>(request.lParam));
    else if (request.request == kRequestGetDefaultQuality && request.wParam != 0)
        allow(0, 4);
    else if ((request.request == kRequestCompressGetFormat || request.request == kRequestDecompressGetFormat)
             && PlaceInputHeader(copy, layouts, 0, &places))
        allow(places.output, kParamAreaSize);
    else if (request.request == kRequestDecompressGetPalette
             && PlaceHeaderPair(copy, layouts, request.wParam != 0, request.lParam != 0, &places))
        allow(places.output, kParamAreaSize);
    else if (request.request == kRequestCompress
             && PlaceCompress(copy, layouts, static_cast<uint32_t>(request.lParam), &places))
        allow(0, sizeof(IcCompress32)), allow(places.output, places.flags + 4);
    return writable;
}

class Fuzzer {
public:
    explicit Fuzzer(Run* run)
        : run(run)
        , tail(run->log)
        , rewriteEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
    }
    void Go();

private:
    bool StartHost(bool testCodec);
    void Serve(const FuzzRequest& request);
    void Finding(Kind kind, const std::string& detail);
    void Reproducer(const char* kind, const std::string& detail);
    void Rewrite();
    void DismissBoxes();

    Run* run;
    LogTail tail;
    HANDLE rewriteEvent;
    std::mutex rewriting;
    std::atomic<bool> running {true};
    std::atomic<DWORD> hostId {0};
    std::unique_ptr<HostClient> client;
    std::unique_ptr<FuzzRequests> requests;
    std::unique_ptr<TestCodecScript> script;
    bool testCodec = true;
    uint32_t layouts = kLayoutsClassic;
    std::vector<uint8_t> before = std::vector<uint8_t>(kParamAreaSize);
    std::vector<uint8_t> frameBefore = std::vector<uint8_t>(kWatched);
    std::deque<FuzzRequest> history;
};

bool Fuzzer::StartHost(bool withTestCodec)
{
    testCodec = withTestCodec;
    layouts = kLayoutsClassic;
    hostId = 0;
    client.reset(new HostClient());
    SetEnvironmentVariableA("WINEDEBUG", "+seh");
    bool started = client->CreateControl() && client->Launch(testCodec ? "tdl3" : "tdl5")
        && client->CreateFrames(kFrameMappingSize, kFrameMappingSize);
    SetEnvironmentVariableA("WINEDEBUG", "-all");
    if (!started)
        return false;
    hostId = client->Host().Id();
    std::memset(client->FrameOut() + kCanaryAt, kCanary, 4096);
    std::memset(client->FrameIn() + kCanaryAt, kCanary, 4096);
    requests.reset(
        new FuzzRequests(run->seed * 1000 + run->starts++, mmioFOURCC('t', 'f', 'z', 'z'), testCodec));
    tail.Read();
    return true;
}

void Fuzzer::Finding(Kind kind, const std::string& detail)
{
    ++run->found[kind];
    Reproducer(kKinds[kind], detail);
}

// The request's history and ParamArea as it was before the last one.
void Fuzzer::Reproducer(const char* kind, const std::string& detail)
{
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%s\\fuzz-%llu-%llu-%s.txt", run->findings.c_str(), run->seed,
                  run->requests, kind);
    FILE* file = std::fopen(name, "w");
    if (file == nullptr)
        return;
    std::fprintf(file,
                 "%s after request %llu of seed %llu, codec %s: %s\nlast requests, oldest first "
                 "(number wParam lParam rewrite fault-message fault-answer):\n",
                 kind, run->requests, run->seed, testCodec ? "recording" : "mrle", detail.c_str());
    for (const FuzzRequest& past : history)
        std::fprintf(file, "0x%X 0x%llX 0x%llX %d 0x%X %d\n", past.request,
                     static_cast<unsigned long long>(past.wParam),
                     static_cast<unsigned long long>(past.lParam), past.rewrite, past.faultMessage,
                     past.faultAnswer);
    std::fprintf(file, "ParamArea before the last request, first 2048 bytes:\n");
    for (uint32_t i = 0; i < 2048; ++i)
        std::fprintf(file, "%02X%s", before[i], i % 32 == 31 ? "\n" : " ");
    std::fclose(file);
}

void Fuzzer::Serve(const FuzzRequest& request)
{
    uint8_t* area = client->ParamArea();
    if (request.faultMessage != 0)
        script->Answer(request.faultMessage, request.faultAnswer);
    std::memcpy(before.data(), area, kParamAreaSize);
    std::memcpy(frameBefore.data(), client->FrameIn(), kWatched);
    if (request.rewrite)
        SetEvent(rewriteEvent);
    int32_t result = 0;
    bool answered = client->SendWithin(5000, request.request, request.wParam, request.lParam, &result);
    ResetEvent(rewriteEvent);
    std::lock_guard<std::mutex> quiet(rewriting);
    ++run->requests;
    std::string log = tail.Read();
    for (TestCodecAnswer& answer : (*script)->answers)
        answer = TestCodecAnswer();
    if (!answered) {
        DWORD exitCode = 0;
        if (!client->Host().WaitForExit(3000, &exitCode))
            Finding(Hang, "no answer within 5 s");
        else if (exitCode == kCodecFaultExitCode && request.faultMessage != 0)
            ++run->scriptedFaults;
        else if ((exitCode == kCodecFaultExitCode || log.find("Assertion") != std::string::npos)
                 && !testCodec)
            ++run->mrleFaults, Reproducer("mrle-fault", "exit code " + std::to_string(exitCode));
        else
            Finding(exitCode == kCodecFaultExitCode ? JudgedFault : Crash,
                    "exit code " + std::to_string(exitCode));
        client.reset();
        return;
    }
    if (result == kHostCannotServe)
        ++run->refused;
    if (log.find("dispatch_exception") != std::string::npos)
        Finding(AnsweredFault, "answered " + std::to_string(result) + " after:\n" + log.substr(0, 2000));
    if (request.request == kRequestHandshake)
        layouts = HandshakeLayouts(static_cast<uint32_t>(result));
    if (!request.rewrite) {
        std::vector<bool> writable = Writable(request, before, layouts);
        for (uint32_t i = 0; i < kParamAreaSize; ++i) {
            if (area[i] != before[i] && !writable[i]) {
                Finding(SilentWrite, "ParamArea byte " + std::to_string(i));
                break;
            }
        }
    }
    bool canaries = true;
    for (uint32_t i = 0; i < 4096; ++i)
        canaries = canaries && client->FrameOut()[kCanaryAt + i] == kCanary
            && client->FrameIn()[kCanaryAt + i] == kCanary;
    if (!canaries || std::memcmp(frameBefore.data(), client->FrameIn(), kWatched) != 0)
        Finding(SilentWrite, "a frame mapping");
    if (request.request == kRequestCompress && result == ICERR_OK)
        requests->Learn(area);
}

// While armed, scribbles over the first 4 KB of ParamArea.
void Fuzzer::Rewrite()
{
    uint64_t state = run->seed;
    while (running) {
        if (WaitForSingleObject(rewriteEvent, 100) != WAIT_OBJECT_0)
            continue;
        std::lock_guard<std::mutex> writing(rewriting);
        HostClient* current = client.get();
        if (current != nullptr && WaitForSingleObject(rewriteEvent, 0) == WAIT_OBJECT_0) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            current->ParamArea()[(state >> 33) % 4096] = static_cast<uint8_t>(state >> 24);
        }
    }
}

void Fuzzer::DismissBoxes()
{
    while (running) {
        MessageBoxSeen box;
        if (hostId != 0 && WaitForMessageBox(hostId, 50, &box)) {
            AnswerMessageBox(box.window, box.buttons.empty() ? IDOK : box.buttons[0]);
            WaitUntilClosed(box.window, 2000);
            ++run->boxes;
        } else {
            Sleep(5);
        }
    }
}

void Fuzzer::Go()
{
    script.reset(new TestCodecScript());
    if (!script->Create(mmioFOURCC('t', 'f', 'z', 'z')) || !RegisterTestCodec("tfzz")
        || !AssignSlot("tdl3", mmioFOURCC('t', 'f', 'z', 'z'))
        || !AssignSlot("tdl5", mmioFOURCC('m', 'r', 'l', 'e')))
        return;
    (*script)->recording = 0;
    std::thread rewriter([this] { Rewrite(); });
    std::thread dismisser([this] { DismissBoxes(); });
    auto start = std::chrono::steady_clock::now();
    auto elapsed
        = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    uint64_t lifeStart = 0;
    while (run->requests < run->limit && elapsed() < run->seconds) {
        // Each host serves up to 20000 requests, the two codecs in turn.
        if (client && run->requests - lifeStart >= 20000)
            client.reset();
        if (!client) {
            lifeStart = run->requests;
            if (!StartHost(run->starts % 2 == 0)) {
                std::printf("fuzz: the host did not start\n");
                break;
            }
        }
        FuzzRequest request = requests->Next(client->ParamArea(), client->FrameIn(), client->FrameOut());
        history.push_back(request);
        if (history.size() > 32)
            history.pop_front();
        Serve(request);
    }
    running = false;
    SetEvent(rewriteEvent);
    rewriter.join();
    dismisser.join();
    client.reset();
    UnregisterTestCodec("tfzz");
    RemoveRealSettings();
    double seconds = elapsed();
    std::printf(
        "fuzz: seed %llu, %llu requests in %.1f s (%.0f requests/s), %llu hosts, %llu refused with -100, "
        "%llu message boxes; codec faults caught: %llu scripted, %llu in mrle; findings:",
        run->seed, run->requests, seconds, run->requests / seconds, run->starts, run->refused,
        run->boxes.load(), run->scriptedFaults, run->mrleFaults);
    for (int kind = 0; kind < KindCount; ++kind)
        std::printf(" %s %llu", kKinds[kind], run->found[kind]);
    std::printf("\n");
}

}

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::printf("usage: host_fuzz64 <seed> <requests> <seconds> <stderr file> <findings folder>\n");
        return 2;
    }
    Run run;
    run.seed = std::stoull(argv[1]);
    run.limit = std::stoull(argv[2]);
    run.seconds = std::stod(argv[3]);
    run.log = argv[4];
    run.findings = argv[5];
    CreateDirectoryA(run.findings.c_str(), nullptr);
    Fuzzer(&run).Go();
    unsigned long long findings = 0;
    for (unsigned long long count : run.found)
        findings += count;
    return run.requests == 0 || findings != 0 ? 1 : 0;
}
