// Drives real hosts (the recording test codec and Wine's mrle, in turn) with
// structured-random requests and reports what no request may cause: a crash
// (the host ended without its codec-fault exit code), a hang (no answer
// within 5 s), an answered fault (the codec faulted, as Wine's +seh channel
// shows in this program's standard error, and the request was answered
// anyway), a silent write (outside the places the request may write in
// ParamArea, into an input frame view, at the far end of any view, or into
// the control block of an instance handed over), a judged fault (the
// recording codec, sound on every input the host's checks accept, faulted
// unasked) and a reuse breach (a broken handover taken, the driver's own
// refused, or a waiting host that served a request). Codec faults the
// fuzzer scripted, and mrle's own, are counted but are no findings.
//
//   host_fuzz64.exe <seed> <requests> <seconds> <stderr file> <findings folder>
//
// Deterministic for a seed, but for the timing of the rewriting thread.
// Exit code 0 when nothing was found.

#include <windows.h>

#include <algorithm>
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
#include "fuzz_writable.h"
#include "host_client.h"
#include "message_box_probe.h"
#include "settings_files.h"
#include "test_codec_script.h"

namespace {

const char* const kKinds[]
    = {"crash", "hang", "answered-fault", "silent-write", "judged-fault", "reuse-breach"};
enum Kind { Crash, Hang, AnsweredFault, SilentWrite, JudgedFault, ReuseBreach, KindCount };

const uint32_t kFuzzFcc = mmioFOURCC('t', 'f', 'z', 'z');
const uint32_t kMrleFcc = mmioFOURCC('m', 'r', 'l', 'e');
const uint64_t kFrameMappingSize = 4 << 20;
const uint32_t kCanaryAt = 1 << 20;
const uint32_t kCanarySize = 4096;
const uint32_t kWatched = 65536;
const uint8_t kCanary = 0xC3;
// Requests after a handover that find the old control block still open.
const uint32_t kOldBlockRequests = 64;

// A frame view and the canary at its far end, which no request may write:
// the classic pair and the views of each series kind. Only the client
// writes the input views, whose first bytes are kept to compare.
struct WatchedView {
    uint8_t* base;
    uint64_t canary;
    uint32_t kind;
    bool input;
    std::vector<uint8_t> start;
};

std::vector<WatchedView> FrameViewsOf(HostChannel& channel)
{
    std::vector<WatchedView> views = {{channel.FrameIn(), kCanaryAt, kSeriesKinds, true, {}},
                                      {channel.FrameOut(), kCanaryAt, kSeriesKinds, false, {}}};
    for (uint32_t kind = 0; kind < kSeriesKinds; ++kind) {
        for (bool input : {true, false}) {
            uint8_t* base = input ? channel.SeriesIn(kind) : channel.SeriesOut(kind);
            uint64_t size = input ? channel.SeriesInSize(kind) : channel.SeriesOutSize(kind);
            if (base != nullptr)
                views.push_back({base, size - kCanarySize, kind, input, {}});
        }
    }
    return views;
}

class Fuzzer {
public:
    explicit Fuzzer(char** argv);
    // The exit code: 0 when requests ran and nothing was found.
    int Go();

private:
    bool StartHost(bool testCodec);
    void Serve(const FuzzRequest& request);
    void HandOver(const FuzzRequest& request);
    void Ended(const FuzzRequest& request, bool hung, DWORD exitCode, const std::string& newLog, bool waiting);
    void ScribbleOldBlock();
    uint32_t CodecFcc() const { return testCodec ? kFuzzFcc : kMrleFcc; }
    void CheckOldBlock();
    void Finding(Kind kind, const std::string& detail);
    void Reproducer(const char* kind, const std::string& detail);
    std::string NewLog();
    void Rewrite();
    void DismissBoxes();

    unsigned long long seed;
    unsigned long long limit;
    double seconds;
    std::string findings;
    // The file this program's standard error goes to, read on from where
    // the last read ended.
    HANDLE log;
    unsigned long long requests = 0, refused = 0, starts = 0, scriptedFaults = 0, mrleFaults = 0,
                       mrleOverruns = 0, wholeFrames = 0, idleEnds = 0, whileWaiting = 0, toOldBlock = 0;
    unsigned long long handovers[kHandoverKinds] = {};
    unsigned long long found[KindCount] = {};
    std::atomic<unsigned long long> boxes {0};

