#include "app/form2.h"

#include <stdexcept>
#include <string>

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QToolButton>

#include "app/button_images.h"
#include "app/controls.h"
#include "app/panel.h"
#include "app/up_down.h"
#include "app/window_icon.h"

namespace lumora {

namespace {

constexpr int kSmallestFontPixels = 8;
constexpr QSize kPanelSize(33, 21);
constexpr QSize kUpDownSize(18, 25);
constexpr int kStatusBarHeight = 20;
// Number panels of enabled and disabled spinners.
constexpr CellColour kEnabledPanel = colour::White;
constexpr CellColour kDisabledPanel = 0x00D8D8D8;

// What each spinner sets, in Spinner order: its name, and with the position its panel's.
constexpr std::array<const char*, kSpinnerCount> kSpinnerDescriptions = {
    QT_TRANSLATE_NOOP("lumora::TForm2", "Adres DMX"),
    QT_TRANSLATE_NOOP("lumora::TForm2", "Numer programu"),
    QT_TRANSLATE_NOOP("lumora::TForm2", "Prędkość"),
    QT_TRANSLATE_NOOP("lumora::TForm2", "Liczba tub"),
    QT_TRANSLATE_NOOP("lumora::TForm2", "Numer programu automatycznego")};

template <typename Part>
Part& Required(const std::unique_ptr<Part>& part, const char* what) {
  if (!part) throw std::invalid_argument(std::string("programming window without ") + what);
  return *part;
}

// The captions are long for their places: a narrow face is taken where there is one, and a
// caption that still does not fit is set smaller rather than cut.
void FitCaption(QWidget* control, int width) {
  QFont font = control->font();
  while (control->sizeHint().width() > width && font.pixelSize() > kSmallestFontPixels) {
    font.setPixelSize(font.pixelSize() - 1);
    control->setFont(font);
  }
}

QRadioButton* MakeFittedRadioButton(QWidget* parent, const QString& name, QRect place,
                                    const QString& caption) {
  QRadioButton* button = MakeRadioButton(parent, name, place, caption);
  FitCaption(button, place.width());
  return button;
}

// Labels are read out by their text; room is the width up to the next control.
void MakeFittedLabel(QWidget* parent, const QString& name, QPoint place, int room,
                     const QString& text) {
  QLabel* label = MakeLabel(parent, name, place, text);
  label->setAccessibleName(text);
  constexpr int kGap = 2;
  FitCaption(label, room - kGap);
  label->adjustSize();
}

int Index(Spinner spinner) {
  return static_cast<int>(spinner);
}

QString Description(Spinner spinner) {
  return TForm2::tr(kSpinnerDescriptions[Index(spinner)]);
}

}  // namespace

TForm2::TForm2(std::unique_ptr<UsbAdapter> adapter, std::unique_ptr<Ticker> ticker,
               MessageBoxes& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowContextHelpButtonHint | Qt::WindowCloseButtonHint),
      adapter_(std::move(adapter)),
      ticker_(std::move(ticker)),
      model_(Required(adapter_, "an adapter"), Required(ticker_, "a ticker"), *this, messages) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(tr("Programowanie sterownika"));
  setWindowIcon(WindowIcon());
  setFixedSize(476, 224);
  move(293, 213);
  // Only the main window keeps the program running.
  setAttribute(Qt::WA_QuitOnClose, false);
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                    QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"), font.family()});
  font.setPixelSize(kFontPixels);
  setFont(font);

  BuildTargetGroup();
  BuildSoloGroup();
  BuildProgrammerGroup();

  SpeedButton1 = MakeSpeedButton(this, QStringLiteral("SpeedButton1"), {157, 140, 137, 33},
                                 ProgrammingImage(), tr("Programuj sterownik"));
  // Only an activation that opened the adapter enables it.
  SpeedButton1->setEnabled(false);
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

  StatusBar1 = new QStatusBar(this);
  Place(StatusBar1, QStringLiteral("StatusBar1"), {0, 204, width(), kStatusBarHeight},
        tr("Pasek stanu"));
  StatusBar1->setSizeGripEnabled(false);
  progressBar_ = new QProgressBar(StatusBar1);
  Place(progressBar_, QStringLiteral("ProgressBar1"), {2, 2, 150, kStatusBarHeight - 2},
        tr("Postęp programowania"));
  progressBar_->setRange(0, kTransferPackets);
  progressBar_->setTextVisible(false);

  model_.FormCreate();
  for (int i = 0; i < kSpinnerCount; ++i) ShowPosition(static_cast<Spinner>(i));
}

void TForm2::BuildTargetGroup() {
  QGroupBox* group =
      MakeGroupBox(this, QStringLiteral("GroupBox1"), {8, 9, 185, 121}, tr("Wybierz sterownik"));
  QRadioButton* all = MakeFittedRadioButton(group, QStringLiteral("RadioButton1"), {8, 24, 137, 17},
                                            tr("Wszystkie sterowniki"));
  QRadioButton* one = MakeFittedRadioButton(group, QStringLiteral("RadioButton2"), {8, 56, 161, 17},
                                            tr("Sterownik o adresie równym:"));
  all->setChecked(true);
  connect(all, &QRadioButton::clicked, this, [this] { RadioButton1Click(); });
  connect(one, &QRadioButton::clicked, this, [this] { RadioButton2Click(); });
  MakeFittedLabel(group, QStringLiteral("Label3"), {22, 87}, 78 - 22, tr("DMX adres"));
  BuildSpinner(group, Spinner::Address, {78, 83}, {112, 80});
  connect(UpDownOf(Spinner::Address), &UpDown::MouseReleased, this, [this] { UpDown1MouseUp(); });
}

