// Looking at the pixels of a drawn surface: colours counted or near a place,
// and how far a drawing that grows step by step has come.
#pragma once

#include "platform/bitmap.h"

namespace kvtest {

// Pixels of the colour.
inline int CountColour(const plat::Bitmap& s, plat::Colour c) {
  int n = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.GetPixel(x, y) == c) ++n;
  return n;
}

// True when a pixel of the colour lies within r pixels of (x, y).
inline bool ColourNear(const plat::Bitmap& s, int x, int y, plat::Colour c, int r) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (s.GetPixel(x + dx, y + dy) == c) return true;
  return false;
}

// How many steps from the first the picture shows without a gap (`shows(picture, j)` for step j
// from 1), or -j when step j shows although an earlier one does not.
template <class Shows>
int StepsShown(const plat::Bitmap& b, int steps, Shows shows) {
  int n = 0;
  while (n < steps && shows(b, n + 1)) ++n;
  for (int j = n + 1; j <= steps; ++j)
    if (shows(b, j)) return -j;
  return n;
}

}  // namespace kvtest
