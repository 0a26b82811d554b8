// Takes the pictures of the user guide from the real windows, in English, on the offscreen
// platform: it builds both windows as the application does (on the virtual adapter, with the
// file dialogs answered from a queue), works them with real mouse events into the states the
// guide describes and writes each window's picture as a PNG, so the pictures can be made again
// whenever the look changes. It also writes the guide's "fala1" sequence, fala1.sqx, through
// the window's own "Zapisz".
//
//   guide_pictures [OUTPUT_FOLDER]     (default docs/guide)
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/form1.h"
#include "app/form1_places.h"
#include "app/form2.h"
#include "app/qt_work_questions.h"
#include "app/translation.h"
#include "app/work_keeper.h"
#include "files/sequence_file.h"
#include "files/table_file.h"
#include "main_window/effect_steps.h"
#include "programming/virtual/virtual_adapter.h"
#include "support/fake_dialogs.h"
#include "support/manual_ticker.h"
#include "support/message_box_answers.h"

using namespace lumora;
using namespace lumora::testing;

namespace {

// Palette buttons, top to bottom.
enum Swatch { Black, Red, Green, Blue, Yellow, Magenta, Cyan, White };

// Places on the first tab, inside the group "Sceny" or "Sekwencje".
const QPoint kAdd(32 + 32, 107 + 12);
const QPoint kPrevious(41 + 13, 67 + 13);
const QPoint kPlay(72 + 14, 184 + 14);
const QPoint kStop(104 + 14, 184 + 14);
const QPoint kSave = kSequencesGroup - kScenesGroup + QPoint(84 + 36, 16 + 11);
QPoint EffectButton(int mode) {
  return {8 + 64 * (mode - 1) + 6, 16 + 8};
}
// Places on the second tab.
const QPoint kSend = kProgramsGroup + QPoint(37 + 65, 382 + 13);
QPoint AutoSquare(int k) {
  return kAutoGroup + QPoint(8 + 24 * (k - 1) + 12, 16 + 12);
}
// The up or down arrow of the spinner of column 0 ("Prg Start"), 1 ("Prg End") or 2
// ("Prg Loop").
QPoint AutoArrow(int column, bool up) {
  return kAutoValuesGroup + QPoint(6 + 54 * column + 33 + 9, 24 + (up ? 5 : 19));
}

constexpr int kWaitMs = 5000;

class GuidePictures {
 public:
  explicit GuidePictures(const QString& output) : output_(output) {}

  bool Run();

 private:
  void Click(QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    testing::Click(*form1_, point, button);
  }
  void Choose(Swatch swatch) { Click(PaletteButton(swatch)); }
  void OnScenes(QPoint inGroup) { Click(OnScenesGroup(*form1_, inGroup)); }
  void OnConfiguration(QPoint inPage, Qt::MouseButton button = Qt::LeftButton) {
    Click(OnConfigurationTab(*form1_, inPage), button);
  }
  // Lets the 100 ms display refresh show what the commands changed.
  static void Settle() { QTest::qWait(250); }
  bool Save(QWidget& window, const char* name);
  QString Work(const QString& name) const { return QDir(work_.path()).filePath(name); }

  void PaintScene();
  void BuildSequence();
  void AssignPrograms();
  bool Program();
  bool RecentProjects();
  void KeepingWork();

