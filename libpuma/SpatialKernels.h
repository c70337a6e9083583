// Written-out 3-D and spatial (6-D) arithmetic on raw float arrays for the
// dynamics passes, which run several times per servo tick.
//
// 3×3 matrices are row-major float[9]; spatial vectors are float[6], linear
// half first; 6×6 matrices are row-major float[36]. The passes work in base
// coordinates about the base origin, so moving a quantity from a link to its
// parent needs no transform at all: these are the only kernels they need.
#pragma once

namespace spatial {

inline void cross(const float* a, const float* b, float* out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

inline float dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline float dot6(const float* a, const float* b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3] + a[4] * b[4] + a[5] * b[5];
}

// out = R·v
inline void rotate(const float* R, const float* v, float* out) {
  out[0] = R[0] * v[0] + R[1] * v[1] + R[2] * v[2];
  out[1] = R[3] * v[0] + R[4] * v[1] + R[5] * v[2];
  out[2] = R[6] * v[0] + R[7] * v[1] + R[8] * v[2];
}

// out = A·B (3×3)
inline void multiply3(const float* A, const float* B, float* out) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      out[3 * r + c] = A[3 * r] * B[c] + A[3 * r + 1] * B[3 + c] + A[3 * r + 2] * B[6 + c];
}

// out = V ×ₘ m, the motion cross product: (ω × v′ + v × ω′, ω × ω′) for V = (v, ω), m = (v′, ω′).
inline void crossMotion(const float* V, const float* m, float* out) {
  float a[3], b[3];
  cross(V + 3, m, a);
  cross(V, m + 3, b);
  cross(V + 3, m + 3, out + 3);
  for (int k = 0; k < 3; ++k) out[k] = a[k] + b[k];
}

// out = V ×f F, the force cross product: (ω × f, ω × n + v × f) for V = (v, ω), F = (f, n).
inline void crossForce(const float* V, const float* F, float* out) {
  float a[3], b[3];
  cross(V + 3, F + 3, a);
  cross(V, F, b);
  cross(V + 3, F, out);
  for (int k = 0; k < 3; ++k) out[3 + k] = a[k] + b[k];
}

// out = I·m for the rigid-body inertia about the base origin with mass m,
// first moment h = m·c and rotational inertia Io (3×3): (m·v − h × ω, h × v + Io·ω).
inline void rigidInertiaTimes(float mass, const float* h, const float* Io, const float* m, float* out) {
  float hw[3], hv[3], Iw[3];
  cross(h, m + 3, hw);
  cross(h, m, hv);
  rotate(Io, m + 3, Iw);
  for (int k = 0; k < 3; ++k) {
    out[k] = mass * m[k] - hw[k];
    out[3 + k] = hv[k] + Iw[k];
  }
}

// out = A·v for a 6×6 A.
inline void multiply6(const float* A, const float* v, float* out) {
  for (int r = 0; r < 6; ++r) out[r] = dot6(A + 6 * r, v);
}

}  // namespace spatial
