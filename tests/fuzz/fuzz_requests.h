#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <vector>

#include "driver/host_channel.h"
#include "fuzz_handover.h"
#include "host/host_protocol.h"

// One request of the fuzzer: the private message, its parameters, and what
// the fuzzer does around it.
struct FuzzRequest {
    UINT request = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    // A second thread rewrites ParamArea while the request is served.
    bool rewrite = false;
    // The recording codec is told to misbehave on this message (0: not).
    uint32_t faultMessage = 0;
    int32_t faultAnswer = 0;
    // A frame may be written into the output view of its series kind from
    // `outputFrom` on (kSeriesKinds: no frame).
    uint32_t outputKind = kSeriesKinds;
    uint64_t outputFrom = 0;
    // For kRequestServe: the handover's kind (fuzz_handover.h).
    uint32_t handover = kNoHandover;
    // The host's answer, for the reproducer.
    int32_t result = 0;
};

// Structured-random requests in every layout: every request number of the
// table and others beside it, headers of real formats with mutated fields,
// records with wild pointers, places and sizes, views of every series kind
// in random sizes, series of all kinds in any order and at once.
// Deterministic for a seed.
class FuzzRequests {
public:
    FuzzRequests(uint64_t seed, uint32_t codecFcc, bool scriptedCodec);

    // Fills ParamArea and the input frames, creates the views a request
    // announces, and gives the request.
    FuzzRequest Next(HostChannel& channel);

    // What the host answered to the last request.
    void Answered(const FuzzRequest& request, int32_t result, HostChannel& channel);

    // The host took a handover and speaks `layouts`: it has no series
    // open and knows no views.
    void Served(uint32_t layouts);
    // The host waits for the program's next instance.
    bool Waiting() const { return waiting; }

    uint32_t Random(uint32_t bound) { return static_cast<uint32_t>(rng() % bound); }
    std::mt19937_64& Engine() { return rng; }

private:
    struct Formats {
        BITMAPINFOHEADER input;
        BITMAPINFOHEADER output;
    };

    uint32_t Interesting();
    BITMAPINFOHEADER Format(bool compressed);
    Formats NewFormats(uint32_t kind);
    void Mutate(BITMAPINFOHEADER* header);
    uint32_t PutHeader(uint8_t* area, uint32_t offset, const BITMAPINFOHEADER& header);
    uint32_t PutPair(uint8_t* area, uint32_t offset, const BITMAPINFOHEADER* input,
                     const BITMAPINFOHEADER* output);
    uint32_t PutRecord(uint8_t* area, uint32_t size, uint32_t biInput, uint32_t biOutput,
                       const Formats& formats, bool both);
    std::vector<uint8_t> InputFrame(uint32_t kind, Formats* formats);
    void PutFrame(HostChannel& channel, uint32_t kind, FuzzRequest* next);
    void PutViews(HostChannel& channel, uint32_t kind, FuzzRequest* next);
    void PutReuse(FuzzRequest* next);
    uint32_t Place(uint64_t extent, uint64_t size);
    uint32_t WildAddress();
    void Scribble(uint8_t* data, size_t size);

    std::mt19937_64 rng;
    uint32_t codecFcc;
    bool scriptedCodec;
    uint32_t layouts = kLayoutsClassic;
    // Per series kind: the formats of its BEGINs, the generation of its
    // views, whether it is open; a BEGIN that follows new views.
    Formats series[kSeriesKinds] = {};
    uint32_t generation[kSeriesKinds] = {};
    bool open[kSeriesKinds] = {};
    uint32_t pendingBegin = kSeriesKinds;
    bool waiting = false;
    IcCompress32 learned = {};
    std::vector<uint8_t> lastFrame;
};
