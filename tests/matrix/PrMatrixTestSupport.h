// Helpers shared by the PrVector and PrMatrix tests: random fixtures, a
// double-precision reference product, a console capture and assertion regexes.
#pragma once

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <random>
#include <string>

#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"
#include "utility/consolePrint.h"

namespace prtest {

// The regex that matches the fatal assertion's report of exactly this condition text.
inline std::string assertionText(const std::string& condition) {
  std::string escaped;
  for (char ch : condition) {
    if (std::string("\\^$.|?*+()[]{}").find(ch) != std::string::npos) escaped += '\\';
    escaped += ch;
  }
  return "Assertion failed: \"" + escaped + "\"";
}

inline PrMatrix randomMatrix(int rows, int cols, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  PrMatrix m(rows, cols);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) m(r, c) = dist(gen);
  }
  return m;
}

inline PrVector randomVector(int size, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  PrVector v(size);
  for (int i = 0; i < size; ++i) v[i] = dist(gen);
  return v;
}

// Random, comfortably conditioned: diagonal dominance keeps the unpivoted LU stable.
inline PrMatrix diagonallyDominant(int n, unsigned seed) {
  PrMatrix m = randomMatrix(n, n, seed);
  for (int i = 0; i < n; ++i) m(i, i) += static_cast<float>(n) + 1.0f;
  return m;
}

// Symmetric positive definite: BᵀB + n·I, built with plain loops.
inline PrMatrix symmetricPositiveDefinite(int n, unsigned seed) {
  const PrMatrix b = randomMatrix(n, n, seed);
  PrMatrix m(n, n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      double sum = i == j ? n : 0.0;
      for (int k = 0; k < n; ++k) sum += static_cast<double>(b(k, i)) * b(k, j);
      m(i, j) = static_cast<float>(sum);
    }
  }
  return m;
}

// Reference product a·b (or a·bᵀ) in double precision with plain index loops.
inline PrMatrix referenceProduct(const PrMatrix& a, const PrMatrix& b, bool transposeB = false) {
  const int n = transposeB ? b.row() : b.column();
  PrMatrix out(a.row(), n);
  for (int i = 0; i < a.row(); ++i) {
    for (int j = 0; j < n; ++j) {
      double sum = 0.0;
      for (int k = 0; k < a.column(); ++k)
        sum += static_cast<double>(a(i, k)) * (transposeB ? b(j, k) : b(k, j));
      out(i, j) = static_cast<float>(sum);
    }
  }
  return out;
}

inline PrMatrix referenceTranspose(const PrMatrix& a) {
  PrMatrix t(a.column(), a.row());
  for (int r = 0; r < a.row(); ++r) {
    for (int c = 0; c < a.column(); ++c) t(c, r) = a(r, c);
  }
  return t;
}

inline void expectNear(const PrMatrix& actual, const PrMatrix& expected, float tolerance) {
  ASSERT_EQ(actual.row(), expected.row());
  ASSERT_EQ(actual.column(), expected.column());
  for (int r = 0; r < actual.row(); ++r) {
    for (int c = 0; c < actual.column(); ++c) {
      EXPECT_NEAR(actual(r, c), expected(r, c), tolerance) << "at (" << r << ", " << c << ")";
    }
  }
}

inline void expectIdentity(const PrMatrix& actual, float tolerance) {
  PrMatrix eye(actual.row(), actual.row());
  eye.identity();
  expectNear(actual, eye, tolerance);
}

// Collects everything consolePrint writes while it is installed.
class ConsoleCapture : public ConsolePrintSink {
 public:
  ConsoleCapture() { setConsolePrintSink(this); }
  ~ConsoleCapture() override { setConsolePrintSink(nullptr); }
  int vprint(const char* format, va_list args) override {
    char buffer[4096];
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    m_text += buffer;
    return n;
  }
  const std::string& text() const { return m_text; }

 private:
  std::string m_text;
};

}  // namespace prtest
