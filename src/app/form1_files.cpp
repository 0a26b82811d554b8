#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

#include "app/form1.h"
#include "app/path_text.h"

namespace lumora {

namespace {

// A folder wider than this is shortened in its middle in the recent files' menu.
constexpr int kRecentFolderPixels = 320;

std::string AbsolutePath(const std::string& path) {
  return PathBytes(QFileInfo(PathText(path)).absoluteFilePath());
}

// The files of a drag, sorted; refused when one is no local file or not ours.
FilesToOpen DraggedFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data->hasUrls()) {
    for (const QUrl& url : data->urls()) {
      if (!url.isLocalFile()) return {{}, {}, FilesToOpen::Refusal::NotSequenceOrProject, {}};
      paths.push_back(PathBytes(url.toLocalFile()));
    }
  }
  FilesToOpen files = SortFilesToOpen(paths);
  if (paths.empty()) files.refusal = FilesToOpen::Refusal::NotSequenceOrProject;
  return files;
}

}  // namespace

void TForm1::BuildFileOpening() {
  setAcceptDrops(true);
  const struct {
    const char* button;
    FileKind kind;
  } openButtons[] = {{"SpeedButton19", FileKind::Sequence}, {"SpeedButton9", FileKind::Project}};
  for (const auto& open : openButtons) {
    auto* button = findChild<QToolButton*>(QString::fromLatin1(open.button));
    button->setToolTip(tr("Prawy przycisk myszy: ostatnio używane pliki"));
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(button, &QWidget::customContextMenuRequested, this,
            [this, button, kind = open.kind](QPoint place) {
              ShowRecentFiles(button, kind, button->mapToGlobal(place));
            });
  }
}

void TForm1::ShowRecentFiles(QToolButton* button, FileKind kind, QPoint place) {
  auto* menu = new QMenu(button);
  menu->setObjectName(QStringLiteral("RecentFiles"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const std::vector<std::string> recent = model_.RecentFiles(kind);
  int number = 0;
  for (const std::string& path : recent) {
    const QFileInfo file(PathText(path));
    const QString folder = menu->fontMetrics().elidedText(
        QDir::toNativeSeparators(file.absolutePath()), Qt::ElideMiddle, kRecentFolderPixels);
    // The number is the entry's key; the folder stands where a menu shows a shortcut.
    QAction* entry =
        menu->addAction(QStringLiteral("&%1 %2\t%3").arg(++number).arg(file.fileName(), folder));
    entry->setToolTip(QDir::toNativeSeparators(file.absoluteFilePath()));
    connect(entry, &QAction::triggered, this,
            [this, kind, path] { model_.OpenGivenFile(kind, path); });
  }
  if (recent.empty()) menu->addAction(tr("Brak ostatnio używanych plików"))->setEnabled(false);
  menu->popup(place);
}

void TForm1::OpenGivenFiles(const FilesToOpen& files) {
  if (!files.project.empty()) model_.OpenGivenFile(FileKind::Project, AbsolutePath(files.project));
  if (!files.sequence.empty()) {
    model_.OpenGivenFile(FileKind::Sequence, AbsolutePath(files.sequence));
  }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (DraggedFiles(event->mimeData()).refusal == FilesToOpen::Refusal::None) {
    event->acceptProposedAction();
  }
}

void TForm1::dropEvent(QDropEvent* event) {
  FilesToOpen files = DraggedFiles(event->mimeData());
  if (files.refusal != FilesToOpen::Refusal::None) return;
  event->acceptProposedAction();
  // Opened once the drop is over: the file manager waits for its end, and a message box would
  // hold it until closed.
  QTimer::singleShot(0, this, [this, files = std::move(files)] { OpenGivenFiles(files); });
}

}  // namespace lumora
