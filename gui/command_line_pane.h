// The command-line pane of the host window.
#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QPlainTextEdit;

namespace cadhost {
class HostDocument;
}

namespace gui {

// Shows the command history of the drawing shown (what the program sent with
// SendCommand and the host's answers) and, below it, the prompt the host is
// waiting on.
class CommandLinePane : public QWidget {
  Q_OBJECT

 public:
  explicit CommandLinePane(QWidget* parent = nullptr);

  // Catches up with the document's history; another document is shown afresh.
  void Follow(const std::shared_ptr<cadhost::HostDocument>& document);
  void SetPrompt(const QString& prompt);
  QString HistoryText() const;
  QString PromptText() const;

 private:
  QPlainTextEdit* history_ = nullptr;
  QLabel* prompt_ = nullptr;
  const cadhost::HostDocument* shown_ = nullptr;
  std::size_t linesShown_ = 0;
};

}  // namespace gui
