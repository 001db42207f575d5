#include "gui/host_window_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace gui {

namespace {
const QString kDrawingFilter = QStringLiteral("Drawing Exchange Format (*.dxf);;All files (*)");
// The host reads DWG drawings too; it writes DXF only.
const QString kOpenFilter =
    QStringLiteral("Drawings (*.dxf *.dwg *.DXF *.DWG);;Drawing Exchange Format (*.dxf);;DWG drawings (*.dwg);;All files (*)");
}

HostWindowDialogs QtHostDialogs() {
  HostWindowDialogs dialogs;
  dialogs.chooseOpen = [](QWidget* parent) -> std::optional<std::string> {
    QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("Select File"), {}, kOpenFilter);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
  };
  dialogs.chooseSaveAs = [](QWidget* parent, const std::string& suggested) -> std::optional<std::string> {
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save Drawing As"),
                                                QString::fromStdString(suggested), kDrawingFilter);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
  };
  dialogs.askUnsaved = [](QWidget* parent, const std::string& name) {
    auto answer = QMessageBox::question(
        parent, parent ? parent->windowTitle() : QString(),
        QStringLiteral("Save changes to %1?").arg(QString::fromStdString(name)),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) return UnsavedAnswer::Save;
    if (answer == QMessageBox::No) return UnsavedAnswer::Discard;
    return UnsavedAnswer::Cancel;
  };
  dialogs.showError = [](QWidget* parent, const std::string& message) {
    QMessageBox::warning(parent, parent ? parent->windowTitle() : QString(), QString::fromStdString(message));
  };
  dialogs.showNotice = [](QWidget* parent, const std::string& message) {
    QMessageBox::information(parent, parent ? parent->windowTitle() : QString(), QString::fromStdString(message));
  };
  return dialogs;
}

}  // namespace gui
