// Filling and sorting a block grid of many rows, as the drawing scan and the
// sort list do on a drawing with many block definitions.
#include "forms/flex_grid.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A ten-column grid like the block grid: header plus `rows` data rows whose
// names and counts are in no particular order.
void FillBlockGrid(forms::FlexGrid& grid, int rows) {
  grid.Rows(0);
  grid.Cols(10);
  grid.FixedCols(0);
  grid.AddItem("Block Name\tCount\tAttributes\tAtt's Matched\tReplace With\tPath\tScale\tRotation\tLayer");
  for (int i = 0; i < rows; ++i) {
    const int scrambled = (i * 7919) % rows;
    grid.AddItem("BLOCK_" + std::to_string(scrambled) + "\t" + std::to_string(scrambled % 97 + 1) +
                 "\t2\t0 of 2\t\t\t* same\t* same\t* same\tTAG1^TAG2");
  }
  grid.FixedRows(1);
}

void BM_AddItemBlockRows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    forms::FlexGrid grid("MSHBlockDefs");
    FillBlockGrid(grid, rows);
    benchmark::DoNotOptimize(grid.Rows());
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AddItemBlockRows)->Arg(1000)->Arg(100000);

void BM_SortBlockGrid(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const auto code = static_cast<forms::SortCode>(state.range(1));
  forms::FlexGrid grid("MSHBlockDefs");
  for (auto _ : state) {
    state.PauseTiming();
    FillBlockGrid(grid, rows);
    grid.Row(0);
    grid.Col(0);
    grid.ColSel(code == forms::SortCode::GenericAscending ? 2 : 0);
    if (code == forms::SortCode::NumericAscending) grid.Col(1);
    state.ResumeTiming();
    grid.Sort(code);
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
// Generic over columns 0 to 2 (the scan's sort by name) and numeric on the count.
BENCHMARK(BM_SortBlockGrid)->Args({1000, 1})->Args({100000, 1})->Args({100000, 3});

}  // namespace
