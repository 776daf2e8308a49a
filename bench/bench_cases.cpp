#include "bench/bench_cases.h"

#include <algorithm>
#include <cstring>

std::vector<std::vector<uint8_t>> BenchSources(const BenchCase& bench)
{
    std::vector<std::vector<uint8_t>> sources;
    for (int i = 0; i < kBenchSources; ++i)
        sources.push_back(ClipFrame(bench.clip, i * 7));
    return sources;
}

std::string CaseName(const BenchCase& bench)
{
    return std::string(bench.fcc) + " " + std::to_string(bench.clip.width) + "x"
        + std::to_string(bench.clip.height) + " " + std::to_string(bench.clip.bitCount) + "-bit";
}

BenchFormat BenchInputFormat(const BenchCase& bench)
{
    BenchFormat format = {};
    std::vector<uint8_t> clipFormat = ClipFormat(bench.clip);
    std::memcpy(&format, clipFormat.data(), std::min(clipFormat.size(), sizeof format));
    return format;
}

double BenchMicroseconds()
{
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}
