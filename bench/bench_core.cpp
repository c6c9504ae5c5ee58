// The storage primitives a planner waits on when a large timetable opens or
// is saved: splitting and joining lists, parsing and writing an INI text.

#include "core/model/ini_file.h"
#include "core/model/list_text.h"

#include <benchmark/benchmark.h>

using namespace takton;

namespace {

// A timetable file: 6 sections of 30 rows, each with 512 journeys.
std::string LargeTimetableText() {
    std::string text;
    for (int s = 0; s < 6; ++s) {
        text += "[" + std::to_string(1 + s % 2) + "_Gruppe" + std::to_string(s) + "]\r\n";
        for (int r = 1; r <= 30; ++r) {
            text += std::to_string(r) + "=Station " + std::to_string(r);
            for (int j = 0; j < 512; ++j)
                text += ",08:" + std::to_string(10 + j % 50);
            text += "\r\n";
        }
    }
    return text;
}

void BM_IniParseAndReadAll(benchmark::State &state) {
    const std::string text = LargeTimetableText();
    for (auto _ : state) {
        const TIniFile ini = TIniFile::FromText(text);
        std::size_t total = 0;
        for (const auto &section : ini.ReadSections())
            total += ini.ReadSectionValues(section).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_IniParseAndReadAll);

void BM_JoinAndSplitRoute(benchmark::State &state) {
    TStringList route;
    for (int i = 0; i < 2000; ++i)
        route.push_back(i % 3 ? "Station " + std::to_string(i) : "Halt" + std::to_string(i));
    for (auto _ : state) {
        const TStringList back = SplitList(JoinList(route));
        benchmark::DoNotOptimize(back.size());
    }
}
BENCHMARK(BM_JoinAndSplitRoute);

} // namespace

BENCHMARK_MAIN();
