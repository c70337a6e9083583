#include "plugin/CholeskySolve.h"

#include <cmath>

bool choleskyFactor(int n, double* m) {
  for (int j = 0; j < n; ++j) {
    double diagonal = m[j * n + j];
    for (int k = 0; k < j; ++k) diagonal -= m[j * n + k] * m[j * n + k];
    if (!(diagonal > 0)) return false;
    const double ljj = std::sqrt(diagonal);
    m[j * n + j] = ljj;
    for (int i = j + 1; i < n; ++i) {
      double sum = m[i * n + j];
      for (int k = 0; k < j; ++k) sum -= m[i * n + k] * m[j * n + k];
      m[i * n + j] = sum / ljj;
    }
  }
  return true;
}

void choleskySubstitute(int n, const double* factor, double* b) {
  for (int i = 0; i < n; ++i) {
    double sum = b[i];
    for (int k = 0; k < i; ++k) sum -= factor[i * n + k] * b[k];
    b[i] = sum / factor[i * n + i];
  }
  for (int i = n - 1; i >= 0; --i) {
    double sum = b[i];
    for (int k = i + 1; k < n; ++k) sum -= factor[k * n + i] * b[k];
    b[i] = sum / factor[i * n + i];
  }
}
