#pragma once

#include <windows.h>

#include <cstdint>
#include <random>

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
};

// Structured-random requests: every request number of the table and some
// outside it, headers of real formats with mutated fields, records with
// wild pointers and sizes, series in any order. Deterministic for a seed.
class FuzzRequests {
public:
    FuzzRequests(uint64_t seed, uint32_t codecFcc, bool scriptedCodec);

    // Fills ParamArea (and, for frames, the input frame) and gives the
    // request. `frameOut` holds what the last compression wrote.
    FuzzRequest Next(uint8_t* area, uint8_t* frameIn, const uint8_t* frameOut);

    // After a compression that succeeded: the addresses the host wrote into
    // its record, at which the fuzzer points previous-frame pointers, and
    // the size of the compressed frame.
    void Learn(const uint8_t* area);

    uint32_t Random(uint32_t bound) { return static_cast<uint32_t>(rng() % bound); }

private:
    BITMAPINFOHEADER Format(bool compressed);
    void Mutate(BITMAPINFOHEADER* header);
    uint32_t PutHeader(uint8_t* area, uint32_t offset, const BITMAPINFOHEADER& header);
    void PutPair(uint8_t* area, uint32_t offset, const BITMAPINFOHEADER& input,
                 const BITMAPINFOHEADER& output);
    void PutFrameRequest(uint8_t* area, uint8_t* frameIn, const uint8_t* frameOut, bool compress);
    uint32_t WildAddress();
    void Scribble(uint8_t* data, size_t size);

    std::mt19937_64 rng;
    uint32_t codecFcc;
    bool scriptedCodec;
    uint32_t layouts = kLayoutsClassic;
    // The formats of the last BEGIN the fuzzer sent.
    BITMAPINFOHEADER seriesInput = {};
    BITMAPINFOHEADER seriesOutput = {};
    IcCompress32 learned = {};
    uint32_t learnedSize = 0;
};
