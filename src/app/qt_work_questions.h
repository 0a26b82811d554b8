#pragma once

#include <QCoreApplication>

#include "main_window/work_questions.h"

class QWidget;

namespace lumora {

// The close question, a message box over the main window in the window's language: the save
// button names what it saves ("Zapisz sekwencję", "Zapisz projekt", "Zapisz oba"), then "Nie
// zapisuj" and "Anuluj". Enter saves; Escape and the box's close button cancel.
class QtCloseQuestion : public CloseQuestion {
  Q_DECLARE_TR_FUNCTIONS(lumora::QtCloseQuestion)

 public:
  explicit QtCloseQuestion(QWidget* window) : window_(window) {}
  CloseAnswer Ask(UnsavedWork unsaved) override;

 private:
  QWidget* window_;
};

// The start's offer of work a Lumora left unsaved, "Przywrócić niezapisaną pracę?" with
// "Przywróć" and "Odrzuć" (one of the two must be chosen), and the report of a copy that
// could not be read, over the main window.
class QtRecoveryQuestions : public RecoveryQuestions {
  Q_DECLARE_TR_FUNCTIONS(lumora::QtRecoveryQuestions)

 public:
  explicit QtRecoveryQuestions(QWidget* window) : window_(window) {}
  bool OfferRestore() override;
  void ReportDamaged(const std::string& folder) override;

 private:
  QWidget* window_;
};

}  // namespace lumora
