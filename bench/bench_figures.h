#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One figure of the benchmark: a batch that measures a few operations and
// gives microseconds per operation, and the results of its batches.
struct BenchFigure {
    BenchFigure(std::string label, std::function<double()> batch)
        : label(std::move(label))
        , batch(std::move(batch))
    {
    }

    std::string label;
    std::function<double()> batch;
    std::vector<double> samples;
};

// Runs `rounds` rounds of one batch of every figure in turn, so that the
// figures that are compared see the same machine; a first round warms up
// and is dropped.
void RunInterleaved(const std::vector<BenchFigure*>& figures, int rounds);

// The median and the 10th and 90th percentiles.
struct BenchSpread {
    double median;
    double low;
    double high;
};

BenchSpread SpreadOf(std::vector<double> samples);

// One line: label, median and spread, then `note`.
void PrintFigure(const std::string& label, const std::vector<double>& samples, const char* unit,
                 const std::string& note = "");
