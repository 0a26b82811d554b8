// The main window's keys, pressed with real key events, and undo and redo of what the mouse did.
#include <QAbstractButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

#include "app/form1.h"
#include "app/panel.h"
#include "app/tube_grid.h"
#include "app/up_down.h"
#include "files/sequence_file.h"
#include "form1_places.h"
#include "support/fake_dialogs.h"

using namespace lumora;
using namespace lumora::testing;

class Form1KeyboardTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void eachKeyRunsItsControl();
  void focusedControlsDoNotTakeTheKeys();
  void undoAndRedoAPaintingStroke();
  void undoAndRedoEditingCommandsAndProgramSquares();

 private:
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form_.get(), static_cast<Qt::Key>(key), modifiers);
  }
  MainWindowModel& Model() { return form_->Model(); }
  const SceneStore& Store() { return Model().Editor().Store(); }
  QAbstractButton* Button(const char* name) {
    return form_->findChild<QAbstractButton*>(QString::fromLatin1(name));
  }
  TubeGrid* Grid() { return form_->findChild<TubeGrid*>(); }
  CellColour Cell(int cell) { return Grid()->Colour(cell).value_or(0xDEAD); }
  std::optional<CellColour> SquareColour(int k) {
    return form_->findChild<Panel*>(QStringLiteral("Panel%1").arg(163 + k))->Colour();
  }
  std::string SequenceFile(int scenes, CellColour colour) {
    const QString path = folder_->filePath(QStringLiteral("s%1.sqx").arg(scenes));
    SaveSequenceFile(path.toStdString(), scenes, 1,
                     std::vector<CellColour>(scenes * kCellsPerScene, colour));
    return path.toStdString();
  }

  FakeDialogs dialogs_;
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<TForm1> form_;
};

