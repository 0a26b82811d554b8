#include <QToolButton>

#include "app/button_images.h"
#include "app/controls.h"
#include "app/form1.h"
#include "app/panel.h"

namespace lumora {

namespace {

constexpr int kToolLeft = 4;
constexpr int kToolWidth = 35;
constexpr int kToolHeight = 34;
constexpr int kPaletteTop = 5;
constexpr int kPaletteStep = 32;

const char* const kPaletteNames[] = {
    QT_TRANSLATE_NOOP("lumora::TForm1", "Kolor czarny"),
    QT_TRANSLATE_NOOP("lumora::TForm1", "Kolor czerwony"),
    QT_TRANSLATE_NOOP("lumora::TForm1", "Kolor zielony"),
    QT_TRANSLATE_NOOP("lumora::TForm1", "Kolor niebieski"),
    QT_TRANSLATE_NOOP("lumora::TForm1", "Kolor żółty"),
    QT_TRANSLATE_NOOP("lumora::TForm1", "Kolor purpurowy"),
    QT_TRANSLATE_NOOP("lumora::TForm1", "Kolor błękitny"),
    QT_TRANSLATE_NOOP("lumora::TForm1", "Kolor biały"),
};
static_assert(std::size(kPaletteNames) == kPalette.size());

}  // namespace

void TForm1::BuildTools() {
  Panel* panel17 = MakePanel(this, QStringLiteral("Panel17"), {0, 32, 43, 73}, {}, tr("Narzędzia"));
  QToolButton* pencil =
      MakeSpeedButton(panel17, QStringLiteral("SpeedButton11"),
                      {kToolLeft, 3, kToolWidth, kToolHeight}, PencilImage(), {}, tr("Ołówek"));
  QToolButton* brush =
      MakeSpeedButton(panel17, QStringLiteral("SpeedButton10"),
                      {kToolLeft, 36, kToolWidth, kToolHeight}, BrushImage(), {}, tr("Pędzel"));
  for (QToolButton* tool : {pencil, brush}) {
    tool->setCheckable(true);
    toolGroup_.addButton(tool);
  }
  pencil->setChecked(true);
  connect(pencil, &QToolButton::clicked, this, [this] { SpeedButton11Click(); });
  connect(brush, &QToolButton::clicked, this, [this] { SpeedButton10Click(); });

  Panel* panel227 =
      MakePanel(this, QStringLiteral("Panel227"), {0, 112, 43, 273}, {}, tr("Paleta kolorów"));
  for (int i = 0; i < static_cast<int>(kPalette.size()); ++i) {
    QToolButton* swatch =
        MakeSpeedButton(panel227, QStringLiteral("SpeedButton%1").arg(i + 1),
                        {kToolLeft, kPaletteTop + kPaletteStep * i, kToolWidth, kToolHeight},
                        SwatchImage(kPalette[i]), {}, tr(kPaletteNames[i]));
    swatch->setIconSize({20, 20});
    swatch->setCheckable(true);
    paletteGroup_.addButton(swatch, i);
  }
  paletteGroup_.button(0)->setChecked(true);
  connect(&paletteGroup_, &QButtonGroup::idClicked, this,
          [this](int paletteIndex) { SpeedButton1Click(paletteIndex); });
}

}  // namespace lumora
