#include "app/qt_work_questions.h"

#include <QDir>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace lumora {

namespace {

// A message box is as wide as its first line and its buttons, and folds its further text to
// that: a short question gets room for a few lines of explanation.
void MakeRoomForTheExplanation(QMessageBox& box) {
  constexpr int kCharacters = 64;
  auto* layout = qobject_cast<QGridLayout*>(box.layout());
  if (!layout) return;
  layout->addItem(new QSpacerItem(box.fontMetrics().averageCharWidth() * kCharacters, 0),
                  layout->rowCount(), 0, 1, layout->columnCount());
}

}  // namespace

CloseAnswer QtCloseQuestion::Ask(UnsavedWork unsaved) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Lumora"), QString(), QMessageBox::NoButton,
                  window_);
  QString save;
  if (unsaved.Sequence && unsaved.Project) {
    box.setText(tr("Zapisać zmiany sekwencji i projektu przed zamknięciem?"));
    save = tr("Zapisz oba");
  } else if (unsaved.Sequence) {
    box.setText(tr("Zapisać zmiany sekwencji przed zamknięciem?"));
    save = tr("Zapisz sekwencję");
  } else {
    box.setText(tr("Zapisać zmiany projektu przed zamknięciem?"));
    save = tr("Zapisz projekt");
  }
  box.setInformativeText(tr("Niezapisane zmiany zostaną utracone."));
  QPushButton* saveButton = box.addButton(save, QMessageBox::AcceptRole);
  saveButton->setObjectName(QStringLiteral("save"));
  QPushButton* dontSave = box.addButton(tr("Nie zapisuj"), QMessageBox::DestructiveRole);
  dontSave->setObjectName(QStringLiteral("dontSave"));
  QPushButton* cancel = box.addButton(tr("Anuluj"), QMessageBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancel"));
  box.setDefaultButton(saveButton);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == saveButton) return CloseAnswer::Save;
  if (box.clickedButton() == dontSave) return CloseAnswer::DontSave;
  return CloseAnswer::Cancel;
}

bool QtRecoveryQuestions::OfferRestore() {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Lumora"),
                  tr("Przywrócić niezapisaną pracę?"), QMessageBox::NoButton, window_);
  box.setInformativeText(
      tr("Lumora zakończyła się bez zapisania zmian. Ctrl+Z cofa "
         "przywrócenie; odrzucona praca zostanie usunięta."));
  QPushButton* restore = box.addButton(tr("Przywróć"), QMessageBox::AcceptRole);
  restore->setObjectName(QStringLiteral("restore"));
  QPushButton* discard = box.addButton(tr("Odrzuć"), QMessageBox::DestructiveRole);
  discard->setObjectName(QStringLiteral("discard"));
  box.setDefaultButton(restore);
  MakeRoomForTheExplanation(box);
  box.exec();
  // A box gone without an answer loses nothing: the work comes back, undoable.
  return box.clickedButton() != discard;
}

void QtRecoveryQuestions::ReportDamaged(const std::string& folder) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Lumora"),
                  tr("Kopii niezapisanej pracy nie da się odczytać."), QMessageBox::Ok, window_);
  box.setInformativeText(tr("Odłożono ją do folderu %1.")
                             .arg(QDir::toNativeSeparators(QString::fromStdString(folder))));
  MakeRoomForTheExplanation(box);
  box.exec();
}

}  // namespace lumora
