#include "app/form1.h"

#include <optional>

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include "app/compact_tab_style.h"
#include "app/controls.h"
#include "app/form2.h"
#include "app/panel.h"
#include "app/tube_grid.h"
#include "app/up_down.h"
#include "app/window_icon.h"

namespace lumora {

namespace {

constexpr int kTimerIntervalMs = 100;

std::optional<MouseButton> ToMouseButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return MouseButton::Left;
    case Qt::RightButton:
      return MouseButton::Right;
    case Qt::MiddleButton:
      return MouseButton::Middle;
    default:
      return std::nullopt;
  }
}

// The squares' colour values stand for the face colour with ButtonFace.
void ShowSquareColour(Panel* square, CellColour colour) {
  if (colour == slot_colour::ButtonFace) {
    square->SetFaceColour();
  } else {
    square->SetColour(colour);
  }
}

QString UnsignedText(int value) {
  return QString::number(static_cast<std::uint32_t>(value));
}

}  // namespace

TForm1::TForm1(FileDialogs& dialogs, MessageBoxes& messages, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      model_(*this, dialogs, messages) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Lumora"));
  setWindowIcon(WindowIcon());
  setFixedSize(576, 546);
  move(221, 119);
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(kFontPixels);
  setFont(font);

  MakeLabel(this, QStringLiteral("Label1"), {128, 0}, QStringLiteral("V" LUMORA_VERSION), 21);
  BuildTubes();
  BuildTools();

  PageControl1 = new QTabWidget(this);
  Place(PageControl1, QStringLiteral("PageControl1"), {328, 40, 241, 497}, tr("Zakładki"));
  // Both tab captions fit side by side only with narrow padding and a size below the
  // window's font.
  QFont tabFont = font;
  tabFont.setPixelSize(kFontPixels - 1);
  PageControl1->tabBar()->setFont(tabFont);
  auto* tabStyle = new CompactTabStyle;
  tabStyle->setParent(PageControl1);
  PageControl1->tabBar()->setStyle(tabStyle);
  auto* tabSheet1 = new QWidget;
  tabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  PageControl1->addTab(tabSheet1, tr("Tworzenie sekwencji"));
  auto* tabSheet2 = new QWidget;
  tabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  PageControl1->addTab(tabSheet2, tr("Konfiguracja sterownika"));
  BuildSequenceTab(tabSheet1);
  BuildConfigTab(tabSheet2);
  PageControl1->setCurrentIndex(1);
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });

  Timer2.setObjectName(QStringLiteral("Timer2"));
  Timer2.setInterval(kTimerIntervalMs);
  connect(&Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });

  BuildShortcuts();
  BuildFileOpening();
  FormCreate();
  Timer2.start();
}

TForm1::~TForm1() {
  // Removing the pages while the controls are torn down reports a tab change; the model it
  // would reach is gone by then.
  PageControl1->disconnect(this);
}

void TForm1::FormCreate() {
  model_.FormCreate();
  ProgressBar1->setMaximum(StoreCapacity);
}

void TForm1::ShowCell(int cell, CellColour colour) {
  if (cell >= 0 && cell < kCellsPerScene) tubes_->SetCellColour(cell, colour);
}

void TForm1::ShowScene(const Scene& scene) {
  tubes_->SetCellColours(scene);
}

void TForm1::ShowSceneCounters(int sceneCount, int currentScene) {
  if (SetLabelText(Label22, QString::number(sceneCount))) Label22->adjustSize();
  if (SetLabelText(Label20, QString::number(currentScene))) Label20->adjustSize();
}

void TForm1::ShowEffectMode(int effectMode) {
  if (effectMode >= 1 && effectMode <= static_cast<int>(effectButtons_.size())) {
    effectButtons_[effectMode - 1]->setChecked(true);
  }
}

void TForm1::ShowPreviewRunning(bool running) {
  (running ? SpeedButton22 : SpeedButton23)->setChecked(true);
}

void TForm1::EnablePreviewTimer(bool) {
  // Nothing to start or stop: the beat steps the preview whenever the model's preview runs, so
  // the next frame comes within 100 ms of the start.
}

void TForm1::ShowProgramSlots(const std::array<CellColour, kPrograms>& colours) {
  for (int k = 0; k < kPrograms; ++k) ShowSquareColour(programSquares_[k], colours[k]);
}

void TForm1::ShowAutoPanels(const std::array<CellColour, kAutoPrograms>& colours) {
  for (int k = 0; k < kAutoPrograms; ++k) ShowSquareColour(autoSquares_[k], colours[k]);
}

void TForm1::ShowAutoValues(int start, int end, int loop) {
  SetLabelText(Label2, UnsignedText(start));
  SetLabelText(Label4, UnsignedText(end));
  SetLabelText(Label5, UnsignedText(loop));
}

