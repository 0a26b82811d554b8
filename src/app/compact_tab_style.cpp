#include "app/compact_tab_style.h"

namespace lumora {

namespace {
constexpr int kTabPadding = 8;  // both sides together
}  // namespace

int CompactTabStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                 const QWidget* widget) const {
  if (metric == PM_TabBarTabHSpace) return kTabPadding;
  return QProxyStyle::pixelMetric(metric, option, widget);
}

}  // namespace lumora
