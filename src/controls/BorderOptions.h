// TIWBorderOptions: the border of a control drawn as one element (rectangles, images): its
// width in pixels and its colour.
#pragma once

#include "runtime/ClassInfo.h"

namespace qx {

class TIWBorderOptions : public TNotifyingPersistent {
  QX_CLASS(TIWBorderOptions, TNotifyingPersistent)

 public:
  TIWBorderOptions() = default;
  TIWBorderOptions(const TIWBorderOptions& other) = default;
  // Takes the values and announces the change; the change hook stays this object's own.
  TIWBorderOptions& operator=(const TIWBorderOptions& other);

  // In pixels; 0 draws no border.
  int Width() const noexcept { return values_.width; }
  void SetWidth(int width) { SetValue(values_.width, width); }
  // clNone: the browser's own colour.
  TColor Color() const noexcept { return values_.color; }
  void SetColor(TColor color) { SetValue(values_.color, color); }

 private:
  struct Values {
    int width = 0;
    TColor color = clNone;
  };
  Values values_;
};

}  // namespace qx
