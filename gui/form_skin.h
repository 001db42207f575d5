// Renders a window model with Qt widgets and turns the user's input into the
// model's gestures.
#pragma once

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

#include "forms/form.h"

class QTableView;

namespace gui {

class FlexGridModel;

inline constexpr int kTwipsPerPixel = 15;
inline int Px(int twips) { return twips / kTwipsPerPixel; }

// The Qt face of one forms::Form: a widget per registered control, laid out at
// the model's positions (twips, relative to the control's frame), refreshed from
// the model with signals blocked after every handler. No behaviour lives here:
// a click, a choice, a keystroke or a loss of focus becomes the model's gesture,
// and `afterGesture` lets the shell refresh every window.
class FormSkin : public QWidget {
 public:
  FormSkin(forms::Form& form, std::function<void()> afterGesture, QWidget* parent = nullptr);
  ~FormSkin() override;

  forms::Form& Model() const { return form_; }
  // Copies every property of the model onto the widgets.
  void Refresh();
  // The model is being destroyed: from now on the skin neither reads it nor
  // passes it any input.
  void Detach();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Binding {
    forms::Control* control = nullptr;
    QWidget* widget = nullptr;
    FlexGridModel* gridModel = nullptr;
  };

  void Build();
  QWidget* MakeWidget(forms::Control& control, QWidget* container);
  void RefreshBinding(const Binding& binding);
  // Stacks the widgets in the controls' z-order.
  void ApplyStacking();
  // Gives the keyboard focus to the widget of the control the model focused,
  // while this window is the active one.
  void FollowFocus();
  // Runs a gesture of the user; a control that refuses it (disabled, hidden)
  // leaves everything as it was.
  void Gesture(const std::function<void()>& gesture);

  forms::Form& form_;
  std::function<void()> afterGesture_;
  std::vector<Binding> bindings_;
  std::map<QObject*, forms::Control*> controlOf_;
  std::vector<QWidget*> stacking_;  // the widgets from back to front, as last applied
  bool refreshing_ = false;
  bool detached_ = false;
};

}  // namespace gui
