// The guide's picture program, run as the guide says: every picture it promises is a PNG of
// its window's size with more than a handful of colours, and the "fala1" sequence it writes
// reads back as one.
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "files/sequence_file.h"
#include "main_window/effect_steps.h"

using namespace lumora;

namespace {

constexpr QSize kMainWindow(576, 546);
constexpr QSize kProgrammingWindow(476, 224);
constexpr QSize kMessageBox(250, 90);
// A picture of a window has its text, frames and painted cells; a blank or nearly blank one
// has a colour or two.
constexpr int kFewestColours = 16;

int DistinctColours(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  }
  return colours.size();
}

QString GuidePictures() {
  return QDir(QCoreApplication::applicationDirPath())
      .filePath(QStringLiteral(LUMORA_GUIDE_PICTURES_FROM_TEST));
}

}  // namespace

class GuidePicturesTest : public QObject {
  Q_OBJECT

 private slots:
  void makesEveryPictureOfTheGuide();
  void refusesASecondArgument();
};

void GuidePicturesTest::makesEveryPictureOfTheGuide() {
  QTemporaryDir output;
  QProcess program;
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.start(GuidePictures(), {output.filePath(QStringLiteral("guide"))});
  QVERIFY(program.waitForFinished(60000));
  QCOMPARE(program.exitStatus(), QProcess::NormalExit);
  QCOMPARE(program.exitCode(), 0);

  // A message box takes the size of its texts: only a least one is known.
  const struct {
    const char* name;
    QSize size;
    bool least = false;
  } pictures[] = {
      {"painting.png", kMainWindow},      {"sequence.png", kMainWindow},
      {"configuration.png", kMainWindow}, {"programming.png", kProgrammingWindow},
      {"closing.png", kMessageBox, true}, {"recovery.png", kMessageBox, true},
  };
  for (const auto& picture : pictures) {
    const QString path = output.filePath(QStringLiteral("guide/") + QLatin1String(picture.name));
    QImage image;
    QVERIFY2(image.load(path, "PNG"), picture.name);
    if (picture.least) {
      QVERIFY2(image.width() >= picture.size.width() && image.height() >= picture.size.height(),
               picture.name);
    } else {
      QCOMPARE(image.size(), picture.size);
    }
    QVERIFY2(DistinctColours(image) >= kFewestColours, picture.name);
  }

  // The main window with the menu of recent projects over it, and beyond it where it reaches.
  QImage recent;
  QVERIFY(recent.load(output.filePath(QStringLiteral("guide/recent.png")), "PNG"));
  QVERIFY(recent.width() >= kMainWindow.width() && recent.height() >= kMainWindow.height());
  QVERIFY(DistinctColours(recent) >= kFewestColours);

  SequenceFileData sequence;
  QCOMPARE(
      ReadSequenceFile(output.filePath(QStringLiteral("guide/fala1.sqx")).toStdString(), sequence),
      ReadResult::Ok);
  QCOMPARE(sequence.SceneCount, 4);
  QCOMPARE(sequence.EffectMode, EffectWave1);
}

void GuidePicturesTest::refusesASecondArgument() {
  QProcess program;
  program.start(GuidePictures(), {QStringLiteral("a"), QStringLiteral("b")});
  QVERIFY(program.waitForFinished(30000));
  QCOMPARE(program.exitCode(), 2);
  QVERIFY(program.readAllStandardError().contains("usage"));
}

QTEST_MAIN(GuidePicturesTest)
#include "guide_pictures_test.moc"
