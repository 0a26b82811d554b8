// The main window rendered in a few states, compared pixel for pixel with reference pictures
// taken from the window as it was built from one panel per cell and per tube.
// LUMORA_WRITE_REFERENCE=1 writes the pictures instead of comparing them.
#include <memory>

#include <QFontInfo>
#include <QImage>
#include <QtTest>

#include "app/form1.h"
#include "form1_places.h"
#include "support/fake_dialogs.h"

using namespace lumora;
using namespace lumora::testing;

namespace {

// The face the references were drawn with; on a machine that resolves the window's font to
// another face every caption differs, so the comparison says so instead of failing on glyphs.
const char* const kReferenceFamily = LUMORA_REFERENCE_FAMILY;

void Drag(TForm1& form, Qt::MouseButton button, QPoint from, QPoint by) {
  QTest::mousePress(&form, button, {}, from);
  QTest::mouseMove(&form, from + QPoint(by.x() / 2, by.y() / 2));
  QTest::mouseMove(&form, from + by);
  QTest::mouseRelease(&form, button, {}, from + by);
}

}  // namespace

class Form1PixelsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup() { form_.reset(); }

  void startLooksAsBefore();
  void paintedScenesDraggedTubesAndBothTabsLookAsBefore();

 private:
  // Compares the window with the reference picture of that name (or writes it).
  void Compare(const char* name);

  FakeDialogs dialogs_;
  std::unique_ptr<TForm1> form_;
};

void Form1PixelsTest::init() {
  form_ = std::make_unique<TForm1>(dialogs_, dialogs_);
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  // The pictures hold the glyphs of one face: any other would fail every comparison.
  const QString family = QFontInfo(form_->font()).family();
  QVERIFY2(family == QString::fromLatin1(kReferenceFamily),
           qPrintable(QStringLiteral("the window's font is %1, the references use %2 (package "
                                     "fonts-dejavu-core, which scripts/install-deps.sh installs)")
                          .arg(family, QString::fromLatin1(kReferenceFamily))));
}

void Form1PixelsTest::Compare(const char* name) {
  // The automatic programs' squares show the last action only from the next display refresh
  // on: the pictures are of the window as that refresh leaves it, which is what the user sees.
  QSignalSpy refreshed(form_->findChild<QTimer*>(QStringLiteral("Timer2")), &QTimer::timeout);
  QVERIFY(refreshed.isValid());
  QTRY_VERIFY(refreshed.count() > 0);
  const QImage shot = form_->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QString path =
      QDir(QCoreApplication::applicationDirPath())
          .filePath(QStringLiteral(LUMORA_REFERENCE_FROM_TEST "/%1.png").arg(QLatin1String(name)));
  if (qEnvironmentVariableIsSet("LUMORA_WRITE_REFERENCE")) {
    QVERIFY(shot.save(path));
    return;
  }
  const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
  QVERIFY2(!reference.isNull(), qPrintable(path));
  QCOMPARE(shot.size(), reference.size());
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      if (shot.pixel(x, y) != reference.pixel(x, y)) {
        const QString saved = QDir::temp().filePath(QStringLiteral("%1-actual.png").arg(name));
        shot.save(saved);
        QFAIL(qPrintable(QStringLiteral("%1: first difference at (%2, %3), %4 instead of %5; "
                                        "the picture is in %6")
                             .arg(QLatin1String(name))
                             .arg(x)
                             .arg(y)
                             .arg(shot.pixel(x, y), 8, 16)
                             .arg(reference.pixel(x, y), 8, 16)
                             .arg(saved)));
      }
    }
  }
}

void Form1PixelsTest::startLooksAsBefore() {
  Compare("start");
}

void Form1PixelsTest::paintedScenesDraggedTubesAndBothTabsLookAsBefore() {
  // Pencil: single cells of several colours, on captions too.
  const struct {
    int palette, tube, column;
  } strokes[] = {{1, 1, 0}, {2, 1, 3}, {3, 2, 7}, {4, 5, 5}, {5, 9, 3}, {6, 16, 0}, {7, 12, 6}};
  for (const auto& s : strokes) {
    Click(*form_, PaletteButton(s.palette));
    Click(*form_, CellCentre(s.tube, s.column));
  }
  // Hover painting along a tube, ended by a left click.
  Click(*form_, PaletteButton(2));
  Click(*form_, CellCentre(7, 0), Qt::RightButton);
  for (int column = 1; column < kCellsPerTube; ++column) {
    QTest::mouseMove(form_.get(), CellCentre(7, column));
  }
  Click(*form_, CellCentre(8, 0));
  // Tube frames coloured by clicks.
  Click(*form_, PaletteButton(3));
  Click(*form_, TubeFrame(2));
  Click(*form_, TubeFrame(10));
  Compare("painted");

  // The brush recolours every black cell.
  Click(*form_, BrushButton());
  Click(*form_, PaletteButton(4));
  Click(*form_, CellCentre(14, 4));
  // Tubes dragged over their neighbours, under the tabs and over the version label.
  Drag(*form_, Qt::RightButton, TubeFrame(13), {100, 9});
  Drag(*form_, Qt::LeftButton, TubeFrame(3), {-20, 13});
  Drag(*form_, Qt::LeftButton, TubeFrame(1), {40, -35});
  Drag(*form_, Qt::LeftButton, TubeFrame(12), {20, 0});  // does not move
  Compare("brush-dragged-config-tab");

  OnScenesGroup(*form_, {});
  Compare("brush-dragged-sequence-tab");
}

QTEST_MAIN(Form1PixelsTest)
#include "form1_pixels_test.moc"
