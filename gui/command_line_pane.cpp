#include "gui/command_line_pane.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "cadhost/document.h"

namespace gui {

namespace {
constexpr const char* kIdlePrompt = "Command:";
constexpr int kHistoryLines = 5;  // visible at once; the rest scrolls
}  // namespace

CommandLinePane::CommandLinePane(QWidget* parent)
    : QWidget(parent), history_(new QPlainTextEdit(this)), prompt_(new QLabel(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(1);
  history_->setReadOnly(true);
  history_->setMaximumBlockCount(10000);
  history_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed(QStringLiteral("Monospace"));
  fixed.setStyleHint(QFont::TypeWriter);
  history_->setFont(fixed);
  prompt_->setFont(fixed);
  history_->setFixedHeight(history_->fontMetrics().lineSpacing() * kHistoryLines + 8);
  layout->addWidget(history_);
  layout->addWidget(prompt_);
  SetPrompt({});
}

void CommandLinePane::Follow(const std::shared_ptr<cadhost::HostDocument>& document) {
  if (!document || document->IsClosed()) {
    history_->clear();
    shown_ = nullptr;
    linesShown_ = 0;
    return;
  }
  const std::vector<std::string>& lines = document->commandLine().History();
  if (document.get() != shown_ || lines.size() < linesShown_) {
    history_->clear();
    shown_ = document.get();
    linesShown_ = 0;
  }
  for (; linesShown_ < lines.size(); ++linesShown_)
    history_->appendPlainText(QString::fromStdString(lines[linesShown_]));
}

void CommandLinePane::SetPrompt(const QString& prompt) {
  prompt_->setText(prompt.isEmpty() ? QString::fromLatin1(kIdlePrompt) : prompt + QLatin1Char(':'));
}

QString CommandLinePane::HistoryText() const { return history_->toPlainText(); }
QString CommandLinePane::PromptText() const { return prompt_->text(); }

}  // namespace gui
