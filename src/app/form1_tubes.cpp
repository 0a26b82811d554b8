#include "app/controls.h"
#include "app/form1.h"
#include "app/panel.h"

namespace lumora {

namespace {

QRect ToQRect(Rect rect) {
  return {rect.left, rect.top, rect.width, rect.height};
}

}  // namespace

void TForm1::BuildTubes() {
  for (int tube = 1; tube <= kTubes; ++tube) {
    Panel* tubePanel = MakePanel(this, QStringLiteral("Panel%1").arg(tube), ToQRect(TubeRect(tube)),
                                 {}, QStringLiteral("Tuba %1").arg(tube));
    tubePanel->SetTag(tube);

    for (int column = 0; column < kCellsPerTube; ++column) {
      const int cell = CellIndexAt(tube, column);
      Panel* cellPanel =
          MakePanel(tubePanel, QStringLiteral("Panel%1").arg(CellPanelNumber(tube, column)),
                    ToQRect(CellRect(column)), QString::fromLatin1(CellCaption(tube, column)),
                    QStringLiteral("Tuba %1, komórka %2").arg(tube).arg(cell % kCellsPerTube + 1));
      cellPanel->SetTag(cell);
      // Hover painting follows the pointer with no button held.
      cellPanel->setMouseTracking(true);
      cells_[cell] = cellPanel;
      connect(cellPanel, &Panel::MouseDown, this,
              [this, cellPanel](Qt::MouseButton button) { Panel153MouseDown(cellPanel, button); });
      connect(cellPanel, &Panel::MouseMove, this,
              [this, cellPanel] { Panel153MouseMove(cellPanel); });
    }

    if (TubeFrameClickable(tube)) {
      connect(tubePanel, &Panel::Click, this, [this, tubePanel] { Panel1Click(tubePanel); });
    }
    if (TubeDraggable(tube)) {
      connect(tubePanel, &Panel::MouseDown, this,
              [this](Qt::MouseButton, QPoint position) { Panel1MouseDown(position); });
      connect(tubePanel, &Panel::MouseMove, this,
              [this, tubePanel](QPoint position) { Panel1MouseMove(tubePanel, position); });
      connect(tubePanel, &Panel::MouseUp, this, [this] { Panel1MouseUp(); });
    }
  }
}

}  // namespace lumora
