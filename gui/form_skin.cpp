#include "gui/form_skin.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QTextBrowser>

#include <algorithm>
#include <cmath>

#include "forms/file_system_lists.h"
#include "forms/flex_grid.h"
#include "forms/list_controls.h"
#include "forms/picture_box.h"
#include "forms/simple_controls.h"
#include "gui/flex_grid_model.h"
#include "host/rich_text_box.h"

// The pictures of the windows are compiled into the library; a static library
// has to register them once, from outside any namespace.
static void InitialisePictures() {
  static const bool done = [] {
    Q_INIT_RESOURCE(resources);
    return true;
  }();
  (void)done;
}

namespace gui {

namespace {

// The rows of a directory list that are not subfolders.
constexpr int kCurrentFolderRow = -2;
constexpr int kParentFolderRow = -1;

// Progress bars show single-precision ranges on Qt's integer bar in this many steps.
constexpr int kProgressSteps = 1000;

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

// Captions hold "&&" for a shown ampersand and "&" before an access key, as Qt does.
QString Caption(const std::string& text) { return ToQString(text); }

// A styled document as the HTML a text browser shows: paragraphs of runs,
// bold and italic kept.
QString StyledHtml(const host::StyledText& document) {
  QString html;
  for (const host::StyledParagraph& paragraph : document.paragraphs) {
    html += QStringLiteral("<p style=\"margin:0\">");
    for (const host::StyledRun& run : paragraph.runs) {
      QString text = ToQString(run.text).toHtmlEscaped();
      if (run.bold) text = QStringLiteral("<b>") + text + QStringLiteral("</b>");
      if (run.italic) text = QStringLiteral("<i>") + text + QStringLiteral("</i>");
      html += text;
    }
    if (paragraph.runs.empty()) html += QStringLiteral("&nbsp;");
    html += QStringLiteral("</p>");
  }
  return html;
}

// Room a push button's frame and margins take from its caption, in pixels.
constexpr int kButtonPadding = 8;

// A button caption that is wider than its button goes onto two lines, broken
// at the blank nearest its middle, where the button is tall enough for two
// lines, as classic command buttons wrap their captions.
QString ButtonCaption(const QString& caption, const QPushButton& button) {
  const QFontMetrics metrics(button.font());
  QString shown = caption;
  shown.remove(QLatin1Char('&'));
  const int room = button.width() - kButtonPadding;
  if (metrics.horizontalAdvance(shown) <= room || button.height() < 2 * metrics.lineSpacing() + 4) {
    return caption;
  }
  int best = -1;
  for (int i = 0; i < caption.size(); ++i) {
    if (caption[i] != QLatin1Char(' ')) continue;
    if (best < 0 || std::abs(i - caption.size() / 2) < std::abs(best - caption.size() / 2)) best = i;
  }
  if (best < 0) return caption;
  QString wrapped = caption;
  wrapped[best] = QLatin1Char('\n');
  return wrapped;
}

// Whether a folder list's rows show the model's folder and subfolders: the
// current folder, ".." below the root, then each subfolder.
bool ShowsFolder(const QListWidget& box, const forms::DirectoryList& folders) {
  const int first = box.count() - folders.ListCount();
  if (first < 1 || box.item(0)->text() != ToQString(folders.Path())) return false;
  for (int i = 0; i < folders.ListCount(); ++i) {
    if (box.item(first + i)->text() != ToQString(folders.List(i))) return false;
  }
  return true;
}

bool SameEntries(const QComboBox& box, const forms::ListControl& list) {
  if (box.count() != list.ListCount()) return false;
  for (int i = 0; i < box.count(); ++i) {
    if (box.itemText(i) != ToQString(list.List(i))) return false;
  }
  return true;
}

bool SameEntries(const QListWidget& box, const forms::ListControl& list) {
  if (box.count() != list.ListCount()) return false;
  for (int i = 0; i < box.count(); ++i) {
    if (box.item(i)->text() != ToQString(list.List(i))) return false;
  }
  return true;
}

QString ColorStyle(forms::Rgb color) {
  return QStringLiteral("color: rgb(%1,%2,%3);").arg(color.red).arg(color.green).arg(color.blue);
}

}  // namespace

FormSkin::FormSkin(forms::Form& form, std::function<void()> afterGesture, QWidget* parent)
    : QWidget(parent), form_(form), afterGesture_(std::move(afterGesture)) {
  InitialisePictures();
  setObjectName(ToQString(form.Name()));
  Build();
  Refresh();
}

FormSkin::~FormSkin() = default;

void FormSkin::Build() {
  // Frames first, so that controls placed in them find their parent widget.
  std::map<const forms::Control*, QWidget*> widgetOf;
  auto containerWidget = [&](const forms::Control& control) -> QWidget* {
    auto found = widgetOf.find(control.Container());
    return found == widgetOf.end() ? this : found->second;
  };
  std::vector<forms::Control*> pending(form_.Controls().begin(), form_.Controls().end());
  // Frames can nest; place each control once its container exists.
  for (int pass = 0; pass < 8 && !pending.empty(); ++pass) {
    std::vector<forms::Control*> later;
    for (forms::Control* control : pending) {
      if (control->Container() && !widgetOf.count(control->Container())) {
        later.push_back(control);
        continue;
      }
      QWidget* widget = MakeWidget(*control, containerWidget(*control));
      widgetOf[control] = widget;
    }
    pending.swap(later);
  }
  for (forms::Control* control : pending) widgetOf[control] = MakeWidget(*control, this);
}

QWidget* FormSkin::MakeWidget(forms::Control& control, QWidget* container) {
  Binding binding;
  binding.control = &control;
  const std::string kind = control.Kind();
  QWidget* widget = nullptr;

  if (auto* grid = dynamic_cast<forms::FlexGrid*>(&control)) {
    auto* view = new QTableView(container);
    auto* model = new FlexGridModel(*grid, view);
    view->setModel(model);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setSectionsClickable(true);
    // A click on the fixed row shown as the header is a click on a fixed cell.
    connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, grid](int col) {
      if (grid->FixedRows() > 0) Gesture([grid, col] { grid->UserClick(0, col); });
    });
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // A flex grid's columns do not scroll sideways; a horizontal bar would
    // also cover its last row.
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Rows are exactly as high as the model says, so that the in-place editors
    // laid over a cell from the model's twips cover that cell.
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(Px(forms::kDefaultRowHeight));
    view->horizontalHeader()->setMinimumSectionSize(1);
    connect(view, &QTableView::clicked, this, [this, grid](const QModelIndex& index) {
      Gesture([grid, index] { grid->UserClick(index.row(), index.column()); });
    });
    // The scroll bar counts scrolled rows from 0; the model counts rows from
    // the top of the grid, fixed rows included.
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, grid](int value) {
      if (!refreshing_) Gesture([grid, value] { grid->UserScrollTo(value + grid->FixedRows()); });
    });
    binding.gridModel = model;
    widget = view;
  } else if (auto* drives = dynamic_cast<forms::DriveList*>(&control)) {
    auto* box = new QComboBox(container);
    connect(box, &QComboBox::activated, this, [this, drives](int index) {
      Gesture([drives, index] { drives->UserChoose(index); });
    });
    widget = box;
  } else if (auto* folders = dynamic_cast<forms::DirectoryList*>(&control)) {
    // Row 0 shows the current folder, then ".." (below the root), then the
    // subfolders; each row's data says which it is.
    auto* box = new QListWidget(container);
    connect(box, &QListWidget::itemClicked, this, [this, folders](QListWidgetItem* item) {
      const int entry = item->data(Qt::UserRole).toInt();
      if (entry >= 0) Gesture([folders, entry] { folders->UserChoose(entry); });
    });
    // A double click or Enter opens the folder.
    connect(box, &QListWidget::itemActivated, this, [this, folders](QListWidgetItem* item) {
      const int entry = item->data(Qt::UserRole).toInt();
      if (entry == kParentFolderRow) Gesture([folders] { folders->UserUp(); });
      if (entry >= 0) Gesture([folders, entry] { folders->UserOpen(entry); });
    });
    widget = box;
  } else if (auto* combo = dynamic_cast<forms::ComboBox*>(&control)) {
    auto* box = new QComboBox(container);
    box->setEditable(combo->Style() == forms::ComboStyle::Editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    connect(box, &QComboBox::activated, this, [this, combo](int index) {
      Gesture([combo, index] { combo->UserChoose(index); });
    });
    if (QLineEdit* edit = box->lineEdit()) {
      connect(edit, &QLineEdit::textEdited, this, [this, combo](const QString& text) {
        Gesture([combo, text] { combo->UserEdit(text.toStdString()); });
      });
      edit->installEventFilter(this);
      controlOf_[edit] = &control;
    }
    widget = box;
  } else if (auto* list = dynamic_cast<forms::ListBox*>(&control)) {
    auto* box = new QListWidget(container);
    connect(box, &QListWidget::itemClicked, this, [this, list, box](QListWidgetItem* item) {
      const int row = box->row(item);
      Gesture([list, row] { list->UserChoose(row); });
    });
    widget = box;
  } else if (kind == "button") {
    auto* button = new QPushButton(container);
    connect(button, &QPushButton::clicked, this, [this, &control] {
      Gesture([&control] { control.UserClick(); });
    });
    widget = button;
  } else if (kind == "check") {
    auto* check = new QCheckBox(container);
    connect(check, &QCheckBox::clicked, this, [this, &control] {
      Gesture([&control] { control.UserClick(); });
    });
    widget = check;
  } else if (kind == "option") {
    auto* option = new QRadioButton(container);
    option->setAutoExclusive(false);  // the model keeps each group exclusive
    connect(option, &QRadioButton::clicked, this, [this, &control] {
      Gesture([&control] { control.UserClick(); });
    });
    widget = option;
  } else if (dynamic_cast<forms::PictureBox*>(&control)) {
    auto* picture = new QLabel(container);
    picture->setScaledContents(true);
    widget = picture;
  } else if (dynamic_cast<host::RichTextBox*>(&control)) {
    auto* browser = new QTextBrowser(container);
    browser->setReadOnly(true);
    browser->setOpenLinks(false);
    widget = browser;
  } else if (kind == "frame") {
    widget = new QGroupBox(container);
  } else if (kind == "progress") {
    auto* bar = new QProgressBar(container);
    bar->setRange(0, kProgressSteps);
    bar->setTextVisible(false);
    widget = bar;
  } else {
    auto* label = new QLabel(container);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    widget = label;
  }

  widget->setObjectName(ToQString(control.QualifiedName()));
  widget->installEventFilter(this);
  controlOf_[widget] = &control;
  binding.widget = widget;
  bindings_.push_back(binding);
  return widget;
}

