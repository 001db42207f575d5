// The Match Attributes window beside the work window on a fresh built-in
// host, with its handlers and the replace run's attribute hooks wired.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../inventory/work_window_fixture.h"
#include "engine/attribute_transfer.h"
#include "matching/frm_match_atts.h"

namespace matching_test {

class MatchAttsTest : public workwindow_test::WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    engine::ReplaceRunServices run;
    engine::SetAttributeTransferHooks(run.hooks, form);
    Wire(std::move(run));
    window = std::make_unique<matching::Frm_MatchAtts>(ui, form);
    auto links = form.Links();
    links.matchAtts = window.get();
    form.Links(links);
    matching::WireMatchAtts(*window, boundary);
  }

  // Opens the window for a row whose context is given directly.
  void OpenFor(const std::string& tagList, std::vector<std::string> replacementTags,
               const std::string& oldName = "OLD", const std::string& replacementName = "NEW") {
    form.currentRow.blockName = oldName;
    form.currentRow.replacementName = replacementName;
    form.currentRow.tagList = tagList;
    form.currentRow.replacementTags = std::move(replacementTags);
    window->Show();
  }
  // The data rows of MSHAtts, cells joined by "|".
  std::vector<std::string> AttRows() const {
    std::vector<std::string> rows;
    const auto& grid = window->MSHAtts;
    for (int r = 1; r < grid.Rows(); ++r) {
      std::string line;
      for (int c = 0; c < grid.Cols(); ++c) line += (c ? "|" : "") + grid.TextMatrix(r, c);
      rows.push_back(line);
    }
    return rows;
  }
  // The user picks replacement entry `entry` for grid row `row`.
  void Choose(int row, int entry) {
    window->MSHAtts.UserClick(row, matching::kColReplacementTag);
    window->ComboAtts.UserChoose(entry);
  }
  std::vector<host::SettingValue> Stored(const std::string& oldName = "OLD",
                                         const std::string& replacementName = "NEW") const {
    host::SettingsStore store(host::SettingsStore::DefaultPath());
    return store.GetAllSettings("QV_Cindral", matching::MatchSection(oldName, replacementName));
  }

  std::unique_ptr<matching::Frm_MatchAtts> window;
};

}  // namespace matching_test
