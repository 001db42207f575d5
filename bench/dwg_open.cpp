// Opening real DWG drawings (tests/fixtures/dwg) through the DWG reader
// helper: cold (every open converts, one node process per file) and from the
// conversion cache (the DXF and sidecar read back, no process started).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cadhost/dwg/drawing_files.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(CINDRAL_SOURCE_DIR) / "tests" / "fixtures" / "dwg";
const std::vector<std::string> kDrawings = {
    "autocad_entities_R2000.dwg",      "autocad_sample_R2004.dwg",
    "autocad_example_R2007.dwg",       "autocad_map_attribs_R2010.dwg",
    "autocad_tarch_proxies_R2013.dwg", "autocad_dynblock_visibility_R2018.dwg",
};

cadhost::dwg::DwgReaderSetup Reader(const fs::path& cache) {
  cadhost::dwg::DwgReaderSetup setup;
  setup.script = fs::path(CINDRAL_SOURCE_DIR) / "cadhost" / "dwg" / "reader" / "dwg_reader.mjs";
  setup.cacheFolder = cache;
  return setup;
}

fs::path CacheFolder() {
  std::string pattern = (fs::temp_directory_path() / "cindral-dwg-bench-XXXXXX").string();
  return ::mkdtemp(pattern.data());
}

void BM_OpenDwgCold(benchmark::State& state) {
  const fs::path file = kFixtures / kDrawings.at(static_cast<std::size_t>(state.range(0)));
  state.SetLabel(file.filename().string());
  const fs::path cache = CacheFolder();
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(cache);
    cadhost::dwg::DrawingFiles files(Reader(cache));
    state.ResumeTiming();
    benchmark::DoNotOptimize(files.Open(file.string()));
  }
  fs::remove_all(cache);
}

void BM_OpenDwgCached(benchmark::State& state) {
  const fs::path file = kFixtures / kDrawings.at(static_cast<std::size_t>(state.range(0)));
  state.SetLabel(file.filename().string());
  const fs::path cache = CacheFolder();
  cadhost::dwg::DrawingFiles files(Reader(cache));
  files.Open(file.string());  // fills the cache
  for (auto _ : state) benchmark::DoNotOptimize(files.Open(file.string()));
  if (files.converter().HelperRuns() != 1) state.SkipWithError("the cache was not used");
  fs::remove_all(cache);
}

// Each cold open is a node process of a second or so: a few are enough.
BENCHMARK(BM_OpenDwgCold)->DenseRange(0, 5)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenDwgCached)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
