#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One figure of the benchmark: an operation that is timed on its own (it
// gives its microseconds, negative when it failed) and the median operation
// of each round.
struct BenchFigure {
    BenchFigure(std::string label, std::function<double()> operation, int repeats = 1)
        : label(std::move(label))
        , operation(std::move(operation))
        , repeats(repeats)
    {
    }

    std::string label;
    std::function<double()> operation;
    int repeats; // operations in each cycle
    std::vector<double> rounds;
    int failures = 0;
};

// Runs `rounds` rounds of `cycles` cycles. In a cycle every figure does its
// operations, in an order shuffled anew for each cycle (from a fixed seed,
// so that every run sees the same orders): the figures that are compared
// meet the same machine, and none always follows the same other one. A
// first round warms up and is dropped. Each round keeps the median of each
// figure's operations, so that an operation the system interrupted does not
// move it.
void RunInterleaved(const std::vector<BenchFigure*>& figures, int rounds, int cycles);

// A short run, to try the benchmark out on a busy machine: every count of
// rounds (and of series) is a tenth as large, and at least 3.
void SetShortRun(bool shortRun);
int BenchRounds(int full);

// The median and the 10th and 90th percentiles.
struct BenchSpread {
    double median;
    double low;
    double high;
};
BenchSpread SpreadOf(std::vector<double> samples);

// One value per round, `combine` of the figures' medians in that round.
std::vector<double> PerRound(const std::vector<const BenchFigure*>& figures,
                             const std::function<double(const std::vector<double>&)>& combine);

// Combinations of two figures' medians for PerRound.
double Ratio(const std::vector<double>& values);
double Difference(const std::vector<double>& values);

// Series one after the other, `count` of them: each BEGIN, two frames and
// END timed on their own, so that the first frame shows what touching a
// series' fresh views costs. Prints the figures under `title`.
struct SeriesSteps {
    const char* title;
    const char* beginLabel;
    std::function<double()> begin;
    std::function<double()> frame;
    const char* endLabel;
    std::function<double()> end;
};
void RunSeries(const SeriesSteps& steps, int count);

// One line: label, the median of the rounds and their spread (each times
// `scale`, for a unit other than the microseconds measured), then `note`.
void PrintFigure(const std::string& label, const std::vector<double>& rounds, const char* unit,
                 const std::string& note = "", double scale = 1);
void PrintFigure(const BenchFigure& figure, const char* unit, const std::string& note = "", double scale = 1);
