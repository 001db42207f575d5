#include "host/startup.h"

#include <string_view>

#include "forms/form.h"
#include "forms/ui_port.h"
#include "host/error_boundary.h"
#include "host/host_state.h"
#include "host/topmost.h"

namespace host {
namespace {

constexpr std::size_t kAfterSecondProbe = 2;  // the step tried only when step 2 failed

// Runs one host step whose failure the caller chose to skip.
template <class Step>
void Skipping(Step step) {
  try {
    step();
  } catch (const PortAbort&) {
    throw;
  } catch (const std::exception&) {
  }
}

}  // namespace

ReleaseProbe ProbeRunningReleases(cad::ObjectBroker& broker) {
  ReleaseProbe probe;
  bool secondAnswered = false;
  for (std::size_t step = 0; step < kReleaseProbeIds.size(); ++step) {
    if (step == kAfterSecondProbe && secondAnswered) continue;
    try {
      cad::ApplicationPtr found = broker.GetObject(kReleaseProbeIds[step]);
      if (!found) continue;
      ++probe.count;
      probe.found = std::move(found);
      if (step == 0) probe.servedReleaseAnswered = true;
      if (step == 1) secondAnswered = true;
    } catch (const std::exception&) {
      // Nobody answers to this identifier: the step does not count.
    }
  }
  return probe;
}

ProbeVerdict Decide(const ReleaseProbe& probe) {
  if (probe.count > 1) return ProbeVerdict::SeveralReleases;
  if (probe.count == 1 && probe.servedReleaseAnswered) return ProbeVerdict::Attach;
  return ProbeVerdict::StartServedRelease;
}

forms::MessageBoxRequest InformationBox(std::string text, std::string title) {
  forms::MessageBoxRequest box;
  box.icon = forms::MessageIcon::Information;
  box.buttons = forms::MessageButtons::Ok;
  box.title = std::move(title);
  box.text = std::move(text);
  return box;
}

forms::MessageBoxRequest ProbeMessage(ProbeVerdict verdict) {
  return InformationBox(verdict == ProbeVerdict::SeveralReleases ? kSeveralReleasesText
                                                                  : kStartServedReleaseText);
}

forms::MessageBoxRequest AttachProblemMessage(const std::string& description) {
  return InformationBox(std::string(kAttachProblemText) + "\rError : " + description);
}

void RefreshHostState() {
  HostState& state = Host();
  if (!state.application) throw cad::HostError("Object variable not set");
  state.activeDocument = state.application->ActiveDocument();
  state.documents = state.application->Documents();
  state.hostProductName = ProductNameForVersion(state.activeDocument->Application()->Version());
}

void Attach(forms::UiPort& ui, const cad::ApplicationPtr& application) {
  HostState& state = Host();
  const HostState before = state;
  try {
    ui.DoEvents();
    state.application = application;
    ui.DoEvents();
    if (!application) throw cad::HostError("Object variable not set");
    application->Visible(true);
    if (application->WindowState() == cad::kWindowMinimized) {
      application->WindowState(cad::kWindowMaximized);
    }
    RefreshHostState();
  } catch (const cad::HostError& failure) {
    state = before;
    throw AttachError(failure.Description());
  }
}

void HostSwitching::AttachHost() {
  HostState& state = Host();
  Skipping([&] {
    try {
      state.application = broker_.GetObject(kAnyReleaseId);
    } catch (const std::exception&) {
      state.application = broker_.CreateObject(kCreateReleaseId);
    }
  });
  if (!state.application) return;  // no host to wait on: every later step would fail
  Skipping([&] { state.application->Visible(true); });

  // The user opens a drawing in the host while the box shows; the box comes
  // back for as long as the host has none. A host whose documents cannot be
  // counted any more ends the wait instead of asking for ever.
  const auto hasNoDrawing = [&] {
    try {
      return state.application->Documents()->Count() == 0;
    } catch (const cad::HostError&) {
      return false;
    }
  };
  bool asked = false;
  while (hasNoDrawing()) {
    if (asked && onOpenDrawingRepeats) onOpenDrawingRepeats();
    ui_.ShowMessage(InformationBox(kOpenDrawingText, kOpenDrawingTitle));
    asked = true;
  }

  Skipping([&] { state.activeDocument = state.application->ActiveDocument(); });
  Skipping([&] { state.documents = state.application->Documents(); });
  Skipping([&] {
    state.hostProductName = ProductNameForVersion(state.activeDocument->Application()->Version());
  });
  ui_.DoEvents();
}

void HostSwitching::ActivateHost() {
  Skipping([&] { AttachHost(); });
  if (mainFrame_ != nullptr) {
    ClearTopmost(*mainFrame_);
    mainFrame_->State(forms::WindowState::Minimized);
  }
  Skipping([&] { ui_.ActivateTopLevel(Host().hostProductName); });
}

void HostSwitching::ActivateSelf() {
  ui_.ActivateTopLevel(kProgramTitle);
  if (mainFrame_ == nullptr) return;
  mainFrame_->State(forms::WindowState::Maximized);
  SetTopmost(*mainFrame_);
  ClearTopmost(*mainFrame_);
}

}  // namespace host
