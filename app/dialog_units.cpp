#include "app/dialog_units.h"

#include <QFontMetrics>

namespace vell {

namespace {

// Rounded a * b / c, as the template conversion rounds.
int MulDiv(int a, int b, int c) { return static_cast<int>((static_cast<long long>(a) * b * 2 + c) / (2LL * c)); }

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average width of the 52 letters, rounded to the nearest pixel.
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseWidth_ = qMax(1, (letters / 26 + 1) / 2);
  baseHeight_ = qMax(1, metrics.height());
}

int DialogUnits::X(int units) const { return MulDiv(units, baseWidth_, 4); }
int DialogUnits::Y(int units) const { return MulDiv(units, baseHeight_, 8); }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  const int left = X(x);
  const int top = Y(y);
  // Both edges are converted, so adjacent controls stay adjacent.
  return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}

}  // namespace vell
