#pragma once

#include <QFont>
#include <QRect>

namespace vell {

// Converts dialog-template units to pixels from the dialog font, the way the
// templates were laid out: a horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  DialogUnits(int baseWidth, int baseHeight) : baseWidth_(baseWidth), baseHeight_(baseHeight) {}

  int X(int units) const;
  int Y(int units) const;
  QRect Rect(int x, int y, int width, int height) const;

  int baseWidth() const { return baseWidth_; }
  int baseHeight() const { return baseHeight_; }

 private:
  int baseWidth_;
  int baseHeight_;
};

}  // namespace vell
