// Opening and saving a large drawing: 100,000 block references with two
// attributes each (about 48 MB of ASCII DXF), against the time to merely read
// the file's bytes. Peak memory is reported as a counter (peak_rss_MB) for the
// whole process: run one benchmark at a time (--benchmark_filter) to see its own.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cadhost/dxf/drawing_files.h"
#include "cadhost/dxf/drawing_reader.h"
#include "cadhost/dxf/drawing_writer.h"
#include "cadhost/dxf/tag_reader.h"
#include "cadhost/dxf/tag_writer.h"

namespace {

using namespace cadhost;
using namespace cadhost::dxf;

constexpr int kReferences = 100000;

void entityHead(TagWriter& w, const char* type, unsigned handle, unsigned owner, const char* layer) {
  char text[16];
  w.write(0, type);
  std::snprintf(text, sizeof text, "%X", handle);
  w.write(5, text);
  std::snprintf(text, sizeof text, "%X", owner);
  w.write(330, text);
  w.write(100, "AcDbEntity");
  w.write(8, layer);
}

void attrib(TagWriter& w, unsigned& handle, unsigned owner, double x, double y, const char* tag,
            const std::string& value) {
  entityHead(w, "ATTRIB", handle++, owner, "HEADS");
  w.write(100, "AcDbText");
  w.write(10, std::to_string(x));
  w.write(20, std::to_string(y));
  w.write(30, "0.0");
  w.write(40, "0.25");
  w.write(1, value);
  w.write(100, "AcDbAttribute");
  w.write(2, tag);
  w.write(70, "0");
}

// The large drawing, written the way CAD programs lay out an R2000 file. It
// goes to the file in parts, so that making it does not raise the peak memory
// the benchmarks report.
void writeLargeDrawing(std::ostream& file) {
  std::string out;
  TagWriter w(out, WriteFormat{});
  w.write(0, "SECTION"); w.write(2, "HEADER");
  w.write(9, "$ACADVER"); w.write(1, "AC1015");
  w.write(9, "$HANDSEED"); w.write(5, "FFFFFF");
  w.write(9, "$DWGCODEPAGE"); w.write(3, "ANSI_1252");
  w.write(0, "ENDSEC");
  w.write(0, "SECTION"); w.write(2, "TABLES");
  w.write(0, "TABLE"); w.write(2, "LAYER"); w.write(5, "2"); w.write(330, "0"); w.write(100, "AcDbSymbolTable"); w.write(70, "2");
  for (const char* layer : {"0", "HEADS"}) {
    w.write(0, "LAYER"); w.write(5, layer[0] == '0' ? "10" : "11"); w.write(330, "2");
    w.write(100, "AcDbSymbolTableRecord"); w.write(100, "AcDbLayerTableRecord");
    w.write(2, layer); w.write(70, "0"); w.write(62, "7"); w.write(6, "Continuous");
  }
  w.write(0, "ENDTAB");
  w.write(0, "TABLE"); w.write(2, "BLOCK_RECORD"); w.write(5, "1"); w.write(330, "0"); w.write(100, "AcDbSymbolTable"); w.write(70, "3");
  for (auto [handle, name] : {std::pair{"1F", "*Model_Space"}, std::pair{"1B", "*Paper_Space"}, std::pair{"30", "HEAD"}}) {
    w.write(0, "BLOCK_RECORD"); w.write(5, handle); w.write(330, "1");
    w.write(100, "AcDbSymbolTableRecord"); w.write(100, "AcDbBlockTableRecord"); w.write(2, name);
  }
  w.write(0, "ENDTAB");
  w.write(0, "ENDSEC");
  w.write(0, "SECTION"); w.write(2, "BLOCKS");
  for (auto [handle, owner, name] : {std::tuple{"20", "1F", "*Model_Space"}, std::tuple{"1C", "1B", "*Paper_Space"}, std::tuple{"31", "30", "HEAD"}}) {
    w.write(0, "BLOCK"); w.write(5, handle); w.write(330, owner); w.write(100, "AcDbEntity"); w.write(8, "0");
    w.write(100, "AcDbBlockBegin"); w.write(2, name); w.write(70, name[0] == 'H' ? "2" : "0");
    w.write(10, "0.0"); w.write(20, "0.0"); w.write(30, "0.0"); w.write(3, name); w.write(1, "");
    if (name[0] == 'H') {
      for (const char* tag : {"STATION", "MODEL"}) {
        w.write(0, "ATTDEF"); w.write(5, tag[0] == 'S' ? "32" : "33"); w.write(330, "30"); w.write(100, "AcDbEntity"); w.write(8, "0");
        w.write(100, "AcDbText"); w.write(10, "0.0"); w.write(20, "0.0"); w.write(30, "0.0"); w.write(40, "0.25"); w.write(1, "");
        w.write(100, "AcDbAttributeDefinition"); w.write(3, tag); w.write(2, tag); w.write(70, "0");
      }
    }
    w.write(0, "ENDBLK"); w.write(5, std::string(handle) + "E"); w.write(330, owner); w.write(100, "AcDbEntity"); w.write(8, "0"); w.write(100, "AcDbBlockEnd");
  }
  w.write(0, "ENDSEC");
  w.write(0, "SECTION"); w.write(2, "ENTITIES");
  unsigned handle = 0x100;
  for (int i = 0; i < kReferences; ++i) {
    const double x = 1000.0 + (i % 400) * 12.5, y = 2000.0 + (i / 400) * 12.5;
    const unsigned insert = handle++;
    entityHead(w, "INSERT", insert, 0x1F, "HEADS");
    w.write(100, "AcDbBlockReference");
    w.write(66, "1");
    w.write(2, "HEAD");
    w.write(10, std::to_string(x));
    w.write(20, std::to_string(y));
    w.write(30, "0.0");
    w.write(50, std::to_string((i % 36) * 10.0));
    attrib(w, handle, insert, x + 1.0, y - 1.0, "STATION", std::to_string(i % 48) + "-A");
    attrib(w, handle, insert, x + 1.0, y - 1.5, "MODEL", "SPRAY-" + std::to_string(10 + i % 5));
    entityHead(w, "SEQEND", handle++, insert, "HEADS");
    if (out.size() > (1 << 20)) {
      file << out;
      out.clear();
    }
  }
  w.write(0, "ENDSEC");
  w.write(0, "EOF");
  file << out;
}

const std::filesystem::path& drawingFile() {
  static const std::filesystem::path path = [] {
    auto file = std::filesystem::temp_directory_path() / "cindral_bench_large.dxf";
    std::ofstream out(file, std::ios::binary);
    writeLargeDrawing(out);
    return file;
  }();
  return path;
}

void report(benchmark::State& state, std::size_t bytes) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_ReadFileBytes(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    std::string bytes = readFileBytes(drawingFile());
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  report(state, size);
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

// What open uses: the file read into memory of its own, on huge pages.
void BM_LoadFileBytes(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    SourceBytes bytes = loadFileBytes(drawingFile());
    size = bytes.bytes.size();
    benchmark::DoNotOptimize(bytes.bytes.data());
  }
  report(state, size);
}
BENCHMARK(BM_LoadFileBytes)->Unit(benchmark::kMillisecond);

void BM_ReadTags(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    TagList tags = readTags(loadFileBytes(drawingFile()), "large.dxf");
    size = tags.bytes().size();
    benchmark::DoNotOptimize(tags.size());
  }
  report(state, size);
}
BENCHMARK(BM_ReadTags)->Unit(benchmark::kMillisecond);

