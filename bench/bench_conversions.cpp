// SPDX-License-Identifier: GPL-3.0-or-later
// The text conversions against what the standard library does on the same
// input: reading with std::strtod, writing with std::to_chars at 15
// significant digits. Each benchmark goes once through a mix of what users
// type and what the handlers write; after the usual table it prints each
// conversion's median time over its standard-library counterpart's.
#include "numtext/Conversions.h"

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// Typed results, ages and calculator operands, a text with blanks, the
// largest exponent a user might try, and Arabic-Indic digits (std::strtod
// stops at the first of those, which only makes it faster).
const std::array<std::string, 10> kTexts = {
    "2064", "25", "6.5", "-3", "1.66666666666667", "  7  ", "1e308", "٢٠٦٤", "٢٥", "٦٫٥",
};

// What the handlers write: whole answers, quotients with 15 digits, negative
// and exponent-form values.
constexpr std::array<double, 10> kValues = {
    21, 79, 21.79, 5.0 / 3, 2.0 / 3, -4, 3.5, 1.995, 1e20, 5.6789e-12,
};

void lenient(benchmark::State& state) {
    for (auto _ : state)
        for (const std::string& text : kTexts)
            benchmark::DoNotOptimize(numtext::lenientToNumber(text));
    state.SetItemsProcessed(state.iterations() * std::ssize(kTexts));
}

void strict(benchmark::State& state) {
    for (auto _ : state)
        for (const std::string& text : kTexts)
            benchmark::DoNotOptimize(numtext::strictToNumber(text));
    state.SetItemsProcessed(state.iterations() * std::ssize(kTexts));
}

void strtodOnTexts(benchmark::State& state) {
    for (auto _ : state)
        for (const std::string& text : kTexts) {
            char* end = nullptr;
            benchmark::DoNotOptimize(std::strtod(text.c_str(), &end));
            benchmark::DoNotOptimize(end);
        }
    state.SetItemsProcessed(state.iterations() * std::ssize(kTexts));
}

void numberToText(benchmark::State& state) {
    for (auto _ : state)
        for (const double value : kValues)
            benchmark::DoNotOptimize(numtext::numberToText(value));
    state.SetItemsProcessed(state.iterations() * std::ssize(kValues));
}

void toCharsOnValues(benchmark::State& state) {
    for (auto _ : state)
        for (const double value : kValues) {
            std::array<char, 32> buffer;
            const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                               std::chars_format::general, 15);
            benchmark::DoNotOptimize(buffer);
            benchmark::DoNotOptimize(written.ptr);
        }
    state.SetItemsProcessed(state.iterations() * std::ssize(kValues));
}

// At most this many times as long as the standard library takes.
constexpr double targetRatio = 2.0;

// Each conversion and the standard-library call it is measured against.
const std::array<std::pair<const char*, const char*>, 3> kPairs = {{
    {"lenientToNumber", "strtod"},
    {"strictToNumber", "strtod"},
    {"numberToText", "to_chars"},
}};

// Shows the usual table and keeps each benchmark's median CPU time for the
// ratios: on a shared machine it varies far less than the wall-clock time.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // Plain text: the table goes to scripts and logs as often as to a terminal.
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // Returns false when a pair was not measured (filtered out or failed).
    bool printRatios() const {
        bool complete = true;
        std::printf("\nconversion       ours (CPU ns)  standard (CPU ns)  ratio\n");
        for (const auto& [ours, standard] : kPairs) {
            const auto a = m_medians.find(ours);
            const auto b = m_medians.find(standard);
            if (a == m_medians.end() || b == m_medians.end()) {
                complete = false;
                continue;
            }
            const double ratio = a->second / b->second;
            std::printf("%-16s %13.1f  %17.1f  %5.2f  vs %s: %s the target of %.0f x\n", ours,
                        a->second, b->second, ratio, standard,
                        ratio <= targetRatio ? "meets" : "MISSES", targetRatio);
        }
        return complete;
    }

  private:
    std::map<std::string, double> m_medians;
};

} // namespace

int main(int argc, char* argv[]) {
    benchmark::RegisterBenchmark("lenientToNumber", lenient);
    benchmark::RegisterBenchmark("strictToNumber", strict);
    benchmark::RegisterBenchmark("strtod", strtodOnTexts);
    benchmark::RegisterBenchmark("numberToText", numberToText);
    benchmark::RegisterBenchmark("to_chars", toCharsOnValues);

    // Medians of several repetitions unless told otherwise on the command line.
    std::vector<char*> arguments(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
    arguments.insert(arguments.begin() + 1, {repetitions.data(), aggregatesOnly.data()});
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 2;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.printRatios() ? 0 : 1;
}