void TForm1::SetAutoSpinners(int start, int end, int loop) {
  UpDown1->SetPosition(start);
  UpDown2->SetPosition(end);
  UpDown3->SetPosition(loop);
}

void TForm1::ShowMemoryUse(int usedScenes) {
  if (SetLabelText(Label9, QString::number(usedScenes))) Label9->adjustSize();
  ProgressBar1->setValue(usedScenes);
}

void TForm1::Panel153MouseDown(int cell, Qt::MouseButton button) {
  if (const auto modelButton = ToMouseButton(button)) {
    model_.CellMouseDown(cell, *modelButton);
  }
}

void TForm1::Panel153MouseMove(int cell) {
  model_.CellMouseMove(cell);
}

void TForm1::Panel153MouseUp(Qt::MouseButton button) {
  if (const auto modelButton = ToMouseButton(button)) model_.CellMouseUp(*modelButton);
}

void TForm1::Panel1Click(int tube) {
  if (const auto frame = model_.TubeFrameColour(tube)) tubes_->SetTubeColour(tube, *frame);
}

void TForm1::Panel1MouseDown(QPoint position) {
  tubeDrag_.Press(position.x(), position.y());
}

void TForm1::Panel1MouseMove(int tube, QPoint position) {
  int dx = 0;
  int dy = 0;
  if (tubeDrag_.Move(position.x(), position.y(), dx, dy)) tubes_->MoveTube(tube, QPoint(dx, dy));
}

void TForm1::Panel1MouseUp() {
  tubeDrag_.Release();
}

void TForm1::SpeedButton1Click(int paletteIndex) {
  model_.SelectPaintColour(paletteIndex);
}
void TForm1::SpeedButton10Click() {
  model_.SelectBrush();
}
void TForm1::SpeedButton11Click() {
  model_.SelectPencil();
}

void TForm1::SpeedButton15Click() {
  model_.PreviousScene();
}
void TForm1::SpeedButton16Click() {
  model_.NextScene();
}
void TForm1::SpeedButton17Click() {
  model_.AddScene();
}
void TForm1::SpeedButton18Click() {
  model_.DeleteScene();
}
void TForm1::Button16Click() {
  model_.CopyScene();
}
void TForm1::Button15Click() {
  model_.PasteScene();
}
void TForm1::RadioButton1Click() {
  model_.SelectEffectMode(EffectNormal);
}
void TForm1::RadioButton2Click() {
  model_.SelectEffectMode(EffectWave1);
}
void TForm1::RadioButton3Click() {
  model_.SelectEffectMode(EffectWave2);
}
void TForm1::SpeedButton22Click() {
  model_.Play();
}
void TForm1::SpeedButton23Click() {
  model_.Stop();
}

void TForm1::SpeedButton19Click() {
  model_.OpenSequence();
}
void TForm1::SpeedButton20Click() {
  model_.SaveSequence();
}
void TForm1::SpeedButton21Click() {
  model_.ExportSequence();
}

void TForm1::SpeedButton9Click() {
  model_.OpenProject();
}
void TForm1::SpeedButton12Click() {
  model_.SaveProject();
}

void TForm1::SpeedButton14Click() {
  if (model_.SendToController() && programmingWindow_)
    programmingWindow_().OpenWith(model_.Output().Image());
}

void TForm1::Button6Click() {
  model_.SaveProgramListing();
}
void TForm1::Button7Click() {
  model_.SaveSceneListing();
}
void TForm1::Button2Click() {
  model_.SaveAutoListing();
}
void TForm1::Button19Click() {
  model_.SaveFullListing();
}

void TForm1::Panel219MouseDown(Panel* sender, Qt::MouseButton button) {
  if (const auto modelButton = ToMouseButton(button)) {
    model_.ProgramSlotMouseDown(sender->Tag(), *modelButton);
  }
}

void TForm1::Panel220MouseDown(Panel* sender) {
  model_.AutoPanelMouseDown(sender->Tag());
}

void TForm1::UpDown1Click() {
  model_.AutoStartClick(UpDown1->Position());
}
void TForm1::UpDown2Click() {
  model_.AutoEndClick(UpDown2->Position());
}
void TForm1::UpDown3Click() {
  model_.AutoLoopClick(UpDown3->Position());
}
void TForm1::PageControl1Change() {
  model_.TabChanged();
}

void TForm1::Button80Click() {
  GroupBox5->show();
}
void TForm1::Button81Click() {
  GroupBox5->hide();
}

void TForm1::Undo() {
  model_.Undo();
}
void TForm1::Redo() {
  model_.Redo();
}
void TForm1::PlayOrStop() {
  (model_.PreviewRunning() ? SpeedButton23 : SpeedButton22)->click();
}

void TForm1::Timer2Timer() {
  model_.Beat();
}

}  // namespace lumora