void BM_OpenDrawing(benchmark::State& state) {
  std::size_t size = std::filesystem::file_size(drawingFile());
  for (auto _ : state) {
    auto db = readDrawingFile(drawingFile().string());
    benchmark::DoNotOptimize(db->EntityCount());
  }
  report(state, size);
}
BENCHMARK(BM_OpenDrawing)->Unit(benchmark::kMillisecond);

// Times writing the whole drawing as one string.
void TimeWriteToString(benchmark::State& state, const Database& db) {
  std::size_t size = 0;
  for (auto _ : state) {
    std::string bytes = writeDrawing(db);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  report(state, size);
}

void BM_SaveUnchanged(benchmark::State& state) {
  auto db = readDrawingFile(drawingFile().string());
  TimeWriteToString(state, *db);
}
BENCHMARK(BM_SaveUnchanged)->Unit(benchmark::kMillisecond);

// A save as the host does it: a temporary file beside the target, written
// from the drawing's pieces (unchanged records straight from the read file),
// flushed to disk and renamed over the target, the old file kept as .bak.
void BM_SaveUnchangedToFile(benchmark::State& state) {
  auto db = readDrawingFile(drawingFile().string());
  const std::string target = (std::filesystem::temp_directory_path() / "cindral_bench_saved.dxf").string();
  DxfDrawingFiles files;
  for (auto _ : state) files.Save(*db, target);
  report(state, std::filesystem::file_size(target));
  std::filesystem::remove(target);
  std::filesystem::remove(std::filesystem::path(target).replace_extension(".bak"));
}
BENCHMARK(BM_SaveUnchangedToFile)->Unit(benchmark::kMillisecond);

// Every attribute value changed: all 200,000 ATTRIBs are regenerated.
void BM_SaveAllAttributesChanged(benchmark::State& state) {
  auto db = readDrawingFile(drawingFile().string());
  for (std::uint32_t i = 1; i <= db->EntityCount(); ++i) {
    Entity& entity = db->At(EntityId{i});
    if (auto* attrib = std::get_if<AttribData>(&entity.data)) {
      attrib->text.value += "-X";
      entity.modified = true;
    }
  }
  TimeWriteToString(state, *db);
}
BENCHMARK(BM_SaveAllAttributesChanged)->Unit(benchmark::kMillisecond);

}  // namespace