    HANDLE rewriteEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::mutex rewriting;
    std::atomic<bool> running {true};
    std::atomic<DWORD> hostId {0};
    std::unique_ptr<HostClient> client;
    std::unique_ptr<FuzzRequests> generator;
    TestCodecScript script;
    bool testCodec = true;
    uint32_t layouts = kLayoutsClassic;
    std::vector<uint8_t> before = std::vector<uint8_t>(kParamAreaSize);
    std::deque<FuzzRequest> history;
    // The next instance's control mapping for broken handovers to name, one
    // that says it is the host's own, and the control block of the
    // instance last handed over, with what this side left in it.
    std::unique_ptr<HostChannel> spare, stranger;
    // The series kinds that have no views since the last handover: no
    // announcement, and no BEGIN of the classic layouts (which opens views
    // of its own that stay when a handshake changes the layouts). A BEGIN
    // of the whole-record layouts cannot take one of these.
    bool viewless[kSeriesKinds] = {};
    SharedMapping oldBlock;
    std::vector<uint8_t> oldBytes;
    uint32_t oldLeft = 0;
};

Fuzzer::Fuzzer(char** argv)
    : seed(std::stoull(argv[1]))
    , limit(std::stoull(argv[2]))
    , seconds(std::stod(argv[3]))
    , findings(argv[5])
    , log(CreateFileA(argv[4], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                      nullptr))
{
    CreateDirectoryA(findings.c_str(), nullptr);
}

std::string Fuzzer::NewLog()
{
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (log != INVALID_HANDLE_VALUE && ReadFile(log, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

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
    spare.reset(new HostChannel());
    stranger.reset(new HostChannel());
    if (!spare->CreateControl() || !stranger->CreateControl())
        return false;
    stranger->Control()->dwClientPid = hostId;
    oldBlock.Close();
    oldLeft = 0;
    std::fill(viewless, viewless + kSeriesKinds, false);
    generator.reset(new FuzzRequests(seed * 1000 + starts++, kFuzzFcc, testCodec));
    NewLog();
    return true;
}

void Fuzzer::Finding(Kind kind, const std::string& detail)
{
    ++found[kind];
    Reproducer(kKinds[kind], detail);
}

// The request's history and ParamArea as it was before the last one.
void Fuzzer::Reproducer(const char* kind, const std::string& detail)
{
    std::string name
        = findings + "\\fuzz-" + std::to_string(seed) + "-" + std::to_string(requests) + "-" + kind + ".txt";
    FILE* file = std::fopen(name.c_str(), "w");
    if (file == nullptr)
        return;
    std::fprintf(file,
                 "%s after request %llu of seed %llu, codec %s: %s\nlast requests, oldest first "
                 "(number wParam lParam rewrite fault-message fault-answer handover answer):\n",
                 kind, requests, seed, testCodec ? "recording" : "mrle", detail.c_str());
    for (const FuzzRequest& past : history)
        std::fprintf(file, "0x%X 0x%llX 0x%llX %d 0x%X %d %s %d\n", past.request,
                     static_cast<unsigned long long>(past.wParam),
                     static_cast<unsigned long long>(past.lParam), past.rewrite, past.faultMessage,
                     past.faultAnswer, HandoverName(past.handover), past.result);
    std::fprintf(file, "ParamArea before the last request, first 2048 bytes:\n");
    for (uint32_t i = 0; i < 2048; ++i)
        std::fprintf(file, "%02X%s", before[i], i % 32 == 31 ? "\n" : " ");
    std::fclose(file);
}

void Fuzzer::Serve(const FuzzRequest& request)
{
    if (request.handover == kValidHandover) {
        HandOver(request);
        return;
    }
    uint8_t* area = client->ParamArea();
    LPARAM lParam = request.lParam;
    if (request.handover != kNoHandover) {
        ++handovers[request.handover];
        lParam = PutBrokenHandover(request.handover, area, {spare->Name(), stranger->Name()},
                                   CodecFcc(), generator->Engine());
    }
    if (request.faultMessage != 0)
        script.Answer(request.faultMessage, request.faultAnswer);
    bool waiting = generator->Waiting();
    whileWaiting += waiting;
    ScribbleOldBlock();
    std::memcpy(before.data(), area, kParamAreaSize);
    std::vector<WatchedView> views = FrameViewsOf(client->Channel());
    for (WatchedView& view : views) {
        std::memset(view.base + view.canary, kCanary, kCanarySize);
        if (view.input)
            view.start.assign(view.base, view.base + std::min<uint64_t>(kWatched, view.canary));
    }
    if (request.rewrite)
        SetEvent(rewriteEvent);
    int32_t result = 0;
    client->Control()->dwRefusal = kRefusalNone;
    bool answered = client->SendWithin(5000, request.request, request.wParam, lParam, &result);
    ResetEvent(rewriteEvent);
    std::lock_guard<std::mutex> quiet(rewriting);
    ++requests;
    std::string newLog = NewLog();
    for (TestCodecAnswer& answer : script->answers)
        answer = TestCodecAnswer();
    if (!answered) {
        DWORD exitCode = 0;
        bool hung = !client->Host().WaitForExit(3000, &exitCode);
        Ended(request, hung, exitCode, newLog, waiting);
        return;
    }
    if (result == kHostCannotServe)
        ++refused;
    history.back().result = result;
    CheckOldBlock();
    if (request.handover != kNoHandover && result != 0)
        Finding(ReuseBreach, std::string("took a handover: ") + HandoverName(request.handover));
    else if (waiting && request.request != kRequestIdle && request.request != kRequestServe && result != 0
             && result != ICERR_UNSUPPORTED && result != kHostCannotServe)
        Finding(ReuseBreach, "a waiting host answered " + std::to_string(result));
    const UINT begins[kSeriesKinds] = {kRequestCompressBegin, kRequestDecompressBegin, kRequestDecompressExBegin};
    bool classicBegin = layouts != kLayoutsWholeRecords && std::count(begins, begins + kSeriesKinds, request.request);
    for (uint32_t kind = 0; kind < kSeriesKinds; ++kind) {
        if (request.request == begins[kind] && layouts == kLayoutsWholeRecords && result == ICERR_OK
            && viewless[kind])
            Finding(ReuseBreach, "a BEGIN with views of the instance before");
        if ((request.request == kRequestFrameViews && request.wParam == kind && result == ICERR_OK) || classicBegin)
            viewless[kind] = false;
    }
    if (newLog.find("dispatch_exception") != std::string::npos)
        Finding(AnsweredFault, "answered " + std::to_string(result) + " after:\n" + newLog.substr(0, 2000));
    if (request.request == kRequestHandshake && !waiting)
        layouts = HandshakeLayouts(static_cast<uint32_t>(result));
    if (request.request == kRequestIdle && result == 1)
        layouts = kLayoutsClassic;
    if (!request.rewrite) {
        // The host refuses by itself only before it asks the codec, and
        // says so in the whole-record layouts.
        bool refused = result == kHostCannotServe && client->Control()->dwRefusal != kRefusalNone;
        std::vector<bool> writable = Writable(request, before, layouts, waiting, refused);
        for (uint32_t i = 0; i < kParamAreaSize; ++i) {
            if (area[i] != before[i] && !writable[i]) {
                Finding(SilentWrite, "ParamArea byte " + std::to_string(i));
                break;
            }
        }
    }
    // A frame's output view may change from the frame's place on. mrle
    // writes past its frame when a delta frame skips lines, far enough to
    // reach another view: its own fault, counted like its faults.
    bool frame = request.request == kRequestCompress || request.request == kRequestDecompress
        || request.request == kRequestDecompressEx;
    for (const WatchedView& view : views) {
        bool written = view.kind == request.outputKind && request.outputFrom < view.canary + kCanarySize;
        bool intact = written
            || std::all_of(view.base + view.canary, view.base + view.canary + kCanarySize,
                           [](uint8_t byte) { return byte == kCanary; });
        auto changed = std::mismatch(view.start.begin(), view.start.end(), view.base).first;
        if (intact && changed == view.start.end())
            continue;
        std::string where = std::string(view.input ? "input" : "output") + " view of kind "
            + std::to_string(view.kind) + ", "
            + (intact ? "byte " + std::to_string(changed - view.start.begin()) : "its far end");
        if (frame && !testCodec)
            ++mrleOverruns, Reproducer("mrle-overrun", where);
        else
            Finding(SilentWrite, where);
        break;
    }
    wholeFrames += frame && result == ICERR_OK && layouts == kLayoutsWholeRecords;
    generator->Answered(request, result, client->Channel());
    if (request.handover != kNoHandover && result != 0)
        client.reset();
}

// How a host that did not answer went. One that waited may have ended at
// the end of its wait, as it should.
void Fuzzer::Ended(const FuzzRequest& request, bool hung, DWORD exitCode, const std::string& newLog,
                   bool waiting)
{
    if (hung)
        Finding(Hang, "no answer within 5 s");
    else if (waiting && exitCode == 0)
        ++idleEnds;
    else if (exitCode == kCodecFaultExitCode && request.faultMessage != 0)
        ++scriptedFaults;
    else if ((exitCode == kCodecFaultExitCode || newLog.find("Assertion") != std::string::npos) && !testCodec)
        ++mrleFaults, Reproducer("mrle-fault", "exit code " + std::to_string(exitCode));
    else
        Finding(exitCode == kCodecFaultExitCode ? JudgedFault : Crash, "exit code " + std::to_string(exitCode));
    client.reset();
}

// The driver's handover of the next instance, which a waiting host takes.
// The control block it waited with stays open here for the requests after
// it, which may still write into it.
void Fuzzer::HandOver(const FuzzRequest& request)
{
    HostChannel& channel = client->Channel();
    ++handovers[kValidHandover];
    oldBlock.Close();
    oldLeft = oldBlock.Create(channel.Name(), kControlMappingSize, false) ? kOldBlockRequests : 0;
    int32_t answer = 0;
    std::string slot = "tdl" + std::to_string(generator->Random(10));
    uint32_t asked = static_cast<uint32_t>(request.wParam);
    bool taken
        = channel.Handover(slot.c_str(), CodecFcc(), asked, 5000, &answer);
    ++requests;
    std::string newLog = NewLog();
    history.back().result = answer;
    if (channel.Failed()) {
        Ended(request, channel.HostExitCode() == STILL_ACTIVE, channel.HostExitCode(), newLog, true);
        return;
    }
    if (!taken) {
        Finding(ReuseBreach, "the driver's handover refused");
        client.reset();
        return;
    }
    layouts = HandshakeLayouts(static_cast<uint32_t>(answer));
    generator->Served(layouts);
    std::fill(viewless, viewless + kSeriesKinds, true);
    if (!client->CreateFrames(kFrameMappingSize, kFrameMappingSize))
        client.reset();
}

// Requests after a handover that a client still writes into the old
// control block: the host reads and writes only the new one, and takes
// nothing from the old one's iAlive.
void Fuzzer::ScribbleOldBlock()
{
    if (oldLeft == 0)
        return;
    uint8_t* block = oldBlock.View();
    HostControlBlock* control = reinterpret_cast<HostControlBlock*>(block);
    control->iAlive = static_cast<int32_t>(generator->Random(2));
    for (uint32_t i = 0; i < 64; ++i)
        block[sizeof(HostControlBlock) + generator->Random(4096)] = static_cast<uint8_t>(generator->Random(256));
    oldBytes.assign(block, block + sizeof(HostControlBlock) + 4096);
    ++toOldBlock;
}

void Fuzzer::CheckOldBlock()
{
    if (oldLeft == 0)
        return;
    auto changed = std::mismatch(oldBytes.begin(), oldBytes.end(), oldBlock.View()).first;
    if (changed != oldBytes.end())
        Finding(SilentWrite, "old control block byte " + std::to_string(changed - oldBytes.begin()));
    if (--oldLeft == 0)
        oldBlock.Close();
}

// While armed, scribbles over the first 4 KB of ParamArea.
void Fuzzer::Rewrite()
{
    uint64_t state = seed;
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
            ++boxes;
        } else {
            Sleep(5);
        }
    }
}

int Fuzzer::Go()
{
    if (!script.Create(kFuzzFcc) || !RegisterTestCodec("tfzz") || !AssignSlot("tdl3", kFuzzFcc)
        || !AssignSlot("tdl5", kMrleFcc))
        return 1;
    script->recording = 0;
    std::thread rewriter([this] { Rewrite(); });
    std::thread dismisser([this] { DismissBoxes(); });
    auto start = std::chrono::steady_clock::now();
    auto elapsed
        = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    uint64_t lifeStart = 0;
    bool hostFailed = false;
    while (requests < limit && elapsed() < seconds) {
        // Each host serves up to 20000 requests, the two codecs in turn.
        if (client && requests - lifeStart >= 20000)
            client.reset();
        if (!client) {
            lifeStart = requests;
            if (!StartHost(starts % 2 == 0)) {
                std::printf("fuzz: the host did not start\n");
                hostFailed = true;
                break;
            }
        }
        FuzzRequest request = generator->Next(client->Channel());
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
    oldBlock.Close();
    spare.reset();
    stranger.reset();
    UnregisterTestCodec("tfzz");
    RemoveRealSettings();
    double took = elapsed();
    std::printf(
        "fuzz: seed %llu, %llu requests in %.1f s (%.0f requests/s), %llu hosts, %llu refused with -100, "
        "%llu whole-record frames coded, %llu message boxes; codec faults caught: %llu scripted, %llu in "
        "mrle; mrle's writes into other views: %llu; findings:",
        seed, requests, took, requests / took, starts, refused, wholeFrames, boxes.load(), scriptedFaults,
        mrleFaults, mrleOverruns);
    unsigned long long total = 0;
    for (int kind = 0; kind < KindCount; ++kind) {
        std::printf(" %s %llu", kKinds[kind], found[kind]);
        total += found[kind];
    }
    std::printf("\nfuzz: reuse: %llu requests while waiting, %llu ends of a wait, %llu with an old control "
                "block; handovers:",
                whileWaiting, idleEnds, toOldBlock);
    for (uint32_t kind = 0; kind < kHandoverKinds; ++kind)
        std::printf("%s %s %llu", kind == 0 ? "" : ",", HandoverName(kind), handovers[kind]);
    std::printf("\n");
    return requests == 0 || hostFailed || total != 0 ? 1 : 0;
}

}

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::printf("usage: host_fuzz64 <seed> <requests> <seconds> <stderr file> <findings folder>\n");
        return 2;
    }
    return Fuzzer(argv).Go();
}
