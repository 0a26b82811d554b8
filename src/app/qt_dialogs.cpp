#include "app/qt_dialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "app/translation.h"

namespace lumora {

namespace {

QString Extension(FileKind kind) {
  return kind == FileKind::Project ? QStringLiteral("prj") : QStringLiteral("sqx");
}

QString NameFilter(FileKind kind) {
  return kind == FileKind::Project
             ? QCoreApplication::translate("lumora::QtFileDialogs", "prj (*.prj)")
             : QCoreApplication::translate("lumora::QtFileDialogs", "sqx (*.sqx)");
}

std::optional<std::string> RunFileDialog(FileKind kind, QFileDialog::AcceptMode mode) {
  const QString extension = Extension(kind);
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(mode);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(NameFilter(kind));
  if (mode == QFileDialog::AcceptSave) {
    dialog.setDefaultSuffix(extension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

void RunMessageBox(QMessageBox::Icon icon, std::string_view text) {
  QMessageBox box(icon, QStringLiteral("Lumora"), TranslatedMessage(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

}  // namespace

std::optional<std::string> QtFileDialogs::GetOpenFileName(FileKind kind) {
  return RunFileDialog(kind, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtFileDialogs::GetSaveFileName(FileKind kind) {
  return RunFileDialog(kind, QFileDialog::AcceptSave);
}

void QtMessageBoxes::ShowError(std::string_view text) {
  RunMessageBox(QMessageBox::Critical, text);
}

void QtMessageBoxes::ShowWarning(std::string_view text) {
  RunMessageBox(QMessageBox::Warning, text);
}

}  // namespace lumora
