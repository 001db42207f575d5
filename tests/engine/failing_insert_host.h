// The built-in host seen through a drawing whose model space refuses one
// chosen insertion: everything else is passed to the real host unchanged, so
// a test can make an insertion fail in the middle of a row.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/cad.h"

namespace workwindow_test {

class FailingInsertSpace : public cad::Block {
 public:
  FailingInsertSpace(cad::BlockPtr real, int failingCall) : real_(std::move(real)), failingCall_(failingCall) {}
  std::string ObjectName() const override { return real_->ObjectName(); }
  std::string Handle() const override { return real_->Handle(); }
  std::string Name() const override { return real_->Name(); }
  bool IsLayout() const override { return real_->IsLayout(); }
  bool IsXRef() const override { return real_->IsXRef(); }
  cad::Point3 Origin() const override { return real_->Origin(); }
  long Count() const override { return real_->Count(); }
  cad::EntityPtr Item(long index) const override { return real_->Item(index); }
  cad::BlockReferencePtr InsertBlock(const cad::Point3& at, const std::string& name, double x,
                                     double y, double z, double rotation) override {
    if (++calls_ == failingCall_) throw cad::HostError("Drawing file is busy");
    return real_->InsertBlock(at, name, x, y, z, rotation);
  }
  cad::TextPtr AddText(const std::string& text, const cad::Point3& at, double height) override {
    return real_->AddText(text, at, height);
  }
  cad::AttributeDefinitionPtr AddAttribute(double height, int mode, const std::string& prompt,
                                           const cad::Point3& at, const std::string& tag,
                                           const std::string& value) override {
    return real_->AddAttribute(height, mode, prompt, at, tag, value);
  }
  cad::EntityPtr AddArc(const cad::Point3& c, double r, double a, double b) override {
    return real_->AddArc(c, r, a, b);
  }
  cad::EntityPtr AddLine(const cad::Point3& a, const cad::Point3& b) override { return real_->AddLine(a, b); }
  cad::PolylinePtr AddLightWeightPolyline(const std::vector<double>& vertices) override {
    return real_->AddLightWeightPolyline(vertices);
  }

 private:
  cad::BlockPtr real_;
  int failingCall_ = 0;
  int calls_ = 0;
};

class FailingInsertDocument : public cad::Document {
 public:
  FailingInsertDocument(cad::DocumentPtr real, int failingCall)
      : real_(std::move(real)), space_(std::make_shared<FailingInsertSpace>(real_->ModelSpace(), failingCall)) {}
  cad::ApplicationPtr Application() const override { return real_->Application(); }
  std::string Name() const override { return real_->Name(); }
  std::string FullName() const override { return real_->FullName(); }
  cad::BlockPtr ModelSpace() const override { return space_; }
  cad::BlockPtr PaperSpace() const override { return real_->PaperSpace(); }
  cad::BlocksPtr Blocks() const override { return real_->Blocks(); }
  cad::LayersPtr Layers() const override { return real_->Layers(); }
  cad::UserCoordinateSystemsPtr UserCoordinateSystems() const override { return real_->UserCoordinateSystems(); }
  cad::LayerPtr ActiveLayer() const override { return real_->ActiveLayer(); }
  void ActiveLayer(const cad::LayerPtr& layer) override { real_->ActiveLayer(layer); }
  cad::UcsPtr ActiveUCS() const override { return real_->ActiveUCS(); }
  void ActiveUCS(const cad::UcsPtr& ucs) override { real_->ActiveUCS(ucs); }
  cad::SelectionSetsPtr SelectionSets() const override { return real_->SelectionSets(); }
  cad::UtilityPtr Utility() const override { return real_->Utility(); }
  void SendCommand(const std::string& command) override { real_->SendCommand(command); }
  cad::ObjectPtr HandleToObject(const std::string& handle) const override { return real_->HandleToObject(handle); }
  void StartUndoMark() override { real_->StartUndoMark(); }
  void EndUndoMark() override { real_->EndUndoMark(); }
  void CancelUndoMark() override { real_->CancelUndoMark(); }
  bool Saved() const override { return real_->Saved(); }
  void Save() override { real_->Save(); }
  void SaveAs(const std::string& path) override { real_->SaveAs(path); }
  void Activate() override { real_->Activate(); }
  void Close() override { real_->Close(); }

 private:
  cad::DocumentPtr real_;
  cad::BlockPtr space_;
};

class FailingInsertApplication : public cad::Application {
 public:
  FailingInsertApplication(cad::ApplicationPtr real, int failingCall)
      : real_(std::move(real)), document_(std::make_shared<FailingInsertDocument>(real_->ActiveDocument(), failingCall)) {}
  bool Visible() const override { return real_->Visible(); }
  void Visible(bool visible) override { real_->Visible(visible); }
  int WindowState() const override { return real_->WindowState(); }
  void WindowState(int state) override { real_->WindowState(state); }
  cad::DocumentPtr ActiveDocument() const override { return document_; }
  cad::DocumentsPtr Documents() const override { return real_->Documents(); }
  std::string Version() const override { return real_->Version(); }

 private:
  cad::ApplicationPtr real_;
  cad::DocumentPtr document_;
};

}  // namespace workwindow_test
