// The one test of "every value is a number" over an array: NaN and ±∞ fail.
// Header-only, so the numeric core and the plug-in use it without linking.
#pragma once

#include <cmath>

template <class T>
bool allFinite(const T* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) return false;
  }
  return true;
}
