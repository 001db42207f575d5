#include "cadhost/application.h"

#include "cadhost/names.h"

#include <filesystem>

#include "cadhost/document.h"
#include "cadhost/errors.h"

namespace cadhost {

namespace {

class HostDocuments : public cad::Documents {
 public:
  explicit HostDocuments(std::shared_ptr<HostApplication> application)
      : application_(std::move(application)) {}
  long Count() const override { return static_cast<long>(application_->documents().size()); }
  cad::DocumentPtr Item(long index) const override {
    const auto& documents = application_->documents();
    if (index < 0 || static_cast<std::size_t>(index) >= documents.size()) Fail(kIndexOutOfRange);
    return documents[static_cast<std::size_t>(index)];
  }
  cad::DocumentPtr Add() override { return application_->NewDocument(); }
  cad::DocumentPtr Open(const std::string& path) override { return application_->OpenDocument(path); }

 private:
  std::shared_ptr<HostApplication> application_;
};

}  // namespace

std::shared_ptr<HostApplication> HostApplication::Create(HostOptions options) {
  return std::shared_ptr<HostApplication>(new HostApplication(std::move(options)));
}

HostApplication::HostApplication(HostOptions options)
    : version_(std::move(options.version)),
      services_(std::make_shared<HostServices>(std::move(options.services))) {}

void HostApplication::Notify() const {
  if (onWindowChange) onWindowChange();
}

void HostApplication::Visible(bool visible) {
  visible_ = visible;
  Notify();
}

void HostApplication::WindowState(int state) {
  if (state != cad::kWindowNormal && state != cad::kWindowMinimized && state != cad::kWindowMaximized)
    Fail("Invalid window state " + std::to_string(state));
  windowState_ = state;
  Notify();
}

cad::DocumentPtr HostApplication::ActiveDocument() const {
  auto active = active_.lock();
  if (!active || active->IsClosed()) Fail("No drawing is open");
  return active;
}

cad::DocumentsPtr HostApplication::Documents() const {
  return std::make_shared<HostDocuments>(
      std::const_pointer_cast<HostApplication>(shared_from_this()));
}

std::shared_ptr<HostDocument> HostApplication::NewDocument() {
  std::string name = "Drawing" + std::to_string(++untitled_) + ".dwg";
  auto document = std::make_shared<HostDocument>(weak_from_this(), Database::CreateNew(), "",
                                                 name, services_);
  documents_.push_back(document);
  Activate(document);
  return document;
}

std::shared_ptr<HostDocument> HostApplication::OpenDocument(const std::string& path) {
  if (!services_->loader)
    Fail("Cannot open \"" + path + "\": this host has no drawing file reader installed");
  std::unique_ptr<Database> database = services_->loader->Open(path);
  if (!database) Fail("Cannot open \"" + path + "\"");
  // A drawing imported from a DWG file is saved as DXF beside it, never over it.
  std::string fullName = path;
  if (database->imported) {
    if (fullName.size() > 4 && FoldName(fullName.substr(fullName.size() - 4)) == FoldName(".dwg"))
      fullName.resize(fullName.size() - 4);
    fullName += ".dxf";
  }
  std::string name = std::filesystem::path(fullName).filename().string();
  if (auto slash = name.find_last_of('\\'); slash != std::string::npos) name = name.substr(slash + 1);
  auto document =
      std::make_shared<HostDocument>(weak_from_this(), std::move(database), fullName, name, services_);
  documents_.push_back(document);
  Activate(document);
  return document;
}

void HostApplication::Activate(const std::shared_ptr<HostDocument>& document) {
  active_ = document;
  Notify();
}

void HostApplication::Closed(const HostDocument* document) {
  std::erase_if(documents_, [document](const auto& d) { return d.get() == document; });
  if (active_.expired() || active_.lock().get() == document) {
    active_.reset();
    if (!documents_.empty()) active_ = documents_.back();
  }
  Notify();
}

}  // namespace cadhost
