// The work window on a fresh built-in host: one new drawing in the program's
// host state, the shared selection filter, a private settings folder, and the
// window with all its handlers wired through the error boundary.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cadhost/application.h"
#include "cadhost/document.h"
#include "cadhost/dxf/drawing_files.h"
#include "cadhost/services.h"
#include "engine/work_window.h"
#include "forms/recording_port.h"
#include "host/error_boundary.h"
#include "host/frm_progress.h"
#include "host/host_state.h"
#include "host/registry.h"
#include "inventory/frm_replace_blocks.h"
#include "selection/selection_sets.h"

namespace workwindow_test {

// Answers the host's pick prompts from a queue; an empty queue cancels.
class QueuedPicker : public cadhost::EntityPicker {
 public:
  std::optional<cad::PickedEntity> Pick(cad::Document&, const std::string& prompt) override {
    prompts.push_back(prompt);
    if (picks.empty()) return std::nullopt;
    auto entity = picks.front();
    picks.erase(picks.begin());
    return cad::PickedEntity{entity, {}};
  }
  std::vector<cad::EntityPtr> picks;
  std::vector<std::string> prompts;
};

class WorkWindowTest : public ::testing::Test {
 public:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::path(::testing::TempDir()) /
             ("cindral_ww_" + std::to_string(::getpid()) + "_" + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "config");
    ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);

    auto files = std::make_shared<cadhost::dxf::DxfDrawingFiles>();
    cadhost::HostOptions options;
    options.version = "17.0";
    options.services.loader = files;
    options.services.saver = files;
    options.services.picker = picker;
    app = cadhost::HostApplication::Create(std::move(options));
    doc = app->NewDocument();
    model = doc->ModelSpace();
    host::Host() = host::HostState();
    host::Host().application = app;
    host::Host().activeDocument = doc;
    selection::M_Select() = selection::SelectState();
    selection::InitialiseSelectionFilter();
    Wire({});
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // Rewires the window with the given run services (hooks, clock).
  void Wire(engine::ReplaceRunServices run) {
    if (!run.clock) run.clock = [] { return std::string("12/9/2026 10:07:32 PM"); };
    engine::WorkWindowServices services;
    services.links.progress = &progress;
    services.links.progress2 = &progress2;
    services.run = std::move(run);
    engine::WireReplaceBlocks(form, boundary, std::move(services));
  }

  // A block with a 2 x 1 rectangle and one attribute definition per tag.
  cad::BlockPtr MakeBlock(const std::string& name, const std::vector<std::string>& tags = {}) {
    auto block = doc->Blocks()->Add({0, 0, 0}, name);
    block->AddLightWeightPolyline({0, 0, 2, 0, 2, 1, 0, 1, 0, 0});
    double y = 0.25;
    for (const auto& tag : tags) {
      block->AddAttribute(0.1, 0, tag + "?", {0.2, y, 0}, tag, "");
      y += 0.2;
    }
    return block;
  }
  cad::BlockReferencePtr Insert(const std::string& name, double x, double y = 0) {
    return model->InsertBlock({x, y, 0}, name, 1, 1, 1, 0);
  }

  // The references of model space to `name`.
  std::vector<cad::BlockReferencePtr> References(const std::string& name) const {
    std::vector<cad::BlockReferencePtr> found;
    for (long i = 0; i < model->Count(); ++i) {
      auto ref = std::dynamic_pointer_cast<cad::BlockReference>(model->Item(i));
      if (ref && ref->Name() == name) found.push_back(ref);
    }
    return found;
  }

  // The grid's data rows, each as its cells joined by "|".
  std::vector<std::string> GridRows() const {
    std::vector<std::string> rows;
    const auto& grid = form.MSHBlockDefs;
    for (int r = 1; r < grid.Rows(); ++r) {
      std::string line;
      for (int c = 0; c < grid.Cols(); ++c) line += (c ? "|" : "") + grid.TextMatrix(r, c);
      rows.push_back(line);
    }
    return rows;
  }
  int GridRowOf(const std::string& blockName) const {
    for (int r = 1; r < form.MSHBlockDefs.Rows(); ++r) {
      if (form.MSHBlockDefs.TextMatrix(r, 0) == blockName) return r;
    }
    return -1;
  }

  std::vector<std::string> ListEntries(const forms::ListControl& list) const {
    std::vector<std::string> entries;
    for (int i = 0; i < list.ListCount(); ++i) entries.push_back(list.List(i));
    return entries;
  }

  // The message lines the port recorded.
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    for (const auto& line : ui.Lines()) {
      if (line.rfind("message ", 0) == 0) messages.push_back(line);
    }
    return messages;
  }

  std::shared_ptr<QueuedPicker> picker = std::make_shared<QueuedPicker>();
  std::filesystem::path folder;
  std::shared_ptr<cadhost::HostApplication> app;
  std::shared_ptr<cadhost::HostDocument> doc;
  cad::BlockPtr model;
  forms::RecordingPort ui;
  host::ErrorBoundary boundary{ui};
  host::FrmProgress progress{ui};
  host::FrmProgress2 progress2{ui};
  inventory::Frm_ReplaceBlocks form{ui};
};

}  // namespace workwindow_test
