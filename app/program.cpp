#include "app/program.h"

#include "app/dwg_reader_setup.h"
#include "engine/attribute_transfer.h"
#include "engine/work_window.h"
#include "host/host_state.h"
#include "selection/selection_sets.h"

namespace app {
namespace {

constexpr const char* kClassIdPrefix = "AutoCAD.Application.";
constexpr const char* kVersionIndependentId = "AutoCAD.Application";
constexpr const char* kServedVersion = "17.0";
}  // namespace

Program::Program(const Options& options, forms::UiPort& ui, std::shared_ptr<cadhost::EntityPicker> picker)
    : ui_(ui),
      picker_(std::move(picker)),
      files_(std::make_shared<cadhost::dwg::DrawingFiles>(DwgReaderSetupFromEnvironment())),
      switching_(broker_, ui),
      boundary_(ui),
      start(ui, broker_),
      mainFrame(ui, switching_),
      replaceBlocks(ui),
      progress(ui),
      progress2(ui),
      notesViewer(ui),
      matchAtts(ui, replaceBlocks),
      driveDir(ui, replaceBlocks) {
  host::Host() = host::HostState();
  StartHosts(options);
  WireWindows();
}

std::shared_ptr<cadhost::HostApplication> Program::StartHost(const std::string& version) {
  cadhost::HostOptions hostOptions;
  hostOptions.version = version;
  hostOptions.services.loader = files_;
  hostOptions.services.saver = files_;
  hostOptions.services.picker = picker_;
  auto application = cadhost::HostApplication::Create(std::move(hostOptions));
  if (onHostStarted) onHostStarted(application);
  application->Visible(true);  // a host the user started shows its window
  hosts_.push_back(application);
  return application;
}

void Program::StartHosts(const Options& options) {
  for (const HostInstanceOption& instance : HostsToStart(options)) {
    auto application = StartHost(instance.version);
    for (const std::string& id : instance.ids) broker_.Register(kClassIdPrefix + id, application);
    if (hosts_.size() == 1) broker_.Register(kVersionIndependentId, application);
  }
  // Re-attaching with no host running starts one of the served release.
  broker_.RegisterFactory(host::kCreateReleaseId, [this]() -> cad::ApplicationPtr {
    auto application = StartHost(kServedVersion);
    application->Visible(false);  // a host started for the program shows when asked
    return application;
  });
  if (hosts_.empty()) return;
  const auto& first = hosts_.front();
  if (options.drawings.empty()) {
    first->NewDocument();
    return;
  }
  std::shared_ptr<cadhost::HostDocument> active;
  for (const std::string& drawing : options.drawings) {
    try {
      auto document = first->OpenDocument(drawing);
      if (!active) active = document;
    } catch (const cad::HostError& failure) {
      throw StartError("cannot open drawing " + drawing + ": " + failure.Description());
    }
  }
  first->Activate(active);
}

void Program::WireWindows() {
  start.WireHandlers(boundary_);
  mainFrame.WireHandlers(boundary_);
  progress.WireHandlers(boundary_);
  progress2.WireHandlers(boundary_);
  notesViewer.WireHandlers(boundary_);
  switching_.MainFrame(&mainFrame);
  start.Links(host::StartWindowLinks{&mainFrame, &replaceBlocks, [] { selection::InitialiseSelectionFilter(); }});
  engine::ReplaceRunServices run;
  engine::SetAttributeTransferHooks(run.hooks, replaceBlocks);
  engine::WireReplaceBlocks(replaceBlocks, boundary_, {{&progress, &progress2, &mainFrame, &switching_, &matchAtts}, [this] { notesViewer.ShowNotes(); }, std::move(run)});
  matching::WireMatchAtts(matchAtts, boundary_);
  setup::WireDriveDir(driveDir, boundary_);
}

void Program::Start() {
  started_ = true;
  boundary_.Run([this] { start.Show(); });
}

bool Program::Ended() const { return started_ && !start.Loaded() && !mainFrame.Loaded(); }

void Program::Close() {
  if (mainFrame.Loaded()) mainFrame.Close();
}

std::optional<std::string> Program::SaveActiveDrawing(const std::string& path) const {
  try {
    const auto application = UserHost();
    if (!application) throw cad::HostError("no host is running");
    application->ActiveDocument()->SaveAs(path);
    return std::nullopt;
  } catch (const cad::HostError& failure) {
    return failure.Description();
  }
}

std::shared_ptr<cadhost::HostApplication> Program::UserHost() const {
  return hosts_.empty() ? nullptr : hosts_.front();
}

std::vector<std::string> Program::HostWindowTitles() const {
  std::vector<std::string> titles;
  for (const auto& application : hosts_) {
    if (!application->Visible()) continue;
    std::string title = host::ProductNameForVersion(application->Version());
    try {
      title += " - [" + application->ActiveDocument()->Name() + "]";
    } catch (const cad::HostError&) {
      // A host without a drawing shows its bare product name.
    }
    titles.push_back(std::move(title));
  }
  return titles;
}

}  // namespace app
