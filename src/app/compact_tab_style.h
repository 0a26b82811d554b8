#pragma once

#include <QProxyStyle>

namespace lumora {

// The application's style with narrow tab padding, so both tab captions of the main window
// fit its 241-pixel tab control side by side.
class CompactTabStyle : public QProxyStyle {
  Q_OBJECT

 public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;
};

}  // namespace lumora