void FormSkin::Detach() {
  detached_ = true;
  controlOf_.clear();
}

void FormSkin::Refresh() {
  if (detached_) return;
  refreshing_ = true;
  for (const Binding& binding : bindings_) RefreshBinding(binding);
  ApplyStacking();
  FollowFocus();
  refreshing_ = false;
}

void FormSkin::ApplyStacking() {
  std::vector<const Binding*> order;
  order.reserve(bindings_.size());
  for (const Binding& binding : bindings_) order.push_back(&binding);
  std::stable_sort(order.begin(), order.end(), [](const Binding* a, const Binding* b) {
    return a->control->ZPosition() < b->control->ZPosition();
  });
  std::vector<QWidget*> stacking;
  stacking.reserve(order.size());
  for (const Binding* binding : order) stacking.push_back(binding->widget);
  if (stacking == stacking_) return;
  // Raising each widget from the back to the front leaves every container's
  // children stacked in the model's order.
  for (QWidget* widget : stacking) widget->raise();
  stacking_ = std::move(stacking);
}

void FormSkin::FollowFocus() {
  // Only the active window's focused control holds the keyboard; an MDI child
  // taking the focus would also bring itself in front of the active child.
  if (form_.Ui().Windows().Active() != &form_) return;
  forms::Control* focused = form_.ActiveControl();
  if (focused == nullptr || !window() || !window()->isActiveWindow()) return;
  for (const Binding& binding : bindings_) {
    if (binding.control != focused) continue;
    QWidget* widget = binding.widget;
    if (!widget->isVisible() || !widget->isEnabled()) return;
    QWidget* current = QApplication::focusWidget();
    if (current == widget || (current != nullptr && widget->isAncestorOf(current))) return;
    widget->setFocus(Qt::OtherFocusReason);
    // An editable combo opened over a cell has its whole text selected, so
    // what the user types replaces it.
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo != nullptr && combo->lineEdit() != nullptr) {
      combo->lineEdit()->selectAll();
    }
    return;
  }
}

