#pragma once

// A Google Benchmark reporter that prints the usual table and, at the end, one line of figures
// ("figures: {...}") that the benchmark script gathers into a single JSON line: items per second where a
// benchmark counts items, otherwise nanoseconds per iteration.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace bench {

class FiguresReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median")
                continue;
            std::string name = run.benchmark_name();
            for (char& c : name) {
                if (c == '/' || c == ':' || c == ' ')
                    c = '_';
            }
            const auto items = run.counters.find("items_per_second");
            if (items != run.counters.end())
                Add(name + "_per_second", items->second.value);
            else
                Add(name + "_ns", run.GetAdjustedCPUTime());
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("figures: {%s}\n", m_figures.c_str());
    }

private:
    void Add(const std::string& name, double value)
    {
        char number[64];
        std::snprintf(number, sizeof number, "%.6g", value);
        m_figures += (m_figures.empty() ? "\"" : ", \"") + name + "\": " + number;
    }

    std::string m_figures;
};

// Runs the registered benchmarks with the figures line at the end.
inline int RunWithFigures(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    FiguresReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