void Form1KeyboardTest::init() {
  dialogs_ = FakeDialogs();
  folder_ = std::make_unique<QTemporaryDir>();
  form_ = std::make_unique<TForm1>(dialogs_, dialogs_);
  form_->show();
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void Form1KeyboardTest::cleanup() {
  form_.reset();
}

void Form1KeyboardTest::eachKeyRunsItsControl() {
  struct Case {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    std::function<bool()> done;
  };
  const std::vector<Case> cases = {
      {"Insert: Dodaj", Qt::Key_Insert, {}, [&] { return Store().SceneCount == 2; }},
      {"Insert: Dodaj", Qt::Key_Insert, {}, [&] { return Store().SceneCount == 3; }},
      {"Left: previous scene", Qt::Key_Left, {}, [&] { return Store().CurrentScene == 2; }},
      {"Right: next scene", Qt::Key_Right, {}, [&] { return Store().CurrentScene == 3; }},
      {"Right wraps", Qt::Key_Right, {}, [&] { return Store().CurrentScene == 1; }},
      {"Delete: Usuń", Qt::Key_Delete, {}, [&] { return Store().SceneCount == 2; }},
      {"Ctrl+C: kopiuj", Qt::Key_C, Qt::ControlModifier,
       [&] { return Store().SceneCount == 2 && !Model().PreviewRunning(); }},
      {"Ctrl+V: wklej", Qt::Key_V, Qt::ControlModifier, [&] { return Store().SceneCount == 3; }},
      {"3: green",
       Qt::Key_3,
       {},
       [&] {
         return Model().Editor().Paint().PaintColor == kPalette[2] &&
                Button("SpeedButton3")->isChecked();
       }},
      {"8: white",
       Qt::Key_8,
       {},
       [&] {
         return Model().Editor().Paint().PaintColor == kPalette[7] &&
                Button("SpeedButton8")->isChecked();
       }},
      {"1: black",
       Qt::Key_1,
       {},
       [&] { return Model().Editor().Paint().PaintColor == kPalette[0]; }},
      {"B: brush",
       Qt::Key_B,
       {},
       [&] {
         return Model().Editor().Paint().ReplaceMode && Button("SpeedButton10")->isChecked();
       }},
      {"P: pencil",
       Qt::Key_P,
       {},
       [&] {
         return !Model().Editor().Paint().ReplaceMode && Button("SpeedButton11")->isChecked();
       }},
      {"Space: play",
       Qt::Key_Space,
       {},
       [&] { return Model().PreviewRunning() && Button("SpeedButton22")->isChecked(); }},
      {"Space: stop",
       Qt::Key_Space,
       {},
       [&] { return !Model().PreviewRunning() && Button("SpeedButton23")->isChecked(); }},
      {"Ctrl+O: Otwórz", Qt::Key_O, Qt::ControlModifier,
       [&] { return dialogs_.kindsAsked == std::deque{FileKind::Sequence}; }},
      {"Ctrl+S: Zapisz", Qt::Key_S, Qt::ControlModifier,
       [&] { return dialogs_.kindsAsked.back() == FileKind::Sequence; }},
      {"Ctrl+Shift+O: Otwórz projekt", Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier,
       [&] { return dialogs_.kindsAsked.back() == FileKind::Project; }},
      {"Ctrl+Shift+S: Zapisz projekt", Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier,
       [&] {
         return dialogs_.kindsAsked.size() == 4 && dialogs_.kindsAsked.back() == FileKind::Project;
       }},
  };
  for (const Case& c : cases) {
    Key(c.key, c.modifiers);
    QVERIFY2(c.done(), c.name);
  }
  QCOMPARE(LabelText(*form_, "Label22"), QStringLiteral("3"));
}

void Form1KeyboardTest::focusedControlsDoNotTakeTheKeys() {
  OnScenesGroup(*form_, {});
  // Space on a focused "Dodaj" plays; it does not add a scene as well.
  Button("SpeedButton17")->setFocus();
  Key(Qt::Key_Space);
  QVERIFY(Model().PreviewRunning());
  QCOMPARE(Store().SceneCount, 1);
  Key(Qt::Key_Space);
  Key(Qt::Key_Insert);
  QCOMPARE(Store().SceneCount, 2);
  // An arrow on a focused radio button changes the scene, not the effect mode.
  form_->findChild<QRadioButton*>(QStringLiteral("RadioButton1"))->setFocus();
  Key(Qt::Key_Left);
  QCOMPARE(Store().CurrentScene, 1);
  QCOMPARE(Store().EffectMode, EffectNormal);
  // An arrow on a focused spinner changes the scene once and leaves the spinner.
  OnConfigurationTab(*form_, {});
  auto* upDown = form_->findChild<UpDown*>(QStringLiteral("UpDown1"));
  upDown->setFocus();
  const int position = upDown->Position();
  Key(Qt::Key_Right);
  QCOMPARE(Store().CurrentScene, 2);
  QCOMPARE(upDown->Position(), position);
}

void Form1KeyboardTest::undoAndRedoAPaintingStroke() {
  Key(Qt::Key_2);  // red
  Scene before{};
  for (int cell = 0; cell < kCellsPerScene; ++cell) before[cell] = Cell(cell);
  // A right click starts a hover run; the pointer passes over three cells; a left press and
  // release on a fourth is a stroke of its own.
  QTest::mouseClick(form_.get(), Qt::RightButton, {}, CellCentre(3, 0));
  for (int column = 1; column < 4; ++column) QTest::mouseMove(form_.get(), CellCentre(3, column));
  // A left click ends hover painting; the pointer reached its cell first, so it paints
  // nothing new and is no step. Then a green stroke: press, move and release.
  QTest::mouseClick(form_.get(), Qt::LeftButton, {}, CellCentre(3, 3));
  Key(Qt::Key_3);
  QTest::mousePress(form_.get(), Qt::LeftButton, {}, CellCentre(4, 0));
  QTest::mouseMove(form_.get(), CellCentre(4, 1));
  QTest::mouseRelease(form_.get(), Qt::LeftButton, {}, CellCentre(4, 0));
  const int hover = CellIndexAt(3, 2);
  const int stroke = CellIndexAt(4, 0);
  QCOMPARE(Cell(hover), colour::Red);
  QCOMPARE(Cell(stroke), colour::Green);
  QCOMPARE(Model().History().UndoSteps(), 2);

  Key(Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(Cell(stroke), before[stroke]);
  QCOMPARE(Cell(hover), colour::Red);
  Key(Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(Cell(hover), before[hover]);
  for (int cell = 0; cell < kCellsPerScene; ++cell) QCOMPARE(Cell(cell), before[cell]);
  // The pointer moving on paints nothing: undo ended hover painting.
  QTest::mouseMove(form_.get(), CellCentre(3, 5));
  QCOMPARE(Cell(CellIndexAt(3, 5)), before[CellIndexAt(3, 5)]);

  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(Cell(hover), colour::Red);
  QCOMPARE(Cell(stroke), before[stroke]);
  Key(Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(Cell(stroke), colour::Green);
  QCOMPARE(Store().WorkingScene[stroke], colour::Green);
  QVERIFY(!Model().Redo());
  QVERIFY(Button("SpeedButton3")->isChecked());  // the tools stay as chosen
  QCOMPARE(Model().Editor().Paint().PaintColor, colour::Green);
}

void Form1KeyboardTest::undoAndRedoEditingCommandsAndProgramSquares() {
  const QPoint add = OnScenesGroup(*form_, QPoint(32 + 32, 107 + 12));
  QTest::mouseClick(form_.get(), Qt::LeftButton, {}, add);
  QCOMPARE(Store().SceneCount, 2);
  auto* wave = form_->findChild<QRadioButton*>(QStringLiteral("RadioButton2"));
  QTest::mouseClick(wave, Qt::LeftButton);
  QCOMPARE(Store().EffectMode, EffectWave1);

  Key(Qt::Key_Z, Qt::ControlModifier);  // the effect mode
  QCOMPARE(Store().EffectMode, EffectNormal);
  QVERIFY(form_->findChild<QRadioButton*>(QStringLiteral("RadioButton1"))->isChecked());
  Key(Qt::Key_Z, Qt::ControlModifier);  // "Dodaj"
  QCOMPARE(Store().SceneCount, 1);
  QCOMPARE(LabelText(*form_, "Label22"), QStringLiteral("1"));
  Key(Qt::Key_Y, Qt::ControlModifier);
  Key(Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(Store().SceneCount, 2);
  QVERIFY(wave->isChecked());

  // A program assignment through the dialog double, taken back and given again.
  dialogs_.answers.push_back(SequenceFile(4, colour::Blue));
  QTest::mouseClick(form_.get(), Qt::RightButton, {}, OnConfigurationTab(*form_, ProgramSquare(3)));
  QCOMPARE(Model().Config().Programs().SceneCountOf(3), 4);
  QTRY_COMPARE(SquareColour(3), slot_colour::Green);
  QVERIFY(Model().PreviewRunning());
  Key(Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(!Model().PreviewRunning());
  QCOMPARE(Model().Config().Programs().UsedScenes(), 0);
  QCOMPARE(SquareColour(3), std::nullopt);
  QCOMPARE(Store().SceneCount, 2);
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(Model().Config().Programs().SceneCountOf(3), 4);
  QCOMPARE(SquareColour(3), slot_colour::Green);
  QCOMPARE(Store().SceneCount, 4);
  QCOMPARE(Cell(0), colour::Blue);
  QCOMPARE(form_->windowTitle(), QStringLiteral("Lumora"));
}

QTEST_MAIN(Form1KeyboardTest)
#include "form1_keyboard_test.moc"
