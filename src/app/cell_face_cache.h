#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPalette>
#include <QString>

namespace lumora {

// Cell faces (colour, caption, bevel) drawn once and kept, so a repaint copies pixels instead
// of laying out text and drawing bevels. A face is drawn in the picture format of the surface
// it goes to, so the copy has the pixels drawing on that surface would give.
class CellFaceCache {
 public:
  // The face of the given size, fill and caption; captionId tells the caption apart cheaply.
  const QImage& Face(QSize size, qreal pixelRatio, QImage::Format format, const QColor& fill,
                     int captionId, const QString& caption);
  // Font or palette changed: every face is drawn anew.
  void Reset(const QFont& font, const QPalette& palette);

 private:
  // A picture's colours can be many while playing; past this many faces the cache starts over.
  static constexpr int kMaxFaces = 1024;

  QFont font_;
  QPalette palette_;
  QImage::Format format_ = QImage::Format_Invalid;
  qreal pixelRatio_ = 0;
  QHash<quint64, QImage> faces_;
};

}  // namespace lumora
