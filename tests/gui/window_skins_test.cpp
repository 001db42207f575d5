// One offscreen smoke check per window of the program: the Qt port builds its
// skin, shows it, and the widgets carry the captions of the model's controls.
#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "cadhost/running_object_table.h"
#include "gui/qt_port.h"
#include "host/frm_mdi.h"
#include "host/frm_progress.h"
#include "host/frm_rtext.h"
#include "host/frm_start.h"
#include "host/startup.h"
#include "inventory/frm_replace_blocks.h"

namespace gui {
namespace {

class WindowSkinsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "gui_window_skins_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }

  // The shown top-level or MDI window whose title is `title`.
  static QWidget* ShownWindow(const QString& title) {
    for (QWidget* widget : QApplication::allWidgets()) {
      if (widget->isVisible() && widget->windowTitle() == title &&
          (widget->isWindow() || widget->inherits("QMdiSubWindow"))) {
        return widget;
      }
    }
    return nullptr;
  }

  // Every widget that shows a control carries the control's caption.
  static void ExpectCaptions(QWidget* window, const forms::Form& form) {
    for (const forms::Control* control : form.Controls()) {
      QWidget* widget = window->findChild<QWidget*>(QString::fromStdString(control->QualifiedName()));
      ASSERT_NE(widget, nullptr) << control->QualifiedName();
      const QString caption = QString::fromStdString(control->Caption());
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        // A caption too wide for its button is shown on two lines.
        EXPECT_EQ(button->text().replace(QLatin1Char('\n'), QLatin1Char(' ')), caption) << control->QualifiedName();
      } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        EXPECT_EQ(frame->title(), caption) << control->QualifiedName();
      } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->pixmap().isNull()) {
        EXPECT_EQ(label->text(), caption) << control->QualifiedName();
      }
    }
  }

  QtPort port;
  cadhost::RunningObjectTable broker;
  host::HostSwitching switching{broker, port};
};

TEST_F(WindowSkinsTest, StartWindowShowsItsPictureAndLoadingBar) {
  host::Frm__Start start(port, broker);
  // Shown without its load handler: no host is probed here.
  start.Load();
  port.ShowWindow(start);
  QWidget* window = ShownWindow(QString::fromStdString(start.Caption()));
  ASSERT_NE(window, nullptr);
  ExpectCaptions(window, start);
  auto* picture = window->findChild<QLabel*>("ImgLogo");
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->pixmap().isNull()) << "the start picture is compiled in";
  start.Unload();
}

TEST_F(WindowSkinsTest, MainFrameAndWorkWindow) {
  host::Frm__MDI frame(port, switching);
  frame.Show();
  frame.Caption("Cindral");
  port.RefreshAll();
  EXPECT_NE(ShownWindow("Cindral"), nullptr);

  inventory::Frm_ReplaceBlocks work(port);
  port.ShowWindow(work);
  QWidget* window = ShownWindow("Replace Blocks");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->inherits("QMdiSubWindow")) << "the work window opens inside the main frame";
  ExpectCaptions(window, work);
  auto* grid = window->findChild<QTableView*>("MSHBlockDefs");
  ASSERT_NE(grid, nullptr);
  work.Unload();
  frame.Unload();
}

TEST_F(WindowSkinsTest, ProgressWindowsAndNotesViewer) {
  host::FrmProgress progress(port);
  host::FrmProgress2 progress2(port);
  progress.Show();
  progress.Caption(" Recording Layers");
  progress2.Show();
  port.RefreshAll();
  EXPECT_NE(ShownWindow(" Recording Layers"), nullptr);

  host::FrmRText notes(port);
  notes.Show();
  notes.RText1.Text("The file: /nowhere could not be found.\r\rMajor Features:");
  port.RefreshAll();
  QWidget* window = ShownWindow("Report");
  ASSERT_NE(window, nullptr);
  auto* text = window->findChild<QTextBrowser*>("RText1");
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->toPlainText().startsWith("The file: /nowhere could not be found."));
  EXPECT_TRUE(text->toPlainText().contains("Major Features:"));
  notes.Unload();
  progress2.Unload();
  progress.Unload();
}

}  // namespace
}  // namespace gui
