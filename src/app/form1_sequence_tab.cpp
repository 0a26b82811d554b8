#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "app/button_images.h"
#include "app/controls.h"
#include "app/form1.h"

namespace lumora {

namespace {
constexpr int kCounterFontPixels = 16;
}  // namespace

void TForm1::BuildSequenceTab(QWidget* page) {
  QGroupBox* groupBox2 =
      MakeGroupBox(page, QStringLiteral("GroupBox2"), {0, 8, 233, 49}, tr("Sekwencje"));
  QToolButton* open = MakeSpeedButton(groupBox2, QStringLiteral("SpeedButton19"), {6, 16, 73, 22},
                                      {}, tr("Otwórz"));
  connect(open, &QToolButton::clicked, this, [this] { SpeedButton19Click(); });
  QToolButton* save = MakeSpeedButton(groupBox2, QStringLiteral("SpeedButton20"), {84, 16, 73, 22},
                                      {}, tr("Zapisz"));
  connect(save, &QToolButton::clicked, this, [this] { SpeedButton20Click(); });
  QToolButton* exportLine = MakeSpeedButton(groupBox2, QStringLiteral("SpeedButton21"),
                                            {162, 16, 65, 22}, {}, tr("Export"));
  connect(exportLine, &QToolButton::clicked, this, [this] { SpeedButton21Click(); });

  QGroupBox* groupBox1 =
      MakeGroupBox(page, QStringLiteral("GroupBox1"), {16, 72, 209, 225}, tr("Sceny"));
  const char* const effectCaptions[] = {QT_TR_NOOP("normal"), QT_TR_NOOP("fala1"),
                                        QT_TR_NOOP("fala2")};
  for (int i = 0; i < 3; ++i) {
    effectButtons_[i] = MakeRadioButton(groupBox1, QStringLiteral("RadioButton%1").arg(i + 1),
                                        {8 + 64 * i, 16, 57, 17}, tr(effectCaptions[i]));
  }
  effectButtons_[0]->setChecked(true);
  connect(effectButtons_[0], &QRadioButton::clicked, this, [this] { RadioButton1Click(); });
  connect(effectButtons_[1], &QRadioButton::clicked, this, [this] { RadioButton2Click(); });
  connect(effectButtons_[2], &QRadioButton::clicked, this, [this] { RadioButton3Click(); });

  QToolButton* previous =
      MakeSpeedButton(groupBox1, QStringLiteral("SpeedButton15"), {41, 67, 26, 26},
                      LeftArrowImage(), {}, tr("Poprzednia scena"));
  connect(previous, &QToolButton::clicked, this, [this] { SpeedButton15Click(); });
  Label20 = MakeLabel(groupBox1, QStringLiteral("Label20"), {78, 70}, QStringLiteral("1"),
                      kCounterFontPixels);
  MakeLabel(groupBox1, QStringLiteral("Label21"), {100, 69}, QStringLiteral(":"),
            kCounterFontPixels);
  Label22 = MakeLabel(groupBox1, QStringLiteral("Label22"), {110, 69}, QStringLiteral("1"),
                      kCounterFontPixels);
  QToolButton* next = MakeSpeedButton(groupBox1, QStringLiteral("SpeedButton16"), {135, 66, 26, 26},
                                      RightArrowImage(), {}, tr("Następna scena"));
  connect(next, &QToolButton::clicked, this, [this] { SpeedButton16Click(); });

  QToolButton* add = MakeSpeedButton(groupBox1, QStringLiteral("SpeedButton17"), {32, 107, 65, 25},
                                     PlusImage(), tr("Dodaj"));
  connect(add, &QToolButton::clicked, this, [this] { SpeedButton17Click(); });
  QToolButton* remove = MakeSpeedButton(groupBox1, QStringLiteral("SpeedButton18"),
                                        {108, 107, 65, 25}, BinImage(), tr("Usuń"));
  connect(remove, &QToolButton::clicked, this, [this] { SpeedButton18Click(); });
  QPushButton* copy =
      MakeButton(groupBox1, QStringLiteral("Button16"), {57, 136, 41, 25}, tr("kopiuj"));
  connect(copy, &QPushButton::clicked, this, [this] { Button16Click(); });
  QPushButton* paste =
      MakeButton(groupBox1, QStringLiteral("Button15"), {108, 136, 41, 25}, tr("wklej"));
  connect(paste, &QPushButton::clicked, this, [this] { Button15Click(); });

  SpeedButton22 = MakeSpeedButton(groupBox1, QStringLiteral("SpeedButton22"), {72, 184, 28, 28},
                                  PlayImage(), {}, tr("Odtwórz"));
  SpeedButton23 = MakeSpeedButton(groupBox1, QStringLiteral("SpeedButton23"), {104, 184, 28, 28},
                                  StopImage(), {}, tr("Stop"));
  for (QToolButton* button : {SpeedButton22, SpeedButton23}) {
    button->setAutoRaise(true);
    button->setCheckable(true);
    playGroup_.addButton(button);
  }
  SpeedButton23->setChecked(true);
  connect(SpeedButton22, &QToolButton::clicked, this, [this] { SpeedButton22Click(); });
  connect(SpeedButton23, &QToolButton::clicked, this, [this] { SpeedButton23Click(); });
}

}  // namespace lumora
