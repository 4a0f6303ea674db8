#include "import/rgba_picture.h"

#include <algorithm>

namespace mosaiq::import {

Rect Rect::within(const Rect& other) const {
  const int left = std::max(x, other.x), top = std::max(y, other.y);
  const int r = std::min(right(), other.right()), b = std::min(bottom(), other.bottom());
  return r > left && b > top ? Rect{left, top, r - left, b - top} : Rect{};
}

Rect Rect::joined(const Rect& other) const {
  if (empty()) return other;
  if (other.empty()) return *this;
  const int left = std::min(x, other.x), top = std::min(y, other.y);
  return {left, top, std::max(right(), other.right()) - left,
          std::max(bottom(), other.bottom()) - top};
}

}  // namespace mosaiq::import
