// Sorting the work window's block grid through the sort list, and "Clear
// Flags" in a drawing full of flag marks. A sort is one ComboSort click on a
// grid of 10,000 block rows (generic by name, numeric by count, numeric over
// layer names that are not numbers); Clear Flags erases 10,000 flag texts
// among as many untagged ones. Filling the grid and building the drawing are
// not timed.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "cadhost/application.h"
#include "cadhost/document.h"
#include "forms/recording_port.h"
#include "host/host_state.h"
#include "inventory/block_grid.h"
#include "inventory/frm_replace_blocks.h"
#include "selection/selection_sets.h"
#include "setup/clear_flags.h"
#include "setup/grid_sort.h"

namespace {

// Rows in an order that none of the keys has: names, counts and layers
// scattered by a multiplicative step.
void FillGrid(forms::FlexGrid& grid, int rows) {
  grid.Rows(0);
  grid.Cols(inventory::kGridColumns);
  grid.AddItem(inventory::HeaderRowText());
  for (int i = 0; i < rows; ++i) {
    const int scattered = static_cast<int>((static_cast<long long>(i) * 7919) % rows);
    const std::string name = "BLOCK" + std::to_string(scattered);
    grid.AddItem(inventory::ScannedRowText(name, scattered % 500 + 1, 2, 0, "TAG1^TAG2"));
    grid.TextMatrix(i + 1, inventory::kColLayer, i % 3 == 0 ? std::to_string(scattered % 40) : "IRR_" + name);
  }
  grid.FixedRows(1);
  grid.Row(0);
}

// range(0): grid rows; range(1): the ComboSort entry chosen.
void BM_ComboSortClick(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const int entry = static_cast<int>(state.range(1));
  forms::RecordingPort ui;
  inventory::Frm_ReplaceBlocks form(ui);
  setup::WireGridSort(form);
  for (const char* text : inventory::kSortEntries) form.ComboSort.AddItem(text);
  for (auto _ : state) {
    state.PauseTiming();
    FillGrid(form.MSHBlockDefs, rows);
    form.ComboSort.ListIndex(-1);
    state.ResumeTiming();
    form.ComboSort.ListIndex(entry);
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ComboSortClick)
    ->Args({10000, 0})   // "Block Name", generic
    ->Args({10000, 1})   // "Dwg Count", numeric
    ->Args({10000, 8})   // "Layer", numeric over names
    ->Unit(benchmark::kMillisecond);

// range(0): flag texts in model space, beside as many untagged texts.
void BM_ClearFlags(benchmark::State& state) {
  const int flags = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto app = cadhost::HostApplication::Create(cadhost::HostOptions{.version = "17.0", .services = {}});
    auto doc = app->NewDocument();
    cad::BlockPtr model = doc->ModelSpace();
    const cad::XData flagData{{1001, std::string("Flags")}, {1000, std::string("Zero Att's")}};
    for (int i = 0; i < flags; ++i) {
      model->AddText("Zero Att's", {10.0 * i, 0, 0}, 1.0)->SetXData(flagData);
      model->AddText("note", {10.0 * i, 5, 0}, 1.0);
    }
    host::Host() = host::HostState();
    host::Host().application = app;
    host::Host().activeDocument = doc;
    selection::M_Select() = selection::SelectState();
    selection::InitialiseSelectionFilter();
    state.ResumeTiming();
    setup::CmdClearFlags_Click("Flags");
    state.PauseTiming();
    if (model->Count() != flags) state.SkipWithError("the flag texts were not all erased");
    host::Host() = host::HostState();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * flags);
}
BENCHMARK(BM_ClearFlags)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
