#include "bench/bench_figures.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

bool g_shortRun = false;

double Median(std::vector<double> values)
{
    return values.empty() ? 0 : SpreadOf(std::move(values)).median;
}

// A small generator of our own: the same orders on every run and compiler.
uint32_t NextRandom(uint32_t* state)
{
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

}

void SetShortRun(bool shortRun)
{
    g_shortRun = shortRun;
}

int BenchRounds(int full)
{
    return g_shortRun ? std::max(3, full / 10) : full;
}

void RunInterleaved(const std::vector<BenchFigure*>& figures, int rounds, int cycles)
{
    std::vector<BenchFigure*> order;
    for (BenchFigure* figure : figures)
        order.insert(order.end(), figure->repeats, figure);
    uint32_t random = 20240607;
    for (int round = 0; round <= rounds; ++round) {
        std::vector<std::vector<double>> times(figures.size());
        for (int cycle = 0; cycle < cycles; ++cycle) {
            for (size_t i = order.size(); i > 1; --i)
                std::swap(order[i - 1], order[NextRandom(&random) % i]);
            for (BenchFigure* figure : order) {
                double time = figure->operation();
                size_t index = std::find(figures.begin(), figures.end(), figure) - figures.begin();
                if (time < 0)
                    ++figure->failures;
                else
                    times[index].push_back(time);
            }
        }
        for (size_t i = 0; round > 0 && i < figures.size(); ++i)
            figures[i]->rounds.push_back(Median(times[i]));
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

std::vector<double> PerRound(const std::vector<const BenchFigure*>& figures,
                             const std::function<double(const std::vector<double>&)>& combine)
{
    std::vector<double> values;
    for (size_t round = 0; round < figures[0]->rounds.size(); ++round) {
        std::vector<double> medians;
        for (const BenchFigure* figure : figures)
            medians.push_back(figure->rounds[round]);
        values.push_back(combine(medians));
    }
    return values;
}

double Ratio(const std::vector<double>& values)
{
    return values[0] / values[1];
}

double Difference(const std::vector<double>& values)
{
    return values[0] - values[1];
}

void RunSeries(const SeriesSteps& steps, int count)
{
    std::vector<double> begins, firsts, seconds, ends, touches;
    for (int i = 0; i < count; ++i) {
        begins.push_back(steps.begin());
        firsts.push_back(steps.frame());
        seconds.push_back(steps.frame());
        ends.push_back(steps.end());
        touches.push_back(firsts.back() - seconds.back());
    }
    std::printf("%s: %d series of two frames (10th .. 90th percentile of the series)\n", steps.title, count);
    PrintFigure(steps.beginLabel, begins, "us");
    PrintFigure("the first frame of a series", firsts, "us");
    PrintFigure("the second frame", seconds, "us");
    PrintFigure("  first touches of the views (first - second)", touches, "us");
    PrintFigure(steps.endLabel, ends, "us");
}

void PrintFigure(const std::string& label, const std::vector<double>& rounds, const char* unit,
                 const std::string& note, double scale)
{
    BenchSpread spread = SpreadOf(rounds);
    std::printf("  %-62s %9.2f %-8s (%.2f .. %.2f)  %s\n", label.c_str(), spread.median * scale, unit,
                spread.low * scale, spread.high * scale, note.c_str());
}

void PrintFigure(const BenchFigure& figure, const char* unit, const std::string& note, double scale)
{
    std::string failed = figure.failures != 0 ? std::to_string(figure.failures) + " failed" : "";
    PrintFigure(figure.label, figure.rounds, unit, note.empty() ? failed : note + "  " + failed, scale);
}