void FormSkin::RefreshBinding(const Binding& binding) {
  forms::Control& control = *binding.control;
  QWidget* widget = binding.widget;
  const QSignalBlocker blocker(widget);
  widget->setGeometry(Px(control.Left()), Px(control.Top()), Px(control.Width()),
                      Px(control.Height()));
  widget->setVisible(control.Visible());
  widget->setEnabled(control.Enabled());
  widget->setToolTip(ToQString(control.ToolTipText()));

  if (auto* grid = dynamic_cast<forms::FlexGrid*>(&control)) {
    auto* view = static_cast<QTableView*>(widget);
    binding.gridModel->Reload();
    for (int col = 0; col < grid->Cols(); ++col) {
      const int width = Px(grid->ColWidth(col));
      view->setColumnHidden(col, width <= 0);
      if (width > 0 && view->columnWidth(col) != width) view->setColumnWidth(col, width);
    }
    // The first fixed row is the header; the rows under it scroll.
    const bool header = grid->FixedRows() > 0 && grid->Rows() > 0;
    view->horizontalHeader()->setVisible(header);
    if (header && view->horizontalHeader()->height() != Px(grid->RowHeight(0))) {
      view->horizontalHeader()->setFixedHeight(Px(grid->RowHeight(0)));
    }
    for (int row = 0; row < grid->Rows(); ++row) {
      const bool hidden = header && row == 0;
      if (view->isRowHidden(row) != hidden) view->setRowHidden(row, hidden);
      const int height = Px(grid->RowHeight(row));
      if (!hidden && view->rowHeight(row) != height) view->setRowHeight(row, height);
    }
    const QSignalBlocker scrollBlocker(view->verticalScrollBar());
    const int top = std::max(0, grid->TopRow() - grid->FixedRows());
    view->verticalScrollBar()->setValue(top);
    return;
  }
  if (auto* drives = dynamic_cast<forms::DriveList*>(&control)) {
    auto* box = static_cast<QComboBox*>(widget);
    box->clear();
    for (int i = 0; i < drives->ListCount(); ++i) box->addItem(ToQString(drives->List(i)));
    box->setCurrentIndex(drives->ListIndex());
    return;
  }
  if (auto* folders = dynamic_cast<forms::DirectoryList*>(&control)) {
    auto* box = static_cast<QListWidget*>(widget);
    // Rebuilding unchanged rows would put new items under a double click
    // that has begun on the old ones.
    if (ShowsFolder(*box, *folders)) {
      const int wanted = folders->ListIndex() < 0 ? 0 : folders->ListIndex() + (box->count() - folders->ListCount());
      if (box->currentRow() != wanted) box->setCurrentRow(wanted);
      return;
    }
    box->clear();
    auto* current = new QListWidgetItem(ToQString(folders->Path()), box);
    current->setData(Qt::UserRole, kCurrentFolderRow);
    QFont bold = current->font();
    bold.setBold(true);
    current->setFont(bold);
    if (!folders->Path().empty() && folders->Path() != "/") {
      (new QListWidgetItem(QStringLiteral(".."), box))->setData(Qt::UserRole, kParentFolderRow);
    }
    for (int i = 0; i < folders->ListCount(); ++i) {
      auto* item = new QListWidgetItem(ToQString(folders->List(i)), box);
      item->setData(Qt::UserRole, i);
      if (i == folders->ListIndex()) box->setCurrentItem(item);
    }
    if (folders->ListIndex() < 0) box->setCurrentItem(current);
    return;
  }
  if (auto* combo = dynamic_cast<forms::ComboBox*>(&control)) {
    auto* box = static_cast<QComboBox*>(widget);
    // Rebuilding an unchanged list would close its drop-down and move the
    // text cursor while the user types.
    if (!SameEntries(*box, *combo)) {
      box->clear();
      for (int i = 0; i < combo->ListCount(); ++i) box->addItem(ToQString(combo->List(i)));
    }
    if (box->currentIndex() != combo->ListIndex()) box->setCurrentIndex(combo->ListIndex());
    if (box->isEditable() && box->currentText() != ToQString(combo->Text())) {
      box->setEditText(ToQString(combo->Text()));
      // A text the program put in place of what the user typed is selected,
      // so the next keystroke types over it.
      if (box->lineEdit()->hasFocus()) box->lineEdit()->selectAll();
    }
    return;
  }
  if (auto* list = dynamic_cast<forms::ListBox*>(&control)) {
    auto* box = static_cast<QListWidget*>(widget);
    if (!SameEntries(*box, *list)) {
      box->clear();
      for (int i = 0; i < list->ListCount(); ++i) box->addItem(ToQString(list->List(i)));
    }
    if (box->currentRow() != list->ListIndex()) box->setCurrentRow(list->ListIndex());
    return;
  }
  if (auto* picture = dynamic_cast<forms::PictureBox*>(&control)) {
    static_cast<QLabel*>(widget)->setPixmap(
        QPixmap(QStringLiteral(":/pictures/") + ToQString(picture->Picture())));
    return;
  }
  if (auto* text = dynamic_cast<host::RichTextBox*>(&control)) {
    auto* browser = static_cast<QTextBrowser*>(widget);
    const QString html = StyledHtml(text->Document());
    if (browser->property("shownHtml").toString() != html) {
      browser->setHtml(html);
      browser->setProperty("shownHtml", html);
    }
    return;
  }
  widget->setStyleSheet(ColorStyle(control.ForeColor()));
  if (auto* check = dynamic_cast<forms::CheckBox*>(&control)) {
    auto* box = static_cast<QCheckBox*>(widget);
    box->setText(Caption(control.Caption()));
    box->setChecked(check->Value() == 1);
  } else if (auto* option = dynamic_cast<forms::OptionButton*>(&control)) {
    auto* button = static_cast<QRadioButton*>(widget);
    button->setText(Caption(control.Caption()));
    button->setChecked(option->Value());
  } else if (auto* bar = dynamic_cast<forms::ProgressBar*>(&control)) {
    const float span = bar->Max() - bar->Min();
    const float share = span > 0 ? (bar->Value() - bar->Min()) / span : 0.0F;
    static_cast<QProgressBar*>(widget)->setValue(
        static_cast<int>(std::lround(share * kProgressSteps)));
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    button->setText(ButtonCaption(Caption(control.Caption()), *button));
  } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
    frame->setTitle(Caption(control.Caption()));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(ToQString(control.Caption()));
  }
}