  QString output_;
  QTemporaryDir work_;
  FakeDialogs dialogs_;
  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TForm2> form2_;
  ManualTicker* ticker_ = nullptr;
  bool ok_ = true;
};

bool GuidePictures::Save(QWidget& window, const char* name) {
  const QString path = QDir(output_).filePath(QLatin1String(name));
  if (!window.grab().save(path, "PNG")) {
    std::fprintf(stderr, "guide_pictures: cannot write %s\n", qPrintable(path));
    ok_ = false;
  }
  return ok_;
}

// A blue scene with a yellow diagonal, a red tube painted by hovering and a few white cells.
void GuidePictures::PaintScene() {
  OnScenesGroup(*form1_, {});
  Click(BrushButton());
  Choose(Blue);
  Click(CellCentre(1, 0));  // every black cell turns blue
  Click(PencilButton());
  Choose(Yellow);
  for (int tube = 1; tube <= kTubes; ++tube) Click(CellCentre(tube, (tube - 1) % kCellsPerTube));
  Choose(Red);
  Click(CellCentre(9, 1), Qt::RightButton);  // hover painting on
  for (int column = 1; column < kCellsPerTube; ++column) {
    QTest::mouseMove(form1_.get(), CellCentre(9, column));
  }
  Click(CellCentre(10, 7));  // paints this one and ends hover painting
  Choose(White);
  for (int tube : {3, 6, 13}) Click(CellCentre(tube, 6));
}

// Four scenes, each the one before with its background recoloured by the brush, in "fala1".
void GuidePictures::BuildSequence() {
  const Swatch backgrounds[] = {Magenta, Green, Cyan};
  Click(BrushButton());
  for (const Swatch background : backgrounds) {
    OnScenes(kAdd);
    Choose(background);
    Click(CellCentre(1, 4));  // a cell of the background
  }
  Click(PencilButton());
  OnScenes(EffectButton(2));
  OnScenes(kPrevious);
  OnScenes(kPrevious);
  dialogs_.answers.push_back(QDir(output_).filePath(QStringLiteral("fala1.sqx")).toStdString());
  OnScenes(kSave);
  Settle();
}

// Sequence files written with the application's own writer, assigned by right clicks on the
// program squares, and automatic program 2 playing programs 1 to 4, each twice.
void GuidePictures::AssignPrograms() {
  struct Program {
    int square;
    int scenes;
    int effectMode;
  };
  const Program programs[] = {{2, 99, EffectNormal}, {3, 60, EffectWave2},   {4, 99, EffectWave1},
                              {9, 40, EffectNormal}, {10, 99, EffectNormal}, {17, 24, EffectWave2}};
  std::vector<CellColour> cells(MaxScenes * kCellsPerScene);
  for (std::size_t cell = 0; cell < cells.size(); ++cell) {
    cells[cell] = kPalette[1 + (cell / 8 + cell / kCellsPerScene) % (kPalette.size() - 1)];
  }
  // Program 1 is the guide's "fala1" sequence.
  dialogs_.answers.push_back(QDir(output_).filePath(QStringLiteral("fala1.sqx")).toStdString());
  OnConfiguration(ProgramSquare(1), Qt::RightButton);
  for (const Program& program : programs) {
    const QString path = Work(QStringLiteral("program.sqx"));
    if (!SaveSequenceFile(path.toStdString(), program.scenes, program.effectMode, cells)) {
      std::fprintf(stderr, "guide_pictures: cannot write %s\n", qPrintable(path));
      ok_ = false;
      return;
    }
    dialogs_.answers.push_back(path.toStdString());
    OnConfiguration(ProgramSquare(program.square), Qt::RightButton);
  }
  OnConfiguration(AutoSquare(2));
  for (int i = 0; i < 3; ++i) OnConfiguration(AutoArrow(1, true));
  OnConfiguration(AutoArrow(2, true));
  Settle();
}

// "Wyślij do sterownika", then "Programuj sterownik" with the USB programmer; the picture is
// taken two thirds through the transfer, which then runs to its end.
bool GuidePictures::Program() {
  QFile table(Work(QString::fromLatin1(kTableFileName.data(), kTableFileName.size())));
  if (!table.open(QIODevice::WriteOnly)) return false;
  for (int i = 0; i < kTableFileValues; ++i) table.write(QByteArray::number(i % 256) + ' ');
  table.close();
  QDir::setCurrent(work_.path());  // "str.tab" is read from the working folder

  bool shown = false;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (shown || QApplication::activeModalWidget() != form2_.get()) return;
    shown = true;
    poll.stop();
    auto* program = form2_->findChild<QAbstractButton*>(QStringLiteral("SpeedButton1"));
    if (QTest::qWaitFor([&] { return program->isEnabled(); }, kWaitMs)) {
      QTest::mouseClick(form2_.get(), Qt::LeftButton, {},
                        program->mapTo(form2_.get(), program->rect().center()));
      ticker_->TicksOnOwnThread(kTransferPackets * 2 / 3);
      QTest::qWait(50);  // the progress posted by the ticks
      Save(*form2_, "programming.png");
      ticker_->TicksOnOwnThread(kTransferPackets);
    } else {
      std::fprintf(stderr, "guide_pictures: the virtual programmer did not open\n");
      ok_ = false;
    }
    form2_->close();
  });
  poll.start();
  OnConfiguration(kSend);
  return shown;
}

