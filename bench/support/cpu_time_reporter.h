// A console reporter that also remembers each benchmark's CPU time in
// seconds (the median when repetitions are asked for), so a benchmark
// program can print its ratios and targets after the run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CpuTimeReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                seconds_[run.benchmark_name()] = run.GetAdjustedCPUTime() * unitSeconds(run.time_unit);
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                seconds_[run.run_name.str()] = run.GetAdjustedCPUTime() * unitSeconds(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // CPU seconds of the named benchmark, 0 when it did not run.
    double time(const std::string& name) const
    {
        const auto found = seconds_.find(name);
        return found == seconds_.end() ? 0.0 : found->second;
    }

private:
    static double unitSeconds(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kSecond:
            return 1;
        case benchmark::kMillisecond:
            return 1e-3;
        case benchmark::kMicrosecond:
            return 1e-6;
        default:
            return 1e-9;
        }
    }
    std::map<std::string, double> seconds_;
};
