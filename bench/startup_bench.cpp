// Start-up of the program through the scripted port: the release probe, the
// attach, the loading display (2,501 bar values, each followed by a repaint
// request) and the main windows opening, then the main frame closing.
#include <benchmark/benchmark.h>

#include <sstream>

#include "app/program.h"
#include "app/script_port.h"
#include "app/script_runner.h"

namespace {

void BM_ScriptedStartUpAndClose(benchmark::State& state) {
  const app::Options options = app::ParseOptions({});
  for (auto _ : state) {
    std::ostringstream transcript;
    app::ScriptCursor cursor({});
    auto port = std::make_shared<app::ScriptPort>(transcript, cursor);
    app::Program program(options, *port, port);
    app::ScriptRunner runner(program, *port, cursor);
    runner.Run();
    benchmark::DoNotOptimize(transcript.str());
  }
}
BENCHMARK(BM_ScriptedStartUpAndClose)->Unit(benchmark::kMicrosecond);

}  // namespace
