// The arithmetic of the fixed-size types (PrVector3, PrVector6, PrMatrix3,
// PrMatrix6), written once for any count N: loops with a constant trip count,
// which the compiler unrolls or vectorises as it did the hand-written forms.
// A dot product expands into the written-out sum (a fold over 0 … N − 1), so
// it adds left to right from the first product and keeps the bits of the
// generic loop. Matrices are N×N, row-major. Callers check shapes and
// aliasing; these only compute.
#pragma once

#include <utility>

namespace fixedsize {

template <int N>
inline void copy(const float* src, float* dest) {
  for (int i = 0; i < N; ++i) dest[i] = src[i];
}
template <int N>
inline void negate(const float* a, float* dest) {
  for (int i = 0; i < N; ++i) dest[i] = -a[i];
}
template <int N>
inline void add(const float* a, const float* b, float* dest) {
  for (int i = 0; i < N; ++i) dest[i] = a[i] + b[i];
}
template <int N>
inline void subtract(const float* a, const float* b, float* dest) {
  for (int i = 0; i < N; ++i) dest[i] = a[i] - b[i];
}
template <int N>
inline void multiplyElements(const float* a, const float* b, float* dest) {
  for (int i = 0; i < N; ++i) dest[i] = a[i] * b[i];
}
template <int N>
inline void scale(const float* a, float s, float* dest) {
  for (int i = 0; i < N; ++i) dest[i] = a[i] * s;
}
template <int N>
inline bool equal(const float* a, const float* b) {
  for (int i = 0; i < N; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// Σk a[k·aStride]·b[k·bStride] for k = 0 … N − 1.
template <int N>
inline float dot(const float* a, int aStride, const float* b, int bStride) {
  return [&]<int... K>(std::integer_sequence<int, K...>) { return (... + (a[K * aStride] * b[K * bStride])); }
  (std::make_integer_sequence<int, N>{});
}

// dest(i, j) = a[i]·b[j].
template <int N>
inline void outerProduct(const float* a, const float* b, float* dest) {
  for (int i = 0; i < N; ++i) {
    for (int j = 0; j < N; ++j) dest[N * i + j] = a[i] * b[j];
  }
}

// dest = aᵀ.
template <int N>
inline void transpose(const float* a, float* dest) {
  for (int r = 0; r < N; ++r) {
    for (int c = 0; c < N; ++c) dest[N * r + c] = a[N * c + r];
  }
}

// dest = a·b, or a·bᵀ when transposeB (then the rows of b are read).
template <int N>
inline void multiply(const float* a, const float* b, float* dest, bool transposeB) {
  const int bStride = transposeB ? 1 : N;
  const int bStep = transposeB ? N : 1;
  for (int r = 0; r < N; ++r) {
    for (int c = 0; c < N; ++c) dest[N * r + c] = dot<N>(a + N * r, 1, b + c * bStep, bStride);
  }
}

// dest = aᵀ·b.
template <int N>
inline void transposedMultiply(const float* a, const float* b, float* dest) {
  for (int r = 0; r < N; ++r) {
    for (int c = 0; c < N; ++c) dest[N * r + c] = dot<N>(a + r, N, b + c, N);
  }
}

// dest = a·v and dest = aᵀ·v for an N-element v.
template <int N>
inline void multiplyVector(const float* a, const float* v, float* dest) {
  for (int r = 0; r < N; ++r) dest[r] = dot<N>(a + N * r, 1, v, 1);
}
template <int N>
inline void transposedMultiplyVector(const float* a, const float* v, float* dest) {
  for (int r = 0; r < N; ++r) dest[r] = dot<N>(a + r, N, v, 1);
}

}  // namespace fixedsize
