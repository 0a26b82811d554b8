#include "app/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "app/path_text.h"
#include "app/translation.h"

namespace lumora {

namespace {

// The export line and the listings are offered the sequences' filter and extension.
QString Extension(FileKind kind) {
  return kind == FileKind::Project ? QStringLiteral("prj") : QStringLiteral("sqx");
}

QString NameFilter(FileKind kind) {
  return kind == FileKind::Project
             ? QCoreApplication::translate("lumora::QtFileDialogs", "prj (*.prj)")
             : QCoreApplication::translate("lumora::QtFileDialogs", "sqx (*.sqx)");
}

void RunMessageBox(QMessageBox::Icon icon, std::string_view text) {
  QMessageBox box(icon, QStringLiteral("Lumora"), TranslatedMessage(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

}  // namespace

std::optional<std::string> QtFileDialogs::Run(FileKind kind, bool save) {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(NameFilter(kind));
  // Without a folder of its own the dialog opens where Qt's dialogs opened before.
  if (const std::string folder = habits_.StartFolder(kind); !folder.empty()) {
    dialog.setDirectory(PathText(folder));
  }
  // A save dialog asks before it replaces a file, in Qt's own words.
  if (save) dialog.setDefaultSuffix(Extension(kind));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return PathBytes(dialog.selectedFiles().first());
}

std::optional<std::string> QtFileDialogs::GetOpenFileName(FileKind kind) {
  return Run(kind, false);
}

std::optional<std::string> QtFileDialogs::GetSaveFileName(FileKind kind) {
  return Run(kind, true);
}

void QtMessageBoxes::ShowError(std::string_view text) {
  RunMessageBox(QMessageBox::Critical, text);
}

void QtMessageBoxes::ShowWarning(std::string_view text) {
  RunMessageBox(QMessageBox::Warning, text);
}

}  // namespace lumora
