#include "bench_figures.h"

#include <algorithm>
#include <cstdio>

void RunInterleaved(const std::vector<BenchFigure*>& figures, int rounds)
{
    for (int round = 0; round <= rounds; ++round) {
        for (BenchFigure* figure : figures) {
            double sample = figure->batch();
            if (round > 0)
                figure->samples.push_back(sample);
        }
    }
}

BenchSpread SpreadOf(std::vector<double> samples)
{
    if (samples.empty())
        return {0, 0, 0};
    std::sort(samples.begin(), samples.end());
    size_t last = samples.size() - 1;
    return {samples[last / 2], samples[last / 10], samples[last - last / 10]};
}

void PrintFigure(const std::string& label, const std::vector<double>& samples, const char* unit,
                 const std::string& note)
{
    BenchSpread spread = SpreadOf(samples);
    std::printf("  %-52s %9.2f %-9s (%.2f .. %.2f)  %s\n", label.c_str(), spread.median, unit, spread.low,
                spread.high, note.c_str());
}
