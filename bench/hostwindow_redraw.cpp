// Redraws of the host window's drawing area on a drawing of 100,000 block
// references (each a block of an outline, a circle and a line, with one
// attribute value), painted offscreen into a window-sized image. The goal is
// a full redraw under 100 ms: with the whole drawing in view, with display
// lists already built (pan, zoom) and right after a change (lists rebuilt),
// and zoomed in on a small part (culling through the spatial index).
#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "cadhost/drawing.h"
#include "gui/drawing_display_list.h"
#include "gui/drawing_painter.h"

namespace {

using namespace cadhost;

constexpr int kReferences = 100000;
constexpr int kBlockNames = 100;
constexpr double kSpacing = 10.0;

std::string BlockName(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "DOOR%03d", i);
  return name;
}

std::unique_ptr<Drawing> LargeDrawing() {
  auto db = Database::CreateNew();
  for (int i = 0; i < kBlockNames; ++i) {
    BlockDefinition block;
    block.name = BlockName(i);
    BlockId id = db->AddBlock(std::move(block));
    Entity outline;
    outline.type = "LWPOLYLINE";
    outline.data = LwPolylineData{{{0, 0}, {4, 0, 0, 0, 0.4}, {4, 3}, {0, 3}}, 1};
    db->AddEntity(id, std::move(outline));
    Entity circle;
    circle.type = "CIRCLE";
    circle.color = cad::kColorByBlock;
    circle.data = CircleData{{2, 1.5, 0}, 1};
    db->AddEntity(id, std::move(circle));
    Entity line;
    line.type = "LINE";
    line.color = 3;
    line.data = LineData{{0, 0, 0}, {4, 3, 0}};
    db->AddEntity(id, std::move(line));
  }
  const int side = static_cast<int>(std::ceil(std::sqrt(kReferences)));
  for (int i = 0; i < kReferences; ++i) {
    Entity reference;
    reference.type = "INSERT";
    reference.color = 1 + i % 6;
    InsertData insert;
    insert.blockName = BlockName(i % kBlockNames);
    insert.insertion = {(i % side) * kSpacing, (i / side) * kSpacing, 0};
    insert.rotation = (i % 4) * 0.5;
    reference.data = insert;
    EntityId id = db->AddEntity(db->ModelSpace(), std::move(reference));
    Entity attribute;
    attribute.type = "ATTRIB";
    AttribData value;
    value.tag = "NUMBER";
    value.text.value = "D" + std::to_string(i);
    value.text.insertion = {(i % side) * kSpacing, (i / side) * kSpacing - 1.5, 0};
    value.text.height = 1.0;
    attribute.data = value;
    db->AddSubEntity(id, std::move(attribute));
  }
  return std::make_unique<Drawing>(std::move(db));
}

Drawing& Shared() {
  static std::unique_ptr<Drawing> drawing = LargeDrawing();
  return *drawing;
}

void Redraw(benchmark::State& state, double zoom, bool rebuildLists) {
  Drawing& drawing = Shared();
  gui::DisplayLists lists(drawing.db());
  QImage image(1600, 1000, QImage::Format_RGB32);
  gui::ViewMapping view;
  view.width = image.width();
  view.height = image.height();
  view.Fit(gui::ModelSpaceExtents(drawing, lists));
  view.ZoomAbout(QPointF(view.width / 2.0, view.height / 2.0), zoom);
  {  // the spatial index and display lists are built once, before timing
    QPainter painter(&image);
    gui::PaintModelSpace(painter, drawing, lists, view);
  }
  for (auto _ : state) {
    if (rebuildLists) lists.Clear();
    image.fill(Qt::black);
    QPainter painter(&image);
    gui::PaintModelSpace(painter, drawing, lists, view);
  }
  state.counters["references"] = kReferences;
}

void BM_FullView(benchmark::State& state) { Redraw(state, 1.0, false); }
void BM_FullViewAfterChange(benchmark::State& state) { Redraw(state, 1.0, true); }
void BM_ZoomedIn(benchmark::State& state) { Redraw(state, 20.0, false); }
void BM_CloseUpWithText(benchmark::State& state) { Redraw(state, 150.0, false); }

BENCHMARK(BM_FullView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullViewAfterChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomedIn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseUpWithText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");  // fonts need a GUI application, not a screen
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
