#include "app/cell_face_cache.h"

#include <QPainter>

#include "app/panel_face.h"

namespace lumora {

const QImage& CellFaceCache::Face(QSize size, qreal pixelRatio, QImage::Format format,
                                  const QColor& fill, int captionId, const QString& caption) {
  if (format != format_ || pixelRatio != pixelRatio_ || faces_.size() >= kMaxFaces) {
    faces_.clear();
    format_ = format;
    pixelRatio_ = pixelRatio;
  }
  const quint64 key = (quint64(captionId) << 32) | fill.rgba();
  auto found = faces_.find(key);
  if (found != faces_.end()) return *found;

  QImage face(size * pixelRatio, format);
  face.setDevicePixelRatio(pixelRatio);
  QPainter painter(&face);
  painter.setFont(font_);
  DrawPanelFace(painter, QRect(QPoint(), size), fill, caption, palette_);
  painter.end();
  return *faces_.insert(key, face);
}

void CellFaceCache::Reset(const QFont& font, const QPalette& palette) {
  font_ = font;
  palette_ = palette;
  faces_.clear();
}

}  // namespace lumora
