// The built-in host application: documents, running-object table, picking, UCS.
#include "cadhost/running_object_table.h"
#include "host_fixture.h"

namespace cadhost::testing {
namespace {

TEST(RunningObjectTableTest, HostsRegisterAndStartUnderClassIdentifiersOfAnyCase) {
  RunningObjectTable table;
  EXPECT_THROW(table.GetObject("AutoCAD.Application.17"), cad::HostError);
  EXPECT_THROW(table.CreateObject("AutoCAD.Application.17"), cad::HostError);
  int started = 0;
  table.RegisterFactory("AutoCAD.Application.17", [&started] {
    ++started;
    return HostApplication::Create();
  });
  auto created = table.CreateObject("autocad.application.17");
  EXPECT_EQ(started, 1);
  EXPECT_EQ(table.GetObject("AUTOCAD.APPLICATION.17"), created);
  auto other = HostApplication::Create();
  table.Register("AutoCAD.Application.16", other);
  EXPECT_EQ(table.GetObject("autocad.application.16"), other);
  table.Revoke("AutoCAD.Application.16");
  EXPECT_THROW(table.GetObject("AutoCAD.Application.16"), cad::HostError);
}

TEST(ApplicationTest, DocumentsAddActivateAndClose) {
  std::vector<int> notified;
  auto app = HostApplication::Create();
  app->onWindowChange = [&] { notified.push_back(app->WindowState()); };
  EXPECT_THROW(app->ActiveDocument(), cad::HostError);
  auto first = app->Documents()->Add();
  auto second = app->Documents()->Add();
  EXPECT_EQ(app->Documents()->Count(), 2);
  EXPECT_EQ(app->ActiveDocument(), second);
  EXPECT_EQ(first->Name(), "Drawing1.dwg");
  EXPECT_EQ(first->FullName(), "");
  first->Activate();
  EXPECT_EQ(app->ActiveDocument(), first);
  auto model = first->ModelSpace();
  first->Close();
  EXPECT_EQ(app->Documents()->Count(), 1);
  EXPECT_EQ(app->ActiveDocument(), second);
  EXPECT_THROW(model->Count(), cad::HostError);
  EXPECT_THROW(first->Name(), cad::HostError);
  EXPECT_THROW(app->Documents()->Open("site.dxf"), cad::HostError);  // no reader installed
  app->WindowState(cad::kWindowMaximized);
  EXPECT_THROW(app->WindowState(9), cad::HostError);
  EXPECT_EQ(notified.back(), cad::kWindowMaximized);
  EXPECT_EQ(app->Version(), "17.0");
}

// Picks what the test says, as a user at the host window would.
class ScriptedPicker : public EntityPicker {
 public:
  std::optional<cad::PickedEntity> Pick(cad::Document&, const std::string& prompt) override {
    prompts.push_back(prompt);
    return next;
  }
  std::optional<cad::PickedEntity> next;
  std::vector<std::string> prompts;
};

TEST_F(HostTest, GetEntityAsksThePickerAndFailsOnCancelOrEmptyPick) {
  EXPECT_THROW(doc->Utility()->GetEntity("Select"), cad::HostError);  // no picker yet
  auto picker = std::make_shared<ScriptedPicker>();
  app->services().picker = picker;
  auto outline = model->AddLightWeightPolyline({0, 0, 10, 0, 10, 5});
  picker->next = cad::PickedEntity{doc->EntityAt({10, 2.5, 0}, 0.1), {10, 2.5, 0}};
  auto picked = doc->Utility()->GetEntity("Select the polygon");
  EXPECT_EQ(picked.entity->Handle(), outline->Handle());
  EXPECT_EQ(picker->prompts.back(), "Select the polygon");
  picker->next = std::nullopt;
  EXPECT_THROW(doc->Utility()->GetEntity("Select"), cad::HostError);
  picker->next = cad::PickedEntity{doc->EntityAt({50, 50, 0}, 0.1), {50, 50, 0}};
  EXPECT_THROW(doc->Utility()->GetEntity("Select"), cad::HostError);
}

TEST_F(HostTest, AddingTheWorldUcsTwiceKeepsOneActiveWorldSystem) {
  EXPECT_THROW(doc->ActiveUCS(), cad::HostError);
  for (int i = 0; i < 2; ++i) {
    auto wcs = doc->UserCoordinateSystems()->Add({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, "WCS");
    doc->ActiveUCS(wcs);
  }
  EXPECT_EQ(doc->UserCoordinateSystems()->Count(), 1);
  EXPECT_EQ(doc->ActiveUCS()->Name(), "WCS");
  EXPECT_EQ(doc->ActiveUCS()->XVector(), (cad::Point3{1, 0, 0}));
  auto tilted = doc->UserCoordinateSystems()->Add({1, 1, 0}, {1, 3, 0}, {-5, 2, 0}, "T");
  EXPECT_EQ(tilted->XVector(), (cad::Point3{0, 1, 0}));
  EXPECT_EQ(tilted->YVector(), (cad::Point3{-1, 0, 0}));
  EXPECT_THROW(doc->UserCoordinateSystems()->Add({0, 0, 0}, {0, 0, 0}, {0, 1, 0}, "BAD"),
               cad::HostError);
}

}  // namespace
}  // namespace cadhost::testing