bool FormSkin::eventFilter(QObject* watched, QEvent* event) {
  auto found = controlOf_.find(watched);
  if (found != controlOf_.end() && !refreshing_) {
    forms::Control* control = found->second;
    const std::string kind = control->Kind();
    if (event->type() == QEvent::FocusOut && control->HasFocus()) {
      // The focus going to the control's own drop-down, to a message box or
      // to another window is no loss of focus inside this window.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      const QWidget* next = QApplication::focusWidget();
      const bool staysInside = next != nullptr && static_cast<QWidget*>(watched)->isAncestorOf(next);
      const bool intoPopup = QApplication::activePopupWidget() != nullptr;
      if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && !staysInside && !intoPopup) {
        Gesture([control] { control->UserLeave(); });
      }
    } else if (event->type() == QEvent::FocusIn && control->CanTakeFocus() && !control->HasFocus()) {
      // The user moved the focus here with the keyboard or the mouse.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason) &&
          control->TakesUserInput() && control->Parent() != nullptr) {
        Gesture([control] { control->Parent()->MoveFocus(control); });
      }
    } else if (event->type() == QEvent::MouseButtonRelease &&
               (kind == "label" || kind == "frame")) {
      Gesture([control] { control->UserClick(); });
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FormSkin::Gesture(const std::function<void()>& gesture) {
  if (detached_) return;
  try {
    gesture();
  } catch (const forms::ControlError&) {
    // The control does not take this gesture now (hidden or disabled).
  } catch (const std::exception& e) {
    // Handlers report their own failures; anything that still gets here must
    // not end the program with the user's grid in it.
    forms::MessageBoxRequest box;
    box.title = "Cindral";
    box.icon = forms::MessageIcon::Critical;
    box.text = e.what();
    form_.Ui().ShowMessage(box);
  }
  if (afterGesture_) afterGesture_();
}

}  // namespace gui
