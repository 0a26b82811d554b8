// Both windows in Polish and in English: a table of their texts, and every caption measured
// against its control, so no translation is cut off or set in a smaller face.
#include <map>
#include <memory>

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "app/form1.h"
#include "app/form2.h"
#include "app/translation.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/fake_dialogs.h"
#include "support/manual_ticker.h"

using namespace lumora;
using namespace lumora::testing;

namespace {

// Both windows, made in the language in use; the programming window on its own, so each
// window's controls are found apart.
struct Windows {
  Windows()
      : form1(dialogs, dialogs),
        form2(std::make_unique<VirtualAdapter>(), std::make_unique<ManualTicker>(), dialogs) {}
  FakeDialogs dialogs;
  TForm1 form1;
  TForm2 form2;
};

enum class Text { Caption, Title, AccessibleName, WindowTitle, Tab0, Tab1, FirstChild };

struct Entry {
  int window;  // 1: main window, 2: programming window
  const char* control;
  Text text;
  const char* polish;
  const char* english;
};

// Every kind of text of both windows, a few of each kind where there are many alike.
const Entry kEntries[] = {
    {1, "PageControl1", Text::Tab0, "Tworzenie sekwencji", "Sequence editor"},
    {1, "PageControl1", Text::Tab1, "Konfiguracja sterownika", "Controller setup"},
    {1, "PageControl1", Text::AccessibleName, "Zakładki", "Tabs"},
    {1, "SpeedButton9", Text::Caption, "Otwórz projekt", "Open project"},
    {1, "SpeedButton12", Text::Caption, "Zapisz projekt", "Save project"},
    {1, "SpeedButton14", Text::Caption, "Wyślij do sterownika", "Send to controller"},
    {1, "Label8", Text::Caption, "Liczba Scen", "Scene count"},
    {1, "GroupBox3", Text::Title, "Programy DMX", "DMX programs"},
    {1, "Panel164", Text::AccessibleName, "Program 1", "DMX program 1"},
    {1, "Panel219", Text::AccessibleName, "Program 56", "DMX program 56"},
    {1, "ProgressBar1", Text::AccessibleName, "Zajętość pamięci sterownika",
     "Controller memory in use"},
    {1, "Button19", Text::Caption, "save all", "save all"},
    {1, "GroupBox4", Text::Title, "Programy DMX Auto", "Automatic programs"},
    {1, "Panel226", Text::AccessibleName, "Program automatyczny 7", "Automatic program 7"},
    {1, "GroupBox5", Text::AccessibleName, "Ustawienia programu automatycznego",
     "Automatic program settings"},
    {1, "Label7", Text::Caption, "Prg Loop", "Prg Loop"},
    {1, "Panel161", Text::AccessibleName, "Wartość Prg Start", "Prg Start value"},
    {1, "UpDown2", Text::AccessibleName, "Prg End", "Prg End"},
    {1, "GroupBox2", Text::Title, "Sekwencje", "Sequences"},
    {1, "SpeedButton19", Text::Caption, "Otwórz", "Open"},
    {1, "SpeedButton20", Text::Caption, "Zapisz", "Save"},
    {1, "SpeedButton21", Text::Caption, "Export", "Export"},
    {1, "GroupBox1", Text::Title, "Sceny", "Scenes"},
    {1, "RadioButton1", Text::Caption, "normal", "normal"},
    {1, "RadioButton2", Text::Caption, "fala1", "wave1"},
    {1, "RadioButton3", Text::Caption, "fala2", "wave2"},
    {1, "SpeedButton15", Text::AccessibleName, "Poprzednia scena", "Previous scene"},
    {1, "SpeedButton16", Text::AccessibleName, "Następna scena", "Next scene"},
    {1, "SpeedButton17", Text::Caption, "Dodaj", "Add"},
    {1, "SpeedButton18", Text::Caption, "Usuń", "Del"},
    {1, "Button16", Text::Caption, "kopiuj", "copy"},
    {1, "Button15", Text::Caption, "wklej", "paste"},
    {1, "SpeedButton22", Text::AccessibleName, "Odtwórz", "Play"},
    {1, "SpeedButton23", Text::AccessibleName, "Stop", "Stop"},
    {1, "Panel17", Text::AccessibleName, "Narzędzia", "Tools"},
    {1, "SpeedButton11", Text::AccessibleName, "Ołówek", "Pencil"},
    {1, "SpeedButton10", Text::AccessibleName, "Pędzel", "Brush"},
    {1, "Panel227", Text::AccessibleName, "Paleta kolorów", "Colour palette"},
    {1, "SpeedButton1", Text::AccessibleName, "Kolor czarny", "Black"},
    {1, "SpeedButton6", Text::AccessibleName, "Kolor purpurowy", "Magenta"},
    {1, "SpeedButton7", Text::AccessibleName, "Kolor błękitny", "Cyan"},
    {1, "TubeGrid", Text::AccessibleName, "Tuby", "Tubes"},
    {1, "TubeGrid", Text::FirstChild, "Tuba 1", "Tube 1"},
    {2, "Form2", Text::WindowTitle, "Programowanie sterownika", "Controller programming"},
    {2, "GroupBox1", Text::Title, "Wybierz sterownik", "Choose controller"},
    {2, "RadioButton1", Text::Caption, "Wszystkie sterowniki", "All controllers"},
    {2, "RadioButton2", Text::Caption, "Sterownik o adresie równym:", "Controller at address:"},
    {2, "Label3", Text::Caption, "DMX adres", "Address"},
    {2, "Panel1", Text::AccessibleName, "Adres DMX: 1", "DMX address: 1"},
    {2, "UpDown1", Text::AccessibleName, "Adres DMX", "DMX address"},
    {2, "GroupBox2", Text::Title, "Ustawienia trybu solo", "Solo mode settings"},
    {2, "RadioButton3", Text::Caption, "Program", "Program"},
    {2, "RadioButton4", Text::Caption, "Auto", "Auto"},
    {2, "Panel2", Text::AccessibleName, "Numer programu: 1", "DMX program number: 1"},
    {2, "Label4", Text::Caption, "Prędkość", "Speed"},
    {2, "Panel3", Text::AccessibleName, "Prędkość: 20", "Speed: 20"},
    {2, "Label5", Text::Caption, "Liczba tub", "Tubes"},
    {2, "UpDown4", Text::AccessibleName, "Liczba tub", "Tubes"},
    {2, "Panel5", Text::AccessibleName, "Numer programu automatycznego: 1",
     "Automatic program number: 1"},
    {2, "GroupBox3", Text::Title, "Wybierz programator", "Choose programmer"},
    {2, "RadioButton5", Text::Caption, "Brightwave USB", "Brightwave USB"},
    {2, "RadioButton6", Text::Caption, "Standard programator", "Standard programmer"},
    {2, "SpeedButton1", Text::Caption, "Programuj sterownik", "Program controller"},
    {2, "StatusBar1", Text::AccessibleName, "Pasek stanu", "Status bar"},
    {2, "ProgressBar1", Text::AccessibleName, "Postęp programowania", "Programming progress"},
};

QString TextOf(QWidget* control, Text text) {
  switch (text) {
    case Text::Caption:
      if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
      return qobject_cast<QAbstractButton*>(control)->text();
    case Text::Title:
      return qobject_cast<QGroupBox*>(control)->title();
    case Text::AccessibleName:
      return control->accessibleName();
    case Text::WindowTitle:
      return control->windowTitle();
    case Text::Tab0:
    case Text::Tab1:
      return qobject_cast<QTabWidget*>(control)->tabText(text == Text::Tab0 ? 0 : 1);
    case Text::FirstChild:
      return QAccessible::queryAccessibleInterface(control)->child(0)->text(QAccessible::Name);
  }
  return {};
}

QWidget* Find(QWidget* window, const char* name) {
  if (window->objectName() == QLatin1String(name)) return window;
  return window->findChild<QWidget*>(QString::fromLatin1(name));
}

// The controls with a caption and how much room each gives its caption, as the style lays it
// out: the caption's width and the width it may take, with the font it is set in.
struct Caption {
  QString control;
  QString text;
  int width;
  int room;
  int fontPixels;
};

int Advance(const QWidget* control, const QString& text) {
  return control->fontMetrics().horizontalAdvance(text);
}

// How far the caption's ink reaches from where it starts: its last letter's side bearing may
// run past the control's edge unseen.
int InkWidth(const QWidget* control, const QString& text) {
  return control->fontMetrics().boundingRect(text).right() + 1;
}

std::vector<Caption> Captions(QWidget* window) {
  std::vector<Caption> captions;
  const auto add = [&captions](QWidget* control, const QString& text, int room) {
    if (text.isEmpty() || !control->isVisibleTo(control->window())) return;
    captions.push_back({control->window()->objectName() + QLatin1Char('.') + control->objectName(),
                        text, InkWidth(control, text), room, control->font().pixelSize()});
  };
  QStyle* style = window->style();
  for (auto* button : window->findChildren<QPushButton*>()) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    add(button, button->text(),
        style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width());
  }
  for (auto* button : window->findChildren<QRadioButton*>()) {
    // The caption starts beside the indicator and may run to the button's right edge.
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    add(button, button->text(),
        button->width() -
            style->subElementRect(QStyle::SE_RadioButtonContents, &option, button).left());
  }
  for (auto* button : window->findChildren<QToolButton*>()) {
    // Beside the image the caption has what the style does not take for the image.
    add(button, button->text(),
        button->width() - (button->sizeHint().width() - Advance(button, button->text())));
  }
  for (auto* group : window->findChildren<QGroupBox*>()) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxLabel;
    const QRect label =
        style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    add(group, group->title(), group->width() - label.left());
  }
  for (auto* label : window->findChildren<QLabel*>()) {
    // A label takes its text's width; its room runs to the nearest control to its right.
    const QWidget* parent = label->parentWidget();
    int room = parent->width() - label->x();
    for (const QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (sibling == label || !sibling->isVisibleTo(label->window())) continue;
      const QRect other = sibling->geometry();
      const bool beside = other.top() < label->geometry().bottom() &&
                          other.bottom() > label->geometry().top() && other.left() > label->x();
      if (beside) room = std::min(room, other.left() - label->x());
    }
    add(label, label->text(), room - (label->width() - Advance(label, label->text())));
  }
  for (auto* tabs : window->findChildren<QTabWidget*>()) {
    // The bar asks for every tab's whole caption; narrower, it would elide them or scroll.
    QTabBar* bar = tabs->tabBar();
    QString all;
    for (int tab = 0; tab < bar->count(); ++tab) all += bar->tabText(tab) + QLatin1Char('|');
    if (tabs->isVisibleTo(window)) {
      captions.push_back({window->objectName() + QLatin1Char('.') + tabs->objectName(), all,
                          bar->sizeHint().width(), tabs->width(), bar->font().pixelSize()});
    }
  }
  return captions;
}

}  // namespace

class WindowLanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { UseLanguage(UiLanguage::Polish); }
  void everyTextInBothLanguages();
  void everyCaptionFitsItsControl();
};

void WindowLanguageTest::everyTextInBothLanguages() {
  for (const UiLanguage language : {UiLanguage::Polish, UiLanguage::English}) {
    UseLanguage(language);
    Windows windows;
    for (const Entry& entry : kEntries) {
      QWidget* window = entry.window == 1 ? static_cast<QWidget*>(&windows.form1) : &windows.form2;
      QWidget* control = Find(window, entry.control);
      QVERIFY2(control, entry.control);
      const char* expected = language == UiLanguage::English ? entry.english : entry.polish;
      QCOMPARE(TextOf(control, entry.text), QString::fromUtf8(expected));
    }
  }
}

// Captions of the Polish window that reach past their room by a pixel or two, as they have
// always done: the window keeps its layout to the pixel, and the English captions there may
// reach no further.
const std::map<QString, int> kKnownOverruns = {{QStringLiteral("Form1.RadioButton1"), 2},
                                               {QStringLiteral("Form1.SpeedButton17"), 1}};

void WindowLanguageTest::everyCaptionFitsItsControl() {
  // The font each control's caption is set in, in Polish: a caption too long for its place
  // in the programming window would be set smaller.
  std::map<QString, int> polishFonts;
  for (const UiLanguage language : {UiLanguage::Polish, UiLanguage::English}) {
    UseLanguage(language);
    Windows windows;
    windows.form1.show();
    windows.form2.show();
    QVERIFY(QTest::qWaitForWindowExposed(&windows.form2));
    // Both pages of the main window, and the programming window.
    auto* tabs = windows.form1.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    std::vector<Caption> captions;
    for (int tab = 0; tab < tabs->count(); ++tab) {
      tabs->setCurrentIndex(tab);
      // The controls beside the pages are measured twice, as they are shown twice.
      for (const Caption& caption : Captions(&windows.form1)) captions.push_back(caption);
    }
    for (const Caption& caption : Captions(&windows.form2)) captions.push_back(caption);
    QVERIFY2(captions.size() > 40, qPrintable(QString::number(captions.size())));
    QStringList faults;
    for (const Caption& caption : captions) {
      const QString where = caption.control + QStringLiteral(" \"") + caption.text +
                            QStringLiteral("\": %1 px in %2, font %3 px")
                                .arg(caption.width)
                                .arg(caption.room)
                                .arg(caption.fontPixels);
      const auto known = kKnownOverruns.find(caption.control);
      if (caption.width > caption.room + (known == kKnownOverruns.end() ? 0 : known->second)) {
        faults << where;
      }
      if (language == UiLanguage::Polish) {
        polishFonts[caption.control] = caption.fontPixels;
      } else if (caption.fontPixels < polishFonts[caption.control]) {
        faults << where + QStringLiteral(" (smaller than in Polish)");
      }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    windows.form2.hide();
  }
}

QTEST_MAIN(WindowLanguageTest)
#include "window_language_test.moc"
