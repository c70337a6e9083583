// DualNumber<N>: a value with its N first partial derivatives (forward-mode
// automatic differentiation).
//
// The closed-form PUMA expressions are written once as templates over their
// scalar type; evaluated on dual numbers seeded with the derivatives of the
// joint sines and cosines they yield the exact partial derivatives of those
// same expressions, so the Jacobian rate and the Coriolis vector can never
// drift from the Jacobian and the mass matrix they are derived from.
#pragma once

template <int N>
struct DualNumber {
  double v = 0.0;    // value
  double d[N] = {};  // d[k] = ∂v/∂x_k

  DualNumber() = default;
  DualNumber(double value) : v(value) {}  // NOLINT: constants mix freely with duals
};

template <int N>
inline DualNumber<N> operator+(const DualNumber<N>& a, const DualNumber<N>& b) {
  DualNumber<N> r(a.v + b.v);
  for (int k = 0; k < N; ++k) r.d[k] = a.d[k] + b.d[k];
  return r;
}

template <int N>
inline DualNumber<N> operator-(const DualNumber<N>& a, const DualNumber<N>& b) {
  DualNumber<N> r(a.v - b.v);
  for (int k = 0; k < N; ++k) r.d[k] = a.d[k] - b.d[k];
  return r;
}

template <int N>
inline DualNumber<N> operator-(const DualNumber<N>& a) {
  DualNumber<N> r(-a.v);
  for (int k = 0; k < N; ++k) r.d[k] = -a.d[k];
  return r;
}

// Product rule: (ab)' = a'b + ab'.
template <int N>
inline DualNumber<N> operator*(const DualNumber<N>& a, const DualNumber<N>& b) {
  DualNumber<N> r(a.v * b.v);
  for (int k = 0; k < N; ++k) r.d[k] = a.d[k] * b.v + a.v * b.d[k];
  return r;
}

template <int N>
inline DualNumber<N> operator+(const DualNumber<N>& a, double s) {
  DualNumber<N> r(a);
  r.v += s;
  return r;
}
template <int N>
inline DualNumber<N> operator+(double s, const DualNumber<N>& a) {
  return a + s;
}
template <int N>
inline DualNumber<N> operator-(const DualNumber<N>& a, double s) {
  return a + (-s);
}
template <int N>
inline DualNumber<N> operator-(double s, const DualNumber<N>& a) {
  return -a + s;
}
template <int N>
inline DualNumber<N> operator*(const DualNumber<N>& a, double s) {
  DualNumber<N> r(a.v * s);
  for (int k = 0; k < N; ++k) r.d[k] = a.d[k] * s;
  return r;
}
template <int N>
inline DualNumber<N> operator*(double s, const DualNumber<N>& a) {
  return a * s;
}

// Scalar-type helpers so that templates read the same for double and duals.
inline double valueOf(double x) { return x; }
template <int N>
inline double valueOf(const DualNumber<N>& x) {
  return x.v;
}
