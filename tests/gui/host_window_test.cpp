// Offscreen checks of the built-in host's window: its title follows the host,
// picks find the nearest object or cancel, undo takes a whole run back, file
// failures keep the drawing, and the painter honours colours and layers.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cadhost/application.h"
#include "cadhost/document.h"
#include "cadhost/dxf/drawing_files.h"
#include "gui/aci_colors.h"
#include "gui/command_line_pane.h"
#include "gui/drawing_display_list.h"
#include "gui/drawing_painter.h"
#include "gui/drawing_view.h"
#include "gui/host_window.h"
#include "gui/host_windows.h"
#include "gui/qt_port.h"

namespace gui {
namespace {

namespace fs = std::filesystem;
using cadhost::Point;

// One application for the whole test program, never destroyed: Qt's input
// devices outlive any static destruction order.
void EnsureApplication() {
  static int argc = 1;
  static char name[] = "host_window_test";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

cadhost::EntityId Add(cadhost::HostDocument& document, cadhost::EntityData data,
                      const std::string& layer = "0", int color = cad::kColorByLayer,
                      cadhost::BlockId container = {}) {
  cadhost::Entity entity;
  entity.type = cadhost::DxfTypeName(data);
  entity.layer = layer;
  entity.color = color;
  entity.data = std::move(data);
  cadhost::Drawing& drawing = document.drawing();
  return drawing.AddEntity(container ? container : drawing.db().ModelSpace(), std::move(entity));
}

cadhost::LwPolylineData Square(double x, double y, double side) {
  cadhost::LwPolylineData square;
  square.flags = 1;
  square.vertices = {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
  return square;
}

// A left click (press and release) at a point of the widget.
void Click(QWidget& widget, const QPointF& at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The entity sections of a saved drawing: what a run changes and an undo restores.
std::string EntitiesSection(const std::string& dxf) {
  auto start = dxf.find("ENTITIES");
  auto end = dxf.find("ENDSEC", start);
  return start == std::string::npos ? std::string() : dxf.substr(start, end - start);
}

class HostWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    dir_ = fs::temp_directory_path() / ("host_window_test_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    dialogs_.chooseOpen = [this](QWidget*) { return nextPath_; };
    dialogs_.chooseSaveAs = [this](QWidget*, const std::string&) { return nextPath_; };
    dialogs_.askUnsaved = [this](QWidget*, const std::string& name) {
      asked_.push_back(name);
      return unsavedAnswer_;
    };
    dialogs_.showError = [this](QWidget*, const std::string& message) { errors_.push_back(message); };
    windows_ = std::make_shared<HostWindows>(dialogs_);
  }
  void TearDown() override {
    windows_.reset();
    application_.reset();
    fs::remove_all(dir_);
  }

  HostWindow& Start(const std::string& version = "17.0") {
    auto files = std::make_shared<cadhost::dxf::DxfDrawingFiles>();
    cadhost::HostOptions options;
    options.version = version;
    options.services = {files, files, windows_};
    application_ = cadhost::HostApplication::Create(std::move(options));
    HostWindow& window = windows_->Attach(application_);
    application_->Visible(true);
    return window;
  }

  // A drawing of a closed square (0,0)-(10,10), a line from (100,0) to (110,0)
  // and a text at (50,50).
  std::shared_ptr<cadhost::HostDocument> SiteDrawing() {
    auto document = application_->NewDocument();
    square_ = Add(*document, Square(0, 0, 10));
    line_ = Add(*document, cadhost::LineData{{100, 0, 0}, {110, 0, 0}});
    cadhost::TextData pump;
    pump.text.value = "PUMP";
    pump.text.insertion = {50, 50, 0};
    pump.text.height = 5;
    text_ = Add(*document, pump);  // letters fill about (50,50)-(66,55)
    return document;
  }

  fs::path dir_;
  HostWindowDialogs dialogs_;
  std::optional<std::string> nextPath_;
  UnsavedAnswer unsavedAnswer_ = UnsavedAnswer::Cancel;
  std::vector<std::string> asked_;
  std::vector<std::string> errors_;
  std::shared_ptr<HostWindows> windows_;
  std::shared_ptr<cadhost::HostApplication> application_;
  cadhost::EntityId square_, line_, text_;
};

TEST_F(HostWindowTest, TitleFollowsActiveDrawingAndWindowFollowsApplicationState) {
  HostWindow& window = Start();
  EXPECT_EQ(window.windowTitle(), "AutoCAD");
  auto first = SiteDrawing();
  EXPECT_EQ(window.windowTitle(), "AutoCAD - [Drawing1.dwg]");
  application_->NewDocument();
  EXPECT_EQ(window.windowTitle(), "AutoCAD - [Drawing2.dwg]");
  window.SwitchTo(first);
  EXPECT_EQ(window.windowTitle(), "AutoCAD - [Drawing1.dwg]");
  EXPECT_EQ(window.View().Document(), first);

  QtPort port;
  EXPECT_TRUE(port.ActivateTopLevel("AutoCAD"));
  application_->WindowState(cad::kWindowMaximized);
  EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);
  application_->WindowState(cad::kWindowNormal);
  EXPECT_FALSE(window.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
  application_->Visible(false);
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(port.ActivateTopLevel("AutoCAD"));
}

TEST_F(HostWindowTest, MapHostIsFoundByItsOwnProductName) {
  HostWindow& window = Start("15.06");
  SiteDrawing();
  EXPECT_EQ(window.windowTitle(), "Autodesk Map - [Drawing1.dwg]");
  EXPECT_TRUE(QtPort().ActivateTopLevel("Autodesk Map"));
}

TEST_F(HostWindowTest, PickFindsNearestObjectShowsPromptAndEscCancels) {
  HostWindow& window = Start();
  auto document = SiteDrawing();
  window.resize(800, 600);
  QApplication::processEvents();
  window.View().ZoomExtents();
  DrawingView& view = window.View();
  const ViewMapping& mapping = view.Mapping();

  struct Case {
    const char* name;
    Point at;                  // plan point clicked; no click when Esc is pressed
    bool escape;
    cadhost::EntityId* expected;  // null: nothing picked
  };
  cadhost::EntityId none;
  const double twoPixels = 2 / mapping.scale;
  const std::vector<Case> cases = {
      {"edge of the square", {10 + twoPixels, 5, 0}, false, &square_},
      {"on the line", {105, -twoPixels, 0}, false, &line_},
      {"inside the square, far from its edges", {5, 5, 0}, false, &none},
      {"within the text's letters", {58, 52.5, 0}, false, &text_},
      {"escape", {}, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QString promptSeen;
    QTimer::singleShot(0, &view, [&] {
      promptSeen = window.CommandLine().PromptText();
      if (c.escape) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&view, &escape);
        return;
      }
      Click(view, mapping.ToScreen(c.at.x, c.at.y));
    });
    try {
      cad::PickedEntity picked = document->Utility()->GetEntity("Select a Polyline");
      ASSERT_TRUE(c.expected && *c.expected) << "picked " << picked.entity->Handle();
      std::string handle = cadhost::HandleText(document->drawing().db().At(*c.expected).handle);
      EXPECT_EQ(picked.entity->Handle(), handle);
      EXPECT_NEAR(picked.point.x, c.at.x, 1e-6);
    } catch (const cad::HostError& failure) {
      EXPECT_TRUE(!c.expected || !*c.expected) << failure.what();
      EXPECT_STREQ(failure.what(), c.escape ? "The user cancelled the pick" : "Nothing was picked");
    }
    EXPECT_EQ(promptSeen, "Select a Polyline:");
    EXPECT_FALSE(window.Picking());
    EXPECT_EQ(window.CommandLine().PromptText(), "Command:");
  }
}

TEST_F(HostWindowTest, PickSkipsObjectsOnLayersThatAreOffAndEndsWhenTheDrawingCloses) {
  HostWindow& window = Start();
  auto document = SiteDrawing();
  cadhost::LayerRecord hidden;
  hidden.name = "HIDDEN";
  hidden.color = -cad::kColorRed;
  document->drawing().AddLayer(hidden);
  document->drawing().ChangeEntity(square_, [](cadhost::Entity& e) { e.layer = "HIDDEN"; });
  window.resize(800, 600);
  QApplication::processEvents();
  window.View().ZoomExtents();
  const ViewMapping& mapping = window.View().Mapping();
  QTimer::singleShot(0, &window, [&] {
    Click(window.View(), mapping.ToScreen(10, 5));
  });
  application_->WindowState(cad::kWindowMinimized);
  application_->Visible(false);
  EXPECT_THROW(document->Utility()->GetEntity("Select a Polyline"), cad::HostError);
  // A pick brings a hidden or minimised window back to be picked in.
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(application_->Visible());
  EXPECT_EQ(application_->WindowState(), cad::kWindowNormal);

  // The drawing closes under a waiting pick: the pick is cancelled, not left hanging.
  QTimer::singleShot(0, &window, [&] { document->Close(); });
  EXPECT_THROW(document->Utility()->GetEntity("Select a Polyline"), cad::HostError);
  EXPECT_FALSE(window.Picking());
}

TEST_F(HostWindowTest, WheelZoomsAboutTheCursorAndDraggingPans) {
  HostWindow& window = Start();
  SiteDrawing();
  window.resize(800, 600);
  QApplication::processEvents();
  DrawingView& view = window.View();
  view.ZoomExtents();
  const ViewMapping& mapping = view.Mapping();

  const QPointF cursor(200, 150);
  const Point underCursor = mapping.ToPlan(cursor);
  const double scale = mapping.scale;
  QWheelEvent wheel(cursor, view.mapToGlobal(cursor), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &wheel);
  EXPECT_NEAR(mapping.scale, scale * 1.2 * 1.2, scale * 1e-9);  // two notches in
  EXPECT_NEAR(mapping.ToPlan(cursor).x, underCursor.x, 1e-9);
  EXPECT_NEAR(mapping.ToPlan(cursor).y, underCursor.y, 1e-9);

  // The plan point grabbed stays under the mouse as it moves.
  const QPointF from(300, 300), to(350, 260);
  const Point grabbed = mapping.ToPlan(from);
  QMouseEvent press(QEvent::MouseButtonPress, from, view.mapToGlobal(from), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent move(QEvent::MouseMove, to, view.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, to, view.mapToGlobal(to), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  for (QMouseEvent* event : {&press, &move, &release}) QApplication::sendEvent(&view, event);
  EXPECT_NEAR(mapping.ToPlan(to).x, grabbed.x, 1e-9);
  EXPECT_NEAR(mapping.ToPlan(to).y, grabbed.y, 1e-9);
}

TEST_F(HostWindowTest, UndoTakesBackAWholeRunAndRedoMakesItAgain) {
  HostWindow& window = Start();
  auto document = SiteDrawing();
  const fs::path before = dir_ / "before.dxf", after = dir_ / "after.dxf", redone = dir_ / "redone.dxf";
  document->SaveAs(before.string());

  // A run: erase, add and change under one undo mark, as a replace run does.
  document->StartUndoMark();
  document->drawing().EraseEntity(line_);
  Add(*document, cadhost::CircleData{{50, 50, 0}, 5});
  document->drawing().ChangeEntity(square_, [](cadhost::Entity& e) { e.color = cad::kColorRed; });
  document->EndUndoMark();
  document->SaveAs(redone.string());

  EXPECT_TRUE(window.UndoStep());
  document->SaveAs(after.string());
  EXPECT_EQ(EntitiesSection(ReadFile(after)), EntitiesSection(ReadFile(before)));
  EXPECT_NE(EntitiesSection(ReadFile(redone)), EntitiesSection(ReadFile(before)));

  EXPECT_TRUE(window.RedoStep());
  document->SaveAs(after.string());
  EXPECT_EQ(EntitiesSection(ReadFile(after)), EntitiesSection(ReadFile(redone)));

  // While a run holds a mark open, the window leaves the steps alone.
  document->StartUndoMark();
  EXPECT_FALSE(window.UndoStep());
  document->EndUndoMark();
}

TEST_F(HostWindowTest, FailedOpenOrSaveSaysWhyAndKeepsTheDrawing) {
  HostWindow& window = Start();
  auto document = SiteDrawing();
  const fs::path good = dir_ / "site.dxf";
  document->SaveAs(good.string());
  const QString title = window.windowTitle();

  const fs::path broken = dir_ / "broken.dxf";
  std::ofstream(broken) << "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nnot a number\n";
  for (const fs::path& bad : {broken, dir_ / "missing.dxf"}) {
    SCOPED_TRACE(bad.string());
    errors_.clear();
    nextPath_ = bad.string();
    EXPECT_FALSE(window.OpenDrawing());
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find(bad.filename().string()), std::string::npos) << errors_[0];
    EXPECT_EQ(application_->documents().size(), 1u);
    EXPECT_EQ(window.windowTitle(), title);
    EXPECT_EQ(window.View().Document(), document);
  }

  // A save into a folder that does not exist fails and keeps the name and the changes.
  Add(*document, cadhost::CircleData{{0, 0, 0}, 1});
  errors_.clear();
  nextPath_ = (dir_ / "no such folder" / "x.dxf").string();
  EXPECT_FALSE(window.SaveDrawingAs());
  EXPECT_EQ(errors_.size(), 1u);
  EXPECT_EQ(document->FullName(), good.string());
  EXPECT_FALSE(document->Saved());

  nextPath_ = good.string();
  EXPECT_TRUE(window.OpenDrawing());  // the same file again, as a second drawing
  EXPECT_EQ(application_->documents().size(), 2u);
}

TEST_F(HostWindowTest, ClosingAChangedDrawingAsksFirst) {
  HostWindow& window = Start();
  auto document = SiteDrawing();
  const fs::path path = dir_ / "site.dxf";

  unsavedAnswer_ = UnsavedAnswer::Cancel;
  EXPECT_FALSE(window.CloseDrawing());
  EXPECT_FALSE(document->IsClosed());

  unsavedAnswer_ = UnsavedAnswer::Save;  // no file yet: Save asks where
  nextPath_ = path.string();
  EXPECT_TRUE(window.CloseDrawing());
  EXPECT_TRUE(document->IsClosed());
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(asked_, (std::vector<std::string>{"Drawing1.dwg", "Drawing1.dwg"}));
  EXPECT_EQ(window.windowTitle(), "AutoCAD");

  nextPath_ = path.string();
  ASSERT_TRUE(window.OpenDrawing());
  auto reopened = std::dynamic_pointer_cast<cadhost::HostDocument>(application_->ActiveDocument());
  Add(*reopened, cadhost::CircleData{{0, 0, 0}, 1});
  unsavedAnswer_ = UnsavedAnswer::Discard;
  EXPECT_TRUE(window.CloseDrawing());
  EXPECT_TRUE(application_->documents().empty());
}

TEST_F(HostWindowTest, CommandLineShowsWhatWasSentAndTheAnswers) {
  HostWindow& window = Start();
  auto document = SiteDrawing();
  document->SendCommand("_POLYGON\n4\n0,0\nI\n5\n");
  document->SendCommand("NOSUCH\n");
  window.Sync();
  QString history = window.CommandLine().HistoryText();
  EXPECT_TRUE(history.contains("Command: _POLYGON")) << history.toStdString();
  EXPECT_TRUE(history.contains("Unknown command \"NOSUCH\"")) << history.toStdString();
}

// Painting: counts pixels of one colour in an image of the whole drawing.
class PainterTest : public HostWindowTest {
 protected:
  int CountPixels(cadhost::HostDocument& document, QRgb rgb) {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::black);
    DisplayLists lists(document.drawing().db());
    ViewMapping view;
    view.width = image.width();
    view.height = image.height();
    view.Fit(ModelSpaceExtents(document.drawing(), lists));
    QPainter painter(&image);
    PaintModelSpace(painter, document.drawing(), lists, view);
    painter.end();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
    return count;
  }
};

TEST_F(PainterTest, ColoursFollowEntityLayerAndBlockAndHiddenLayersAreLeftOut) {
  Start();
  auto document = application_->NewDocument();
  cadhost::Drawing& drawing = document->drawing();
  cadhost::LayerRecord green;
  green.name = "GREEN";
  green.color = 3;
  drawing.AddLayer(green);
  cadhost::BlockDefinition block;
  block.name = "MARK";
  cadhost::BlockId mark = drawing.AddBlock(block);
  // Block content: a by-block line, and a by-layer line on layer 0 (takes the reference's layer).
  Add(*document, cadhost::LineData{{0, 0, 0}, {10, 0, 0}}, "0", cad::kColorByBlock, mark);
  Add(*document, cadhost::LineData{{0, 5, 0}, {10, 5, 0}}, "0", cad::kColorByLayer, mark);
  cadhost::InsertData insert;
  insert.blockName = "MARK";
  cadhost::EntityId reference = Add(*document, insert, "GREEN", 5);  // blue reference on GREEN
  Add(*document, cadhost::LineData{{0, 20, 0}, {10, 20, 0}}, "0", 6);  // magenta, own colour

  const QRgb blue = AciRgb(5), greenRgb = AciRgb(3), magenta = AciRgb(6);
  EXPECT_GT(CountPixels(*document, blue), 50);      // by block: the reference's colour
  EXPECT_GT(CountPixels(*document, greenRgb), 50);  // layer 0 by layer: the reference's layer
  EXPECT_GT(CountPixels(*document, magenta), 50);

  drawing.ChangeEntity(reference, [](cadhost::Entity& e) { e.color = cad::kColorByLayer; });
  EXPECT_EQ(CountPixels(*document, blue), 0);

  // A frozen layer hides the whole reference, content on layer 0 included.
  cadhost::LayerRecord iced;
  iced.name = "ICED";
  iced.color = 2;
  iced.flags = 1;
  drawing.AddLayer(iced);
  insert.insertion = {0, 40, 0};
  Add(*document, insert, "ICED", 4);
  EXPECT_EQ(CountPixels(*document, AciRgb(4)), 0);
  EXPECT_EQ(CountPixels(*document, AciRgb(2)), 0);
  EXPECT_GT(CountPixels(*document, magenta), 50);
}

TEST(DisplayListTest, BulgesBowTheSegmentToTheirSide) {
  struct Case {
    double bulge;
    Point middle;  // the point halfway along the arc from (0,0) to (2,0)
  };
  for (const Case& c : {Case{1, {1, -1, 0}}, Case{-1, {1, 1, 0}}, Case{0, {2, 0, 0}}}) {
    std::vector<Point> points{{0, 0, 0}};
    AppendBulgeSegment({0, 0, 0}, {2, 0, 0}, c.bulge, points);
    const Point& middle = points[points.size() / 2];
    EXPECT_NEAR(middle.x, c.middle.x, 1e-9) << c.bulge;
    EXPECT_NEAR(middle.y, c.middle.y, 1e-9) << c.bulge;
    EXPECT_EQ(points.back(), (Point{2, 0, 0}));
  }
}

TEST(DisplayListTest, MultiLineTextShowsPlain) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Plain", "Plain"},
      {"Line one\\PLine two", "Line one\nLine two"},
      {"{\\fArial|b1;Bold} and \\H2.5;big", "Bold and big"},
      {"1\\S1^2; in\\~wide", "11/2 in wide"},
      {"back\\\\slash \\{brace\\}", "back\\slash {brace}"},
      {"\\Lunder\\l", "under"},
      {"cut short \\f", "cut short "},
  };
  for (const auto& [raw, plain] : cases) EXPECT_EQ(PlainMText(raw), plain) << raw;
}

TEST(AciColorTest, StandardColoursAndTheWheel) {
  EXPECT_EQ(AciRgb(1), 0xFF0000u);
  EXPECT_EQ(AciRgb(5), 0x0000FFu);
  EXPECT_EQ(AciRgb(7), 0xFFFFFFu);
  EXPECT_EQ(AciRgb(10), 0xFF0000u);   // first hue, full
  EXPECT_EQ(AciRgb(11), 0xFF8080u);   // first hue, pale
  EXPECT_EQ(AciRgb(90), 0x00FF00u);   // 120 degrees: green
  EXPECT_EQ(AciRgb(250), 0x333333u);
  EXPECT_EQ(AciRgb(999), 0xFFFFFFu);
}

}  // namespace
}  // namespace gui