// The recent projects offered by a right click on "Open project", drawn over the window where
// the menu opens; the picture is as large as both together.
bool GuidePictures::RecentProjects() {
  dialogs_.recent[static_cast<int>(FileKind::Project)] = {"/home/anna/Pokazy/Pokaz świąteczny.prj",
                                                          "/home/anna/Pokazy/Sylwester.prj",
                                                          "/media/anna/PENDRIVE/klub.prj"};
  OnConfiguration(QPoint(4 + 52, 8 + 12), Qt::RightButton);
  QMenu* menu = nullptr;
  if (!QTest::qWaitFor(
          [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
          kWaitMs)) {
    return false;
  }
  const QRect window(form1_->mapToGlobal(QPoint()), form1_->size());
  const QRect both = window.united(menu->geometry());
  QImage picture(both.size(), QImage::Format_RGB32);
  picture.fill(form1_->palette().color(QPalette::Window).darker(130));
  QPainter painter(&picture);
  painter.drawPixmap(window.topLeft() - both.topLeft(), form1_->grab());
  painter.drawPixmap(menu->geometry().topLeft() - both.topLeft(), menu->grab());
  painter.end();
  menu->close();
  const QString path = QDir(output_).filePath(QStringLiteral("recent.png"));
  if (!picture.save(path, "PNG")) {
    std::fprintf(stderr, "guide_pictures: cannot write %s\n", qPrintable(path));
    ok_ = false;
  }
  return true;
}

// The close question over the window's unsaved sequence and project, cancelled; then, as at
// the start after a Lumora that ended without saving, the offer of its work, discarded.
void GuidePictures::KeepingWork() {
  OnScenes(kStop);  // the automatic chain's program on screen, painted on
  Choose(White);
  Click(CellCentre(5, 5));
  const std::string recovery = Work(QStringLiteral("recovery")).toStdString();
  QtCloseQuestion question(form1_.get());
  auto keeper = std::make_unique<WorkKeeper>(*form1_, recovery, question);
  MessageBoxAnswers boxes;
  const char* pictures[] = {"closing.png", "recovery.png"};
  boxes.onShown = [&](QMessageBox& box) {
    if (boxes.shown.size() <= std::size(pictures)) Save(box, pictures[boxes.shown.size() - 1]);
  };
  boxes.answers = {QStringLiteral("cancel"), QStringLiteral("discard")};
  form1_->close();
  keeper.reset();  // the run ends with its copy kept
  keeper = std::make_unique<WorkKeeper>(*form1_, recovery, question);
  QtRecoveryQuestions offer(form1_.get());
  keeper->OfferLeftWork(offer);
  if (boxes.shown.size() != std::size(pictures)) {
    std::fprintf(stderr, "guide_pictures: %zu of the 2 questions showed\n", boxes.shown.size());
    ok_ = false;
  }
}

bool GuidePictures::Run() {
  if (!work_.isValid() || !QDir().mkpath(output_)) {
    std::fprintf(stderr, "guide_pictures: cannot make the folder %s\n", qPrintable(output_));
    return false;
  }
  output_ = QDir(output_).absolutePath();
  form1_ = std::make_unique<TForm1>(dialogs_, dialogs_);
  auto ticker = std::make_unique<ManualTicker>();
  ticker_ = ticker.get();
  form2_ = std::make_unique<TForm2>(std::make_unique<VirtualAdapter>(std::filesystem::path(
                                        Work(QStringLiteral("controller")).toStdString())),
                                    std::move(ticker), dialogs_, form1_.get());
  form1_->SetProgrammingWindow([this]() -> TForm2& { return *form2_; });
  form1_->show();
  if (!QTest::qWaitForWindowExposed(form1_.get())) return false;

  PaintScene();
  Save(*form1_, "painting.png");
  BuildSequence();
  Save(*form1_, "sequence.png");
  AssignPrograms();
  Save(*form1_, "configuration.png");
  if (!Program()) {
    std::fprintf(stderr, "guide_pictures: the programming window did not open\n");
    ok_ = false;
  }
  if (!RecentProjects()) {
    std::fprintf(stderr, "guide_pictures: no menu of recent projects\n");
    ok_ = false;
  }
  KeepingWork();
  for (const std::string& error : dialogs_.errors) {
    std::fprintf(stderr, "guide_pictures: message \"%s\"\n", error.c_str());
  }
  for (const std::string& warning : dialogs_.warnings) {
    std::fprintf(stderr, "guide_pictures: message \"%s\"\n", warning.c_str());
  }
  return ok_ && dialogs_.errors.empty() && dialogs_.warnings.empty();
}

}  // namespace

int main(int argc, char* argv[]) {
  // The pictures always come from the offscreen platform, the same on every machine.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // The guide shows the English windows and quotes the Polish captions beside the English.
  UseLanguage(UiLanguage::English);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 2) {
    std::fprintf(stderr, "usage: guide_pictures [OUTPUT_FOLDER]\n");
    return 2;
  }
  GuidePictures pictures(arguments.size() == 2 ? arguments[1] : QStringLiteral("docs/guide"));
  return pictures.Run() ? 0 : 1;
}
