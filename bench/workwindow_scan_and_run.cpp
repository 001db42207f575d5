// The work window on a large drawing: the drawing scan, and a replace run of
// every row with replacements from the drawing. The drawing holds 100,000
// block references over 200 block names with 5 attributes each; building it is
// not timed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "cadhost/application.h"
#include "cadhost/document.h"
#include "engine/replace_run.h"
#include "engine/work_window.h"
#include "forms/ui_port.h"
#include "host/error_boundary.h"
#include "host/host_state.h"
#include "inventory/frm_replace_blocks.h"
#include "selection/selection_sets.h"

namespace {

constexpr int kBlockNames = 200;
constexpr int kReferences = 100000;
constexpr int kAttributes = 5;

std::string Name(const char* prefix, int i) {
  char name[16];
  std::snprintf(name, sizeof name, "%s%03d", prefix, i);
  return name;
}

// A port that draws nothing and answers every question with Yes.
class QuietPort : public forms::UiPort {
 public:
  forms::MessageAnswer ShowMessage(const forms::MessageBoxRequest& box) override {
    return box.buttons == forms::MessageButtons::YesNo ? forms::MessageAnswer::Yes
                                                       : forms::MessageAnswer::Ok;
  }
  void DoEvents() override {}
  void Repaint(const forms::Form&) override {}
  bool ActivateTopLevel(std::string_view) override { return true; }
  void SetTopmost(const forms::Form&) override {}
  void ClearTopmost(const forms::Form&) override {}

 protected:
  void OnShow(const forms::Form&) override {}
  void OnHide(const forms::Form&) override {}
  void OnUnload(const forms::Form&) override {}
  void OnActivate(const forms::Form&) override {}
};

// One host with the generated drawing, and the work window over it.
struct Setup {
  Setup() {
    const auto config = std::filesystem::temp_directory_path() /
                        ("cindral_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    app = cadhost::HostApplication::Create(cadhost::HostOptions{.version = "17.0", .services = {}});
    doc = app->NewDocument();
    auto blocks = doc->Blocks();
    for (const char* prefix : {"OLD", "NEW"}) {
      for (int b = 0; b < kBlockNames; ++b) {
        auto block = blocks->Add({0, 0, 0}, Name(prefix, b));
        block->AddLightWeightPolyline({0, 0, 2, 0, 2, 1, 0, 1});
        for (int a = 0; a < kAttributes; ++a) {
          block->AddAttribute(0.1, 0, "?", {0.2, 0.2 * a, 0}, "TAG" + std::to_string(a), "v");
        }
      }
    }
    auto model = doc->ModelSpace();
    for (int i = 0; i < kReferences; ++i) {
      model->InsertBlock({10.0 * (i % 316), 10.0 * (i / 316), 0}, Name("OLD", i % kBlockNames), 1, 1, 1, 0);
    }
    host::Host() = host::HostState();
    host::Host().application = app;
    host::Host().activeDocument = doc;
    selection::M_Select() = selection::SelectState();
    selection::InitialiseSelectionFilter();
    engine::WireReplaceBlocks(form, boundary, {});
    form.Load();
  }
  std::shared_ptr<cadhost::HostApplication> app;
  std::shared_ptr<cadhost::HostDocument> doc;
  QuietPort ui;
  host::ErrorBoundary boundary{ui};
  inventory::Frm_ReplaceBlocks form{ui};
};

void BM_DrawingScan(benchmark::State& state) {
  Setup setup;
  for (auto _ : state) {
    setup.form.Form_Load();
    benchmark::DoNotOptimize(setup.form.MSHBlockDefs.Rows());
  }
  state.counters["rows"] = setup.form.MSHBlockDefs.Rows() - 1;
}
BENCHMARK(BM_DrawingScan)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReplaceRunEveryRow(benchmark::State& state) {
  long long replaced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto setup = std::make_unique<Setup>();
    auto& grid = setup->form.MSHBlockDefs;
    for (int row = 1; row < grid.Rows(); ++row) {
      grid.TextMatrix(row, 4, "NEW" + grid.TextMatrix(row, 0).substr(3));
      grid.TextMatrix(row, 5, "In Drawing");
    }
    state.ResumeTiming();
    const engine::RunReport report = engine::ReplaceBlocks(setup->form, {});
    state.PauseTiming();
    if (report.end != engine::RunEnd::Completed) state.SkipWithError("the run did not complete");
    replaced += setup->form.MSHBlockDefs.Rows() - 1;
    setup.reset();
    state.ResumeTiming();
  }
  state.counters["rows"] = static_cast<double>(replaced) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReplaceRunEveryRow)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

