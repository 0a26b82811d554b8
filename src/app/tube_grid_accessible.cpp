#include "app/tube_grid_accessible.h"

#include <vector>

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QPointer>
#include <QWindow>

#include "app/tube_grid.h"

namespace lumora {

namespace {

QAccessibleInterface* TubeItem(TubeGrid* grid, int tube);
QAccessibleInterface* CellItem(TubeGrid* grid, int tube, int column);

// A tube (column -1) or one of its cells; the grid's interface owns it through the
// accessibility cache.
class TubeGridItem : public QAccessibleInterface {
 public:
  TubeGridItem(TubeGrid* grid, int tube, int column) : grid_(grid), tube_(tube), column_(column) {}

  bool isValid() const override { return grid_; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return grid_->window()->windowHandle(); }

  QAccessibleInterface* childAt(int x, int y) const override {
    const TubePlace place = grid_->PlaceAt(grid_->mapFromGlobal(QPoint(x, y)));
    return IsTube() && place.tube == tube_ && place.column >= 0 ? child(place.column) : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return IsTube() ? QAccessible::queryAccessibleInterface(grid_) : TubeItem(grid_, tube_);
  }
  QAccessibleInterface* child(int index) const override {
    if (!IsTube() || index < 0 || index >= kCellsPerTube) return nullptr;
    return CellItem(grid_, tube_, index);
  }
  int childCount() const override { return IsTube() ? kCellsPerTube : 0; }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int index = 0; index < childCount(); ++index) {
      if (this->child(index) == child) return index;
    }
    return -1;
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) {
      if (IsTube()) return QCoreApplication::translate("lumora::TubeGrid", "Tuba %1").arg(tube_);
      const int cell = CellIndexAt(tube_, column_);
      return QCoreApplication::translate("lumora::TubeGrid", "Tuba %1, komórka %2")
          .arg(tube_)
          .arg(cell % kCellsPerTube + 1);
    }
    // The name the window gave the panel of this place.
    if (kind == QAccessible::DebugDescription) {
      return QStringLiteral("Panel%1").arg(IsTube() ? tube_ : CellPanelNumber(tube_, column_));
    }
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    const QRect area = IsTube() ? grid_->TubeArea(tube_) : grid_->CellArea(tube_, column_);
    return {grid_->mapToGlobal(area.topLeft()), area.size()};
  }
  // The role a panel (a frame) had.
  QAccessible::Role role() const override { return QAccessible::Border; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = !grid_->isVisible();
    return state;
  }

 private:
  bool IsTube() const { return column_ < 0; }

  QPointer<TubeGrid> grid_;
  int tube_;
  int column_;
};

// The grid: its children are the tubes, in order. It makes every tube and cell item once.
class TubeGridInterface : public QAccessibleWidget {
 public:
  explicit TubeGridInterface(TubeGrid* grid) : QAccessibleWidget(grid, QAccessible::Pane) {
    for (int tube = 1; tube <= kTubes; ++tube) AddItem(grid, tube, -1);
    for (int tube = 1; tube <= kTubes; ++tube) {
      for (int column = 0; column < kCellsPerTube; ++column) AddItem(grid, tube, column);
    }
  }
  ~TubeGridInterface() override {
    for (QAccessible::Id id : ids_) QAccessible::deleteAccessibleInterface(id);
  }

  // Items: the tubes, then the cells tube by tube.
  QAccessibleInterface* Item(int index) const {
    return QAccessible::accessibleInterface(ids_[index]);
  }

  int childCount() const override { return kTubes; }
  QAccessibleInterface* child(int index) const override {
    return index >= 0 && index < kTubes ? Item(index) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int index = 0; index < kTubes; ++index) {
      if (this->child(index) == child) return index;
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    auto* grid = static_cast<TubeGrid*>(widget());
    const TubePlace place = grid->PlaceAt(grid->mapFromGlobal(QPoint(x, y)));
    return place.tube > 0 ? child(place.tube - 1) : nullptr;
  }

 private:
  void AddItem(TubeGrid* grid, int tube, int column) {
    ids_.push_back(QAccessible::registerAccessibleInterface(new TubeGridItem(grid, tube, column)));
  }

  std::vector<QAccessible::Id> ids_;
};

TubeGridInterface* InterfaceOf(TubeGrid* grid) {
  return static_cast<TubeGridInterface*>(QAccessible::queryAccessibleInterface(grid));
}
QAccessibleInterface* TubeItem(TubeGrid* grid, int tube) {
  return InterfaceOf(grid)->Item(tube - 1);
}
QAccessibleInterface* CellItem(TubeGrid* grid, int tube, int column) {
  return InterfaceOf(grid)->Item(kTubes + (tube - 1) * kCellsPerTube + column);
}

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
  if (className == QLatin1String(TubeGrid::staticMetaObject.className()) && object &&
      object->isWidgetType()) {
    return new TubeGridInterface(static_cast<TubeGrid*>(object));
  }
  return nullptr;
}

}  // namespace

void InstallTubeGridAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&MakeInterface);
    return true;
  }();
  (void)installed;
}

}  // namespace lumora
