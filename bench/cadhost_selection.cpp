// Selections of the built-in host on large drawings: a filtered selection by
// block name and a window-polygon selection, on drawings of 10,000 up to
// 1,000,000 block references over 1,000 block names. The figure that matters
// is the time per entity found, which should not grow with the drawing.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "cadhost/application.h"
#include "cadhost/document.h"

namespace {

using namespace cadhost;

constexpr int kBlockNames = 1000;
constexpr double kSpacing = 10.0;  // between references on the grid

std::string BlockName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "B%04d", i);
  return name;
}

// Builds the drawing straight into a database, as the file reader does: a
// square grid of references, block names taken in turn, so every name is
// spread over the whole drawing.
class GridLoader : public DrawingLoader {
 public:
  explicit GridLoader(int references) : references_(references) {}
  std::unique_ptr<Database> Open(const std::string&) override {
    auto db = Database::CreateNew();
    for (int i = 0; i < kBlockNames; ++i) {
      BlockDefinition block;
      block.name = BlockName(i);
      BlockId id = db->AddBlock(std::move(block));
      Entity outline;
      outline.data = LwPolylineData{{{0, 0}, {2, 0}, {2, 1}, {0, 1}}, 1};
      db->AddEntity(id, std::move(outline));
    }
    int side = static_cast<int>(std::ceil(std::sqrt(references_)));
    for (int k = 0; k < references_; ++k) {
      Entity reference;
      InsertData insert;
      insert.blockName = BlockName(k % kBlockNames);
      insert.insertion = {(k % side) * kSpacing, (k / side) * kSpacing, 0};
      reference.data = std::move(insert);
      db->AddEntity(db->ModelSpace(), std::move(reference));
    }
    return db;
  }
  BlockId InsertAsBlock(Database&, const std::string&) override { return {}; }

 private:
  int references_;
};

std::shared_ptr<HostDocument> Drawing(int references) {
  static std::map<int, std::pair<std::shared_ptr<HostApplication>, std::shared_ptr<HostDocument>>> cache;
  auto it = cache.find(references);
  if (it != cache.end()) return it->second.second;
  cache.clear();  // one large drawing in memory at a time
  HostOptions options;
  options.services.loader = std::make_shared<GridLoader>(references);
  auto app = HostApplication::Create(options);
  auto doc = app->OpenDocument("grid.dxf");
  doc->drawing().index();  // the indexes are built once, when a drawing is first searched
  cache[references] = {app, doc};
  return doc;
}

void FoundCounters(benchmark::State& state, long found) {
  state.counters["found"] = static_cast<double>(found);
  state.counters["per_found"] = benchmark::Counter(
      static_cast<double>(found), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_SelectAllByBlockName(benchmark::State& state) {
  auto doc = Drawing(static_cast<int>(state.range(0)));
  auto sets = doc->SelectionSets();
  long found = 0;
  int name = 0;
  for (auto _ : state) {
    auto set = sets->Add("SS2");
    set->Select(cad::SelectMode::All, {{2, 67}, {BlockName(name++ % kBlockNames), ""}});
    found = set->Count();
    set->Delete();
  }
  FoundCounters(state, found);
}
BENCHMARK(BM_SelectAllByBlockName)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

void BM_SelectWindowPolygon(benchmark::State& state) {
  auto doc = Drawing(static_cast<int>(state.range(0)));
  auto sets = doc->SelectionSets();
  // An L-shaped (concave) window of 40 x 40 grid cells less a 20 x 20 notch:
  // about 1,200 references lie wholly inside.
  const double s = kSpacing, x0 = 5 * s - 1, y0 = 5 * s - 1;
  const std::vector<double> polygon{x0, y0, 0, x0 + 40 * s, y0, 0, x0 + 40 * s, y0 + 20 * s, 0,
                                    x0 + 20 * s, y0 + 20 * s, 0, x0 + 20 * s, y0 + 40 * s, 0,
                                    x0, y0 + 40 * s, 0};
  long found = 0;
  for (auto _ : state) {
    auto set = sets->Add("SS2");
    set->SelectByPolygon(cad::SelectMode::WindowPolygon, polygon, {{67}, {""}});
    found = set->Count();
    set->Delete();
  }
  FoundCounters(state, found);
}
BENCHMARK(BM_SelectWindowPolygon)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

}  // namespace