void TForm2::BuildSoloGroup() {
  QGroupBox* group = MakeGroupBox(this, QStringLiteral("GroupBox2"), {200, 8, 265, 81},
                                  tr("Ustawienia trybu solo"));
  QRadioButton* program =
      MakeFittedRadioButton(group, QStringLiteral("RadioButton3"), {4, 20, 57, 17}, tr("Program"));
  QRadioButton* automatic =
      MakeFittedRadioButton(group, QStringLiteral("RadioButton4"), {70, 21, 51, 17}, tr("Auto"));
  program->setChecked(true);
  connect(program, &QRadioButton::clicked, this, [this] { RadioButton3Click(); });
  connect(automatic, &QRadioButton::clicked, this, [this] { RadioButton4Click(); });
  BuildSpinner(group, Spinner::Program, {6, 43}, {40, 40});
  BuildSpinner(group, Spinner::Auto, {72, 43}, {106, 40});
  MakeFittedLabel(group, QStringLiteral("Label4"), {136, 24}, 204 - 136, tr("Prędkość"));
  BuildSpinner(group, Spinner::Speed, {137, 43}, {172, 40});
  MakeFittedLabel(group, QStringLiteral("Label5"), {204, 25}, 265 - 204, tr("Liczba tub"));
  BuildSpinner(group, Spinner::Tubes, {206, 43}, {240, 40});
}

void TForm2::BuildProgrammerGroup() {
  QGroupBox* group = MakeGroupBox(this, QStringLiteral("GroupBox3"), {200, 88, 265, 41},
                                  tr("Wybierz programator"));
  RadioButton5 = MakeFittedRadioButton(group, QStringLiteral("RadioButton5"), {8, 16, 113, 17},
                                       tr("Brightwave USB"));
  QRadioButton* standard = MakeFittedRadioButton(group, QStringLiteral("RadioButton6"),
                                                 {128, 16, 129, 17}, tr("Standard programator"));
  RadioButton5->setChecked(true);
  connect(RadioButton5, &QRadioButton::clicked, this, [this] { RadioButton5Click(); });
  connect(standard, &QRadioButton::clicked, this, [this] { RadioButton6Click(); });
}

void TForm2::BuildSpinner(QWidget* group, Spinner spinner, QPoint panelPlace, QPoint upDownPlace) {
  const int number = Index(spinner) + 1;
  const SpinnerRange& range = kSpinnerRanges[Index(spinner)];
  const QString description = Description(spinner);
  // ShowPosition adds the position to the panel's name.
  Panel* panel = MakePanel(group, QStringLiteral("Panel%1").arg(number), {panelPlace, kPanelSize},
                           {}, description);
  panel->SetColour(kEnabledPanel);
  UpDown* upDown = MakeUpDown(group, QStringLiteral("UpDown%1").arg(number),
                              {upDownPlace, kUpDownSize}, range.Min, range.Max, description);
  upDown->SetPosition(range.Initial);
  connect(upDown, &UpDown::Clicked, this, [this, spinner] { SpinnerClick(spinner); });
  PanelOf(spinner) = panel;
  UpDownOf(spinner) = upDown;
}

void TForm2::SpinnerClick(Spinner spinner) {
  using Handler = void (TForm2::*)(int);
  // In Spinner order, as UpDown1 to UpDown5 are.
  static constexpr std::array<Handler, kSpinnerCount> kHandlers = {
      &TForm2::UpDown1Click, &TForm2::UpDown2Click, &TForm2::UpDown3Click, &TForm2::UpDown4Click,
      &TForm2::UpDown5Click};
  (this->*kHandlers[Index(spinner)])(UpDownOf(spinner)->Position());
  ShowPosition(spinner);
}

// The panel paints its caption itself, so a screen reader gets the number through the name.
void TForm2::ShowPosition(Spinner spinner) {
  const QString position = QString::number(model_.Settings().Position(spinner));
  PanelOf(spinner)->SetCaption(position);
  PanelOf(spinner)->setAccessibleName(Description(spinner) + QStringLiteral(": ") + position);
}

void TForm2::OpenWith(const ControllerImageArray& image) {
  HandOver(image);
  exec();
}

void TForm2::SetSpinnerEnabled(Spinner spinner, bool enabled) {
  UpDownOf(spinner)->setEnabled(enabled);
  PanelOf(spinner)->SetColour(enabled ? kEnabledPanel : kDisabledPanel);
}

void TForm2::SetAddressSpinnerStep(int step) {
  UpDownOf(Spinner::Address)->SetIncrement(step);
}

void TForm2::SetProgramButtonEnabled(bool enabled) {
  SpeedButton1->setEnabled(enabled);
}

void TForm2::CheckUsbProgrammerButton() {
  RadioButton5->setChecked(true);  // emits no click
}

void TForm2::SetProgressPosition(int position) {
  progressBar_->setValue(position);
}

void TForm2::PostToUiThread(std::function<void()> task) {
  // Queued, so it never runs inline; tasks still queued when the window goes are dropped.
  postedTasks_.Post(std::move(task));
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window restored after minimising gets only a spontaneous show: no new showing.
  if (event->spontaneous()) return;
  activationPending_ = true;
  // Activation waits until the window is on screen, so its message box comes over it.
  QMetaObject::invokeMethod(
      this, [this] { Activate(); }, Qt::QueuedConnection);
}

void TForm2::Activate() {
  if (!activationPending_ || !isVisible()) return;
  activationPending_ = false;
  model_.Open();
}

void TForm2::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;  // minimised
  // Closing by any road (close box, Escape, done) hides the window.
  activationPending_ = false;
  model_.Close();
}

}  // namespace lumora
