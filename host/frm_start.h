// The start window: finds and attaches to the running host when the program
// is launched, shows the loading display, and hands over to the main windows.
#pragma once

#include <functional>

#include "forms/form.h"
#include "forms/picture_box.h"
#include "forms/simple_controls.h"
#include "host/cad.h"

namespace host {

class ErrorBoundary;

// What the start window opens once it is done, and the shared selection
// filter it prepares; set by the program before the window is shown.
struct StartWindowLinks {
  forms::Form* mainFrame = nullptr;   // Frm__MDI
  forms::Form* workWindow = nullptr;  // Frm_ReplaceBlocks
  std::function<void()> initialiseSelectionFilter;
};

// Owns the start window's controls. Its load probes the running releases and
// attaches, or tells the user why it cannot and unloads itself (the program
// then ends). Its first activation runs the loading display and opens the
// main frame and the work window.
class Frm__Start : public forms::Form {
 public:
  static constexpr int kLoadingMax = 2500;

  Frm__Start(forms::UiPort& ui, cad::ObjectBroker& broker);

  void Links(StartWindowLinks links) { links_ = std::move(links); }
  // Enters the window's handlers through the boundary.
  void WireHandlers(const ErrorBoundary& boundary);

  void Form_Load();
  void Form_Activate();

  forms::Label Label1{"Label1"};
  forms::PictureBox ImgLogo{"ImgLogo"};
  forms::Label LblLoading{"LblLoading"};
  forms::ProgressBar ProBarLoading{"ProBarLoading"};
  forms::Label LblTime{"LblTime"};

 private:
  void LoadingDisplay();

  cad::ObjectBroker& broker_;
  StartWindowLinks links_;
  bool displayed_ = false;
};

}  // namespace host
