// A fresh built-in host with one new drawing, and small helpers to fill it.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cadhost/application.h"
#include "cadhost/document.h"
#include "host/cad.h"

namespace cadhost::testing {

class HostTest : public ::testing::Test {
 public:
  void SetUp() override {
    app = HostApplication::Create(HostOptions{.version = "17.0", .services = services});
    doc = app->NewDocument();
    model = doc->ModelSpace();
  }

  // A block "name" with a 2 x 1 rectangle from its base point (0,0) and the
  // given attribute definitions (tag, default value, mode).
  struct AttDef {
    std::string tag;
    std::string value;
    int mode = 0;
  };
  cad::BlockPtr MakeBlock(const std::string& name, const std::vector<AttDef>& attdefs = {}) {
    auto block = doc->Blocks()->Add({0, 0, 0}, name);
    block->AddLightWeightPolyline({0, 0, 2, 0, 2, 1, 0, 1, 0, 0});
    double y = 0.25;
    for (const auto& a : attdefs) {
      block->AddAttribute(0.1, a.mode, a.tag + "?", {0.2, y, 0}, a.tag, a.value);
      y += 0.2;
    }
    return block;
  }

  cad::SelectionSetPtr NewSet(const std::string& name = "SS2") {
    return doc->SelectionSets()->Add(name);
  }

  static std::vector<std::string> Handles(const cad::SelectionSetPtr& set) {
    std::vector<std::string> handles;
    for (long i = 0; i < set->Count(); ++i) handles.push_back(set->Item(i)->Handle());
    return handles;
  }

  HostServices services;
  std::shared_ptr<HostApplication> app;
  std::shared_ptr<HostDocument> doc;
  cad::BlockPtr model;
};

}  // namespace cadhost::testing
