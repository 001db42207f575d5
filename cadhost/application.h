// The built-in host application: its documents and window state.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cadhost/services.h"
#include "host/cad.h"

namespace cadhost {

class HostDocument;

struct HostOptions {
  std::string version = "17.0";  // what Version() reports
  HostServices services;
};

// Owns the open documents and which one is active. Visible and WindowState
// are plain state until the host has a window; `onWindowChange` lets that
// window follow them.
class HostApplication : public cad::Application,
                        public std::enable_shared_from_this<HostApplication> {
 public:
  static std::shared_ptr<HostApplication> Create(HostOptions options = {});

  bool Visible() const override { return visible_; }
  void Visible(bool visible) override;
  int WindowState() const override { return windowState_; }
  void WindowState(int state) override;
  cad::DocumentPtr ActiveDocument() const override;
  cad::DocumentsPtr Documents() const override;
  std::string Version() const override { return version_; }

  // For the host's own use.
  HostServices& services() { return *services_; }
  std::shared_ptr<HostDocument> NewDocument();
  std::shared_ptr<HostDocument> OpenDocument(const std::string& path);
  void Activate(const std::shared_ptr<HostDocument>& document);
  void Closed(const HostDocument* document);
  const std::vector<std::shared_ptr<HostDocument>>& documents() const { return documents_; }
  std::function<void()> onWindowChange;

 private:
  explicit HostApplication(HostOptions options);
  void Notify() const;

  std::string version_;
  std::shared_ptr<HostServices> services_;
  std::vector<std::shared_ptr<HostDocument>> documents_;
  std::weak_ptr<HostDocument> active_;
  bool visible_ = false;
  int windowState_ = cad::kWindowNormal;
  int untitled_ = 0;
};

}  // namespace cadhost
