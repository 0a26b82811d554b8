#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include "app/controls.h"
#include "app/form1.h"
#include "app/panel.h"
#include "app/up_down.h"

namespace lumora {

namespace {

constexpr int kSquare = 25;
constexpr int kProgramColumns = 8;
constexpr int kFirstProgramPanel = 164;
constexpr int kFirstAutoPanel = 220;

// One of the three value columns of the automatic programs: title, display box, spinner.
struct AutoValueColumn {
  const char* title;
  const char* titleLabel;
  const char* box;
  const char* valueLabel;
  const char* upDown;
  AutoValue value;
};

constexpr AutoValueColumn kAutoColumns[] = {
    {QT_TRANSLATE_NOOP("lumora::TForm1", "Prg Start"), "Label3", "Panel161", "Label2", "UpDown1",
     AutoValue::Start},
    {QT_TRANSLATE_NOOP("lumora::TForm1", "Prg End"), "Label6", "Panel162", "Label4", "UpDown2",
     AutoValue::End},
    {QT_TRANSLATE_NOOP("lumora::TForm1", "Prg Loop"), "Label7", "Panel163", "Label5", "UpDown3",
     AutoValue::Loop},
};

}  // namespace

void TForm1::BuildConfigTab(QWidget* page) {
  QToolButton* openProject = MakeSpeedButton(page, QStringLiteral("SpeedButton9"), {4, 8, 105, 25},
                                             {}, tr("Otwórz projekt"));
  connect(openProject, &QToolButton::clicked, this, [this] { SpeedButton9Click(); });
  QToolButton* saveProject = MakeSpeedButton(page, QStringLiteral("SpeedButton12"),
                                             {120, 8, 105, 25}, {}, tr("Zapisz projekt"));
  connect(saveProject, &QToolButton::clicked, this, [this] { SpeedButton12Click(); });
  MakeLabel(page, QStringLiteral("Label8"), {128, 32}, tr("Liczba Scen"))->hide();
  Label9 = MakeLabel(page, QStringLiteral("Label9"), {192, 32}, QStringLiteral("Label9"));
  Label9->hide();
  MakeSpeedButton(page, QStringLiteral("SpeedButton13"), {216, 192, 49, 22}, {},
                  tr("Wyślij do sterownika"))
      ->hide();

  QGroupBox* groupBox3 =
      MakeGroupBox(page, QStringLiteral("GroupBox3"), {12, 45, 209, 420}, tr("Programy DMX"));
  for (int k = 1; k <= kPrograms; ++k) {
    const int column = (k - 1) % kProgramColumns;
    const int row = (k - 1) / kProgramColumns;
    Panel* square = MakePanel(groupBox3, QStringLiteral("Panel%1").arg(kFirstProgramPanel + k - 1),
                              {8 + 24 * column, 16 + 32 * row, kSquare, kSquare},
                              QString::number(k), tr("Program %1").arg(k));
    square->SetTag(k);
    programSquares_[k - 1] = square;
    connect(square, &Panel::MouseDown, this,
            [this, square](Qt::MouseButton button) { Panel219MouseDown(square, button); });
  }
  BuildAutoPrograms(groupBox3);

  ProgressBar1 = new QProgressBar(groupBox3);
  Place(ProgressBar1, QStringLiteral("ProgressBar1"), {8, 352, 193, 16},
        tr("Zajętość pamięci sterownika"));
  ProgressBar1->setRange(0, 128);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  QToolButton* send = MakeSpeedButton(groupBox3, QStringLiteral("SpeedButton14"),
                                      {37, 382, 131, 27}, {}, tr("Wyślij do sterownika"));
  connect(send, &QToolButton::clicked, this, [this] { SpeedButton14Click(); });

  QPushButton* saveTablePrograms =
      MakeButton(page, QStringLiteral("Button6"), {216, 72, 75, 25}, tr("save tab prg"));
  connect(saveTablePrograms, &QPushButton::clicked, this, [this] { Button6Click(); });
  saveTablePrograms->hide();
  QPushButton* saveTableScenes =
      MakeButton(page, QStringLiteral("Button7"), {224, 104, 75, 25}, tr("save tab sc_prg"));
  connect(saveTableScenes, &QPushButton::clicked, this, [this] { Button7Click(); });
  saveTableScenes->hide();
  QPushButton* saveTableAuto =
      MakeButton(page, QStringLiteral("Button2"), {216, 224, 75, 25}, tr("save tab auto"));
  connect(saveTableAuto, &QPushButton::clicked, this, [this] { Button2Click(); });
  saveTableAuto->hide();
  QPushButton* saveAll =
      MakeButton(page, QStringLiteral("Button19"), {228, 425, 75, 25}, tr("save all"));
  connect(saveAll, &QPushButton::clicked, this, [this] { Button19Click(); });
}

void TForm1::BuildAutoPrograms(QWidget* groupBox3) {
  QGroupBox* groupBox4 = MakeGroupBox(groupBox3, QStringLiteral("GroupBox4"), {8, 240, 189, 105},
                                      tr("Programy DMX Auto"));
  // The two buttons lie under the squares and GroupBox5, so they are created first.
  QPushButton* show = MakeButton(groupBox4, QStringLiteral("Button80"), {8, 32, kSquare, kSquare},
                                 QStringLiteral("1"));
  connect(show, &QPushButton::clicked, this, [this] { Button80Click(); });
  QPushButton* hide = MakeButton(groupBox4, QStringLiteral("Button81"), {32, 32, kSquare, kSquare},
                                 QStringLiteral("2"));
  connect(hide, &QPushButton::clicked, this, [this] { Button81Click(); });

  for (int k = 1; k <= kAutoPrograms; ++k) {
    Panel* square = MakePanel(groupBox4, QStringLiteral("Panel%1").arg(kFirstAutoPanel + k - 1),
                              {8 + 24 * (k - 1), 16, kSquare, kSquare}, QString::number(k),
                              tr("Program automatyczny %1").arg(k));
    square->SetTag(k);
    autoSquares_[k - 1] = square;
    connect(square, &Panel::MouseDown, this, [this, square] { Panel220MouseDown(square); });
  }

  GroupBox5 = MakeGroupBox(groupBox4, QStringLiteral("GroupBox5"), {8, 40, 169, 57}, {});
  GroupBox5->setAccessibleName(tr("Ustawienia programu automatycznego"));
  GroupBox5->setAutoFillBackground(true);  // covers the two buttons beneath
  UpDown* upDowns[3] = {};
  QLabel* values[3] = {};
  for (int i = 0; i < 3; ++i) {
    const AutoValueColumn& column = kAutoColumns[i];
    const int left = 6 + 54 * i;
    const QString title = tr(column.title);
    MakeLabel(GroupBox5, QString::fromLatin1(column.titleLabel), {left, 8}, title);
    Panel* box = MakePanel(GroupBox5, QString::fromLatin1(column.box), {left, 26, 33, 21}, {},
                           tr("Wartość %1").arg(title));
    box->SetColour(colour::White);
    values[i] = new QLabel(QStringLiteral("1"), box);
    values[i]->setObjectName(QString::fromLatin1(column.valueLabel));
    values[i]->setGeometry(box->rect());
    values[i]->setAlignment(Qt::AlignCenter);
    const AutoValueRange range = RangeOf(column.value);
    upDowns[i] = MakeUpDown(GroupBox5, QString::fromLatin1(column.upDown), {left + 33, 24, 18, 25},
                            range.Min, range.Max, title);
  }
  Label2 = values[0];
  Label4 = values[1];
  Label5 = values[2];
  UpDown1 = upDowns[0];
  UpDown2 = upDowns[1];
  UpDown3 = upDowns[2];
  connect(UpDown1, &UpDown::Clicked, this, [this] { UpDown1Click(); });
  connect(UpDown2, &UpDown::Clicked, this, [this] { UpDown2Click(); });
  connect(UpDown3, &UpDown::Clicked, this, [this] { UpDown3Click(); });
}

}  // namespace lumora
