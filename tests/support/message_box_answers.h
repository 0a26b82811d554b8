#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>
#include <map>

namespace lumora::testing {

// What a message box showed: its texts and each button's caption by the button's name (a
// standard button by its own name, such as "Ok").
struct ShownBox {
  QString text;
  QString informativeText;
  std::map<QString, QString> buttons;
};

// Answers the message boxes of the application as they show, one answer each in turn, with a
// real mouse click on the button the answer names, or a key press ("Escape", "Return"); the
// boxes are kept for the checks. A box with no answer left is closed unanswered, so that an
// unexpected one fails the check that counts them instead of waiting for ever.
class MessageBoxAnswers {
 public:
  MessageBoxAnswers() {
    poll_.setInterval(5);
    QObject::connect(&poll_, &QTimer::timeout, [this] { Look(); });
    poll_.start();
  }

  std::deque<QString> answers;
  std::vector<ShownBox> shown;
  // Runs as each box shows, before it is answered (to take its picture).
  std::function<void(QMessageBox&)> onShown = [](QMessageBox&) {};

 private:
  static QString NameOf(QMessageBox& box, QAbstractButton* button) {
    const QMessageBox::StandardButton standard = box.standardButton(button);
    if (standard == QMessageBox::Ok) return QStringLiteral("Ok");
    return button->objectName();
  }

  void Look() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || box == answered_ || !box->isVisible()) return;
    answered_ = box;
    ShownBox seen{box->text(), box->informativeText(), {}};
    for (QAbstractButton* button : box->buttons())
      seen.buttons[NameOf(*box, button)] = button->text();
    shown.push_back(seen);
    onShown(*box);
    if (answers.empty()) {
      box->reject();
      return;
    }
    const QString answer = answers.front();
    answers.pop_front();
    if (answer == QLatin1String("Escape")) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else if (answer == QLatin1String("Return")) {
      QTest::keyClick(box, Qt::Key_Return);
    } else {
      for (QAbstractButton* button : box->buttons()) {
        if (NameOf(*box, button) == answer) {
          QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
          return;
        }
      }
      qWarning("no button %s in the message box", qPrintable(answer));
    }
  }

  QTimer poll_;
  QPointer<QMessageBox> answered_;
};

}  // namespace lumora::testing
