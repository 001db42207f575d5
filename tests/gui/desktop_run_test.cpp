// The desktop program end to end, offscreen: the user opens the sample site,
// chooses a replacement in the work window's widgets, runs "Select By Poly" by
// clicking a closed polyline in the host window, sees the result in the host's
// drawing, takes the whole run back with one Undo and saves.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/program.h"
#include "gui/drawing_view.h"
#include "gui/host_window.h"
#include "gui/host_windows.h"
#include "gui/qt_port.h"

namespace gui {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitLimitMs = 20000;

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "desktop_run_test";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The ENTITIES section of a DXF text: what a run changes and an undo restores.
std::string EntitiesSection(const std::string& dxf) {
  const std::size_t start = dxf.find("ENTITIES");
  const std::size_t end = dxf.find("ENDSEC", start);
  return start == std::string::npos || end == std::string::npos ? std::string() : dxf.substr(start, end - start);
}

// Runs the event loop until `done` holds; false when it never did.
template <typename Condition>
bool RunEventsUntil(Condition done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > kWaitLimitMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// The widget that shows a control of the program's windows.
template <typename Widget>
Widget* ControlWidget(const QString& qualifiedName) {
  for (QWidget* widget : QApplication::allWidgets()) {
    if (widget->objectName() == qualifiedName) return qobject_cast<Widget*>(widget);
  }
  return nullptr;
}

void ClickAt(QWidget& widget, QPointF at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QApplication::sendEvent(&widget, &release);
}

// Block references of model space by block name.
std::map<std::string, int> ReferenceCounts(const cad::Document& document) {
  std::map<std::string, int> counts;
  const cad::BlockPtr modelSpace = document.ModelSpace();
  for (long i = 0; i < modelSpace->Count(); ++i) {
    if (auto reference = std::dynamic_pointer_cast<cad::BlockReference>(modelSpace->Item(i))) ++counts[reference->Name()];
  }
  return counts;
}

int CountOf(const std::map<std::string, int>& counts, const std::string& name) {
  const auto found = counts.find(name);
  return found == counts.end() ? 0 : found->second;
}

cad::EntityPtr EntityWithHandle(const cad::Document& document, const std::string& handle) {
  const cad::BlockPtr modelSpace = document.ModelSpace();
  for (long i = 0; i < modelSpace->Count(); ++i) {
    if (modelSpace->Item(i)->Handle() == handle) return modelSpace->Item(i);
  }
  return nullptr;
}

class DesktopRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    dir_ = fs::temp_directory_path() / ("cindral_desktop_run_" + std::to_string(::getpid()));
    fs::create_directories(dir_ / "config");
    ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    drawing_ = dir_ / "site.dxf";
    fs::copy_file(fs::path(CINDRAL_SOURCE_DIR) / "samples" / "site.dxf", drawing_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  fs::path drawing_;
};

TEST_F(DesktopRunTest, SelectByPolyPickedInTheHostWindowIsOneUndoStepAndSaves) {
  const std::string original = ReadFile(drawing_);
  QtPort port;
  auto hostWindows = std::make_shared<HostWindows>();
  app::Options options;
  options.drawings = {drawing_.string()};
  app::Program program(options, port, hostWindows);
  for (const auto& host : program.Hosts()) hostWindows->Attach(host);
  program.Start();
  ASSERT_TRUE(RunEventsUntil([&] { return program.replaceBlocks.Loaded() && program.replaceBlocks.scan.scanFinished; }));

  HostWindow* hostWindow = hostWindows->WindowOf(*program.UserHost());
  ASSERT_NE(hostWindow, nullptr);
  hostWindow->resize(900, 700);
  const cad::DocumentPtr document = program.UserHost()->ActiveDocument();
  const std::map<std::string, int> before = ReferenceCounts(*document);
  ASSERT_GT(CountOf(before, "SPRINKLER"), 0);

  // SPRINKLER (row 3) becomes ROTOR from the drawing, inside the polyline AE
  // (a pentagon over part of the site).
  auto* fromDrawing = ControlWidget<QAbstractButton>("OptRepWith(0)");
  auto* grid = ControlWidget<QTableView>("MSHBlockDefs");
  auto* replaceWith = ControlWidget<QComboBox>("ComboReplaceWith");
  auto* byPolygon = ControlWidget<QAbstractButton>("OptSelect(1)");
  auto* replace = ControlWidget<QAbstractButton>("CmdReplace");
  ASSERT_TRUE(fromDrawing && grid && replaceWith && byPolygon && replace);
  fromDrawing->click();
  ASSERT_EQ(program.replaceBlocks.MSHBlockDefs.TextMatrix(3, 0), "SPRINKLER");
  emit grid->clicked(grid->model()->index(3, 4));
  const int rotor = replaceWith->findText("ROTOR");
  ASSERT_GE(rotor, 0);
  replaceWith->setCurrentIndex(rotor);
  emit replaceWith->activated(rotor);
  ASSERT_EQ(program.replaceBlocks.MSHBlockDefs.TextMatrix(3, 4), "ROTOR");
  byPolygon->click();

  // The run asks before losing unmatched attribute values (Yes), then waits
  // for the pick in the host window, where the user clicks AE's edge.
  const cad::EntityPtr boundary = EntityWithHandle(*document, "AE");
  ASSERT_TRUE(boundary && boundary->Closed());
  const std::vector<double> corners = boundary->Coordinates();
  QStringList messages;
  bool picked = false;
  QTimer user;
  user.setInterval(20);
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      messages << box->text();
      box->button(box->buttons().contains(box->button(QMessageBox::Yes)) ? QMessageBox::Yes : QMessageBox::Ok)->click();
    } else if (hostWindow->Picking() && !picked) {
      picked = true;
      hostWindow->View().ZoomExtents();
      const double x = (corners[0] + corners[2]) / 2, y = (corners[1] + corners[3]) / 2;  // first edge's middle
      ClickAt(hostWindow->View(), hostWindow->View().Mapping().ToScreen(x, y));
    }
  });
  user.start();
  replace->click();
  ASSERT_TRUE(RunEventsUntil([&] { return program.replaceBlocks.scan.scanFinished && !hostWindow->Picking(); }));
  user.stop();
  EXPECT_TRUE(picked) << "the run never asked for the polyline";
  EXPECT_EQ(messages.size(), 1) << messages.join(" | ").toStdString();

  // Every sprinkler lies inside AE: they are now rotors.
  const std::map<std::string, int> after = ReferenceCounts(*document);
  EXPECT_EQ(CountOf(after, "SPRINKLER"), 0);
  EXPECT_EQ(CountOf(after, "ROTOR"), CountOf(before, "ROTOR") + CountOf(before, "SPRINKLER"));

  // One Undo in the host window's Edit menu takes the whole run back.
  QAction* undo = nullptr;
  for (QAction* action : hostWindow->findChildren<QAction*>()) {
    if (action->text() == "&Undo") undo = action;
  }
  ASSERT_NE(undo, nullptr);
  ASSERT_TRUE(RunEventsUntil([&] { return undo->isEnabled(); })) << "the host window offers no undo";
  undo->trigger();
  EXPECT_EQ(ReferenceCounts(*document), before);

  // Saved to its own file, the drawing's entities are those it was opened with.
  ASSERT_TRUE(hostWindow->SaveDrawing());
  EXPECT_EQ(EntitiesSection(ReadFile(drawing_)), EntitiesSection(original));
  EXPECT_EQ(ReadFile(dir_ / "site.bak"), original) << "the file as opened stays beside it";
  program.Close();
}

}  // namespace
}  // namespace gui
