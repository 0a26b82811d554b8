#include "app/form1.h"
#include "app/tube_grid.h"

namespace lumora {

void TForm1::BuildTubes() {
  tubes_ = new TubeGrid(this);
  tubes_->setObjectName(QStringLiteral("TubeGrid"));
  tubes_->setAccessibleName(tr("Tuby"));
  // The picture covers the window, so a tube dragged anywhere stays in sight.
  tubes_->setGeometry(rect());

  connect(tubes_, &TubeGrid::CellMouseDown, this, &TForm1::Panel153MouseDown);
  connect(tubes_, &TubeGrid::CellMouseMove, this, &TForm1::Panel153MouseMove);
  connect(tubes_, &TubeGrid::CellMouseUp, this,
          [this](int, Qt::MouseButton button) { Panel153MouseUp(button); });
  connect(tubes_, &TubeGrid::TubeClick, this, [this](int tube) {
    if (TubeFrameClickable(tube)) Panel1Click(tube);
  });
  connect(tubes_, &TubeGrid::TubeMouseDown, this, [this](int tube, QPoint position) {
    if (TubeDraggable(tube)) Panel1MouseDown(position);
  });
  connect(tubes_, &TubeGrid::TubeMouseMove, this, [this](int tube, QPoint position) {
    if (TubeDraggable(tube)) Panel1MouseMove(tube, position);
  });
  connect(tubes_, &TubeGrid::TubeMouseUp, this, [this](int tube) {
    if (TubeDraggable(tube)) Panel1MouseUp();
  });
}

}  // namespace lumora
