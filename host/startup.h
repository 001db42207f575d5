// Finding the running CAD host at start-up, attaching to it, and switching
// the user between the host and the program while it runs.
#pragma once

#include <array>
#include <functional>
#include <stdexcept>
#include <string>

#include "forms/message_box.h"
#include "host/cad.h"

namespace forms {
class Form;
class UiPort;
}  // namespace forms

namespace host {

// The class identifiers a running host registers under, in the order they are
// tried. The first is the release the program serves; the third is tried only
// when the second did not answer.
inline constexpr std::array<const char*, 7> kReleaseProbeIds{
    "AutoCAD.Application.17",   "AutoCAD.Application.16.1", "AutoCAD.Application.16",
    "AutoCAD.Application.15.1", "AutoCAD.Application.15",   "AutoCAD.Application.15.0",
    "AutoCAD.Application.15.06",
};

// The version-independent identifiers used to re-attach and to start a host.
inline constexpr const char* kAnyReleaseId = "autocad.Application";
inline constexpr const char* kCreateReleaseId = "autocad.application";

inline constexpr const char* kStartServedReleaseText = "Please start AutoCAD 2007 first";
inline constexpr const char* kSeveralReleasesText =
    "More than one version of AutoCAD is currently running.\r"
    "Please run only one version of AutoCAD when using this software.";
inline constexpr const char* kOpenDrawingTitle = "Open a Drawing";
inline constexpr const char* kOpenDrawingText =
    "Please open a Drawing. Press OK when the Drawing has finished loading.";
inline constexpr const char* kAttachProblemText = "Problem Attaching to AutoCAD";
inline constexpr const char* kProgramTitle = "Cindral";

// What the release probe found: how many identifiers answered (every answering
// identifier counts, also when one instance answers several), whether the
// served release was among them, and the last object that answered.
struct ReleaseProbe {
  long long count = 0;
  bool servedReleaseAnswered = false;
  cad::ApplicationPtr found;
};

// Asks the broker for the running object of each probe identifier in order.
// Every failure is absorbed: an identifier nobody answers simply does not count.
ReleaseProbe ProbeRunningReleases(cad::ObjectBroker& broker);

// What start-up does with a probe: attach, or tell the user why it cannot.
enum class ProbeVerdict { Attach, StartServedRelease, SeveralReleases };
ProbeVerdict Decide(const ReleaseProbe& probe);

// The message box of a verdict other than Attach.
forms::MessageBoxRequest ProbeMessage(ProbeVerdict verdict);

// An information box with an OK button titled "Cindral", the program's
// ordinary way of telling the user something.
forms::MessageBoxRequest InformationBox(std::string text, std::string title = kProgramTitle);

// Making the host visible or restoring its window state failed during attach.
// `what()` is the host's description.
class AttachError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The attach steps after a successful probe: records the application, makes
// the host visible, maximises a minimised host, and refreshes the host state.
// Any host failure in them becomes an AttachError, with the host state left
// as it was before the call; the program shows it and ends cleanly.
void Attach(forms::UiPort& ui, const cad::ApplicationPtr& application);

// Takes the application's active document, its documents collection and its
// product name ("Autodesk Map" for version "15.06") into the host state.
// Host failures reach the caller; fields already read are kept.
void RefreshHostState();

// The box of a failed attach: "Problem Attaching to AutoCAD", a carriage
// return, "Error : " and the description.
forms::MessageBoxRequest AttachProblemMessage(const std::string& description);

// Owns the route to the running hosts and the main frame that the switching
// operations minimise and restore. The three operations are the program-wide
// way to re-attach, to hand the user over to the host and to come back.
class HostSwitching {
 public:
  HostSwitching(cad::ObjectBroker& broker, forms::UiPort& ui) : broker_(broker), ui_(ui) {}

  // The main frame the operations act on; null until it exists.
  void MainFrame(forms::Form* frame) { mainFrame_ = frame; }

  // Re-attaches to a running host (starting one when none runs), makes it
  // visible and waits, box after box, until it has a drawing open; then
  // records its active drawing and product name. Host failures are skipped.
  void AttachHost();
  // AttachHost, then minimises the main frame and brings the host's window
  // (titled with the host product name) to the front. Host failures are skipped.
  void ActivateHost();
  // Brings the program's own window ("Cindral") back in front of the host,
  // maximised, without leaving it on top.
  void ActivateSelf();

  // Called each time the "Open a Drawing" box is about to come back because
  // the host still has no drawing: a scripted run uses it to stop a wait that
  // nothing in the script can end.
  std::function<void()> onOpenDrawingRepeats;

 private:
  cad::ObjectBroker& broker_;
  forms::UiPort& ui_;
  forms::Form* mainFrame_ = nullptr;
};

}  // namespace host
