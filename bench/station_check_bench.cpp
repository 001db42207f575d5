// The station text reach check of one new reference, in drawings with 1,000
// and 100,000 station texts: with a text 5 units away (one reach polygon) and
// with none within reach (three polygons, then the marker). The cost per
// reference must not grow with the drawing. Building the drawing and
// inserting each new reference are not timed.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "cadhost/application.h"
#include "cadhost/document.h"
#include "engine/station_check.h"
#include "forms/recording_port.h"
#include "host/host_state.h"
#include "selection/selection_sets.h"

namespace {

constexpr double kSpacing = 100.0;  // between station texts: one text per reach
constexpr int kColumns = 300;

cad::Point3 GridPoint(int i) { return {kSpacing * (i % kColumns), kSpacing * (i / kColumns), 0}; }

// A drawing with `texts` station texts on a grid and the block the run inserts.
struct StationDrawing {
  explicit StationDrawing(int texts) {
    app = cadhost::HostApplication::Create(cadhost::HostOptions{.version = "17.0", .services = {}});
    doc = app->NewDocument();
    doc->Layers()->Add(engine::kStationTextLayer);
    auto valve = doc->Blocks()->Add({0, 0, 0}, "VALVE");
    valve->AddLightWeightPolyline({0, 0, 2, 0, 2, 1, 0, 1});
    valve->AddAttribute(0.2, 0, "Station", {0.2, 0.2, 0}, "STATION", "?");
    model = doc->ModelSpace();
    for (int i = 0; i < texts; ++i) {
      const cad::Point3 at = GridPoint(i);
      model->AddText(std::to_string(i % 99 + 1) + "-A", {at.x + 5, at.y, 0}, 1.0)
          ->Layer(engine::kStationTextLayer);
    }
    host::Host() = host::HostState();
    host::Host().application = app;
    host::Host().activeDocument = doc;
    selection::M_Select() = selection::SelectState();
    selection::InitialiseSelectionFilter();
  }
  std::shared_ptr<cadhost::HostApplication> app;
  cad::DocumentPtr doc;
  cad::BlockPtr model;
};

// range(0): station texts in the drawing; range(1): 1 when a text is within reach.
void BM_StationCheck(benchmark::State& state) {
  const int texts = static_cast<int>(state.range(0));
  const bool reachable = state.range(1) == 1;
  StationDrawing drawing(texts);
  forms::RecordingPort ui;
  engine::RunCounts counts;
  int next = 0;
  for (auto _ : state) {
    state.PauseTiming();
    cad::Point3 at = GridPoint(next++ % texts);
    if (!reachable) at.y += kSpacing / 2;  // halfway between two rows of texts
    engine::ReplacedReference reference;
    reference.newReference = drawing.model->InsertBlock(at, "VALVE", 1, 1, 1, 0);
    reference.insertionPoint = at;
    state.ResumeTiming();
    engine::CheckStationText(ui, reference, counts);
  }
  state.counters["failed"] = static_cast<double>(counts.reachCount);
}
BENCHMARK(BM_StationCheck)
    ->ArgsProduct({{1000, 100000}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
