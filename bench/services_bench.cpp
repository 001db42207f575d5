// The settings store as the replace run uses it (one record set read per grid
// row), the Match Attributes window's save, and reading the notes file.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <benchmark/benchmark.h>

#include "host/rtf_reader.h"
#include "host/settings_store.h"

namespace {

constexpr const char* kApp = "QV_Cindral";
constexpr int kMatchesPerPair = 10;

std::string PairSection(int pair) {
  return "BlocksMatched\\Block_" + std::to_string(pair) + "^Replacement_" + std::to_string(pair);
}

std::vector<host::SettingValue> RecordSet() {
  std::vector<host::SettingValue> values;
  for (int i = 0; i < kMatchesPerPair; ++i) {
    values.push_back({std::to_string(i) + "^" + std::to_string(i), "OLD^NEW^1"});
  }
  values.push_back({"Separator", "-"});
  return values;
}

// A store file holding `pairs` record sets, made once per pair count.
std::filesystem::path StoreWithPairs(int pairs) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("cindral_bench_" + std::to_string(::getpid()) + "_" + std::to_string(pairs)) /
                    "cindral.sqlite";
  if (!std::filesystem::exists(file)) {
    host::SettingsStore store(file);
    for (int pair = 0; pair < pairs; ++pair) store.ReplaceSection(kApp, PairSection(pair), RecordSet());
  }
  return file;
}

void BM_ReadRecordSetOpenStore(benchmark::State& state) {
  const int pairs = static_cast<int>(state.range(0));
  host::SettingsStore store(StoreWithPairs(pairs));
  int pair = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(store.GetAllSettings(kApp, PairSection(pair)));
    pair = (pair + 1) % pairs;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadRecordSetOpenStore)->Arg(100)->Arg(10000);

// Opening the store for each read, as a caller without a long-lived connection does.
void BM_OpenStoreAndReadRecordSet(benchmark::State& state) {
  const int pairs = static_cast<int>(state.range(0));
  const auto file = StoreWithPairs(pairs);
  int pair = 0;
  for (auto _ : state) {
    host::SettingsStore store(file);
    benchmark::DoNotOptimize(store.GetAllSettings(kApp, PairSection(pair)));
    pair = (pair + 1) % pairs;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OpenStoreAndReadRecordSet)->Arg(10000);

void BM_ReplaceRecordSet(benchmark::State& state) {
  const int pairs = static_cast<int>(state.range(0));
  host::SettingsStore store(StoreWithPairs(pairs));
  const auto values = RecordSet();
  int pair = 0;
  for (auto _ : state) {
    store.ReplaceSection(kApp, PairSection(pair), values);
    pair = (pair + 1) % pairs;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReplaceRecordSet)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_ReadNotesFile(benchmark::State& state) {
  std::ifstream in(std::filesystem::path(CINDRAL_NOTES_FILE), std::ios::binary);
  const std::string rtf{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  for (auto _ : state) benchmark::DoNotOptimize(host::ReadRtf(rtf));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(rtf.size()));
}
BENCHMARK(BM_ReadNotesFile);

}  // namespace
