#include "gui/QtHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <utility>

#include "app/Form1.h"
#include "gui/WidgetBinder.h"
#include "gui/WindowSettings.h"

namespace pw::gui {

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    entries << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
  }
  return entries.join(";;");
}

QString QtHost::StartFolder() const { return settings_ ? settings_->LastFolder() : QString(); }

void QtHost::RememberFolderOf(const QString& file) {
  if (settings_) settings_->SetLastFolder(QFileInfo(file).absolutePath());
}

std::optional<std::string> QtHost::ChooseOpenFile(const std::string& filter) {
  if (offered_) return std::exchange(offered_, std::nullopt);
  const QString file = QFileDialog::getOpenFileName(window_, QString(), StartFolder(), QtFileFilter(filter));
  if (file.isEmpty()) return std::nullopt;
  RememberFolderOf(file);
  return file.toStdString();
}

std::optional<std::string> QtHost::ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) {
  QFileDialog dialog(window_, QString(), StartFolder(), QtFileFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  RememberFolderOf(dialog.selectedFiles().first());
  return dialog.selectedFiles().first().toStdString();
}

bool QtHost::AskYesNo(const std::string& title, const std::string& text) {
  return QMessageBox::question(window_, QString::fromStdString(title), QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void QtHost::ShowError(const std::string& text) {
  if (binder_) binder_->SyncAll();
  QMessageBox::critical(window_, TForm1::kCaption, QString::fromStdString(text), QMessageBox::Ok);
}

void QtHost::ProcessEvents() {
  if (binder_) binder_->SyncAll();
  QApplication::processEvents();
}

void QtHost::RepaintProgress(const ProgressBar& bar) {
  if (binder_) binder_->SyncAndRepaint(bar);
}

}  // namespace pw::gui
