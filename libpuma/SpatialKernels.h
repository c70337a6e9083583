// Written-out 3-D and spatial (6-D) arithmetic on raw float arrays for the
// dynamics passes, which run several times per servo tick.
//
// 3×3 matrices are row-major float[9]; spatial vectors are float[6], linear
// half first. A link frame is given by R (the link's axes in its parent's
// frame, row-major) and p (the link origin in the parent's frame). Then
//   motion, parent to link:  X  = [[Rᵀ, −Rᵀ[p×]], [0, Rᵀ]]
//   force,  link to parent:  Xᵀ = [[R, 0], [[p×]R, R]]
// the same pair as PrTransform's spatial transforms, inlined here because the
// generic forms go through virtual size checks that dominate these tiny sizes.
#pragma once

namespace spatial {

inline void cross(const float* a, const float* b, float* out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// out = R·v
inline void rotate(const float* R, const float* v, float* out) {
  out[0] = R[0] * v[0] + R[1] * v[1] + R[2] * v[2];
  out[1] = R[3] * v[0] + R[4] * v[1] + R[5] * v[2];
  out[2] = R[6] * v[0] + R[7] * v[1] + R[8] * v[2];
}

// out = Rᵀ·v
inline void rotateBack(const float* R, const float* v, float* out) {
  out[0] = R[0] * v[0] + R[3] * v[1] + R[6] * v[2];
  out[1] = R[1] * v[0] + R[4] * v[1] + R[7] * v[2];
  out[2] = R[2] * v[0] + R[5] * v[1] + R[8] * v[2];
}

// out = A·B (3×3)
inline void multiply3(const float* A, const float* B, float* out) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      out[3 * r + c] = A[3 * r] * B[c] + A[3 * r + 1] * B[3 + c] + A[3 * r + 2] * B[6 + c];
}

// out = X·in: a motion vector of the parent expressed at the link origin in link axes.
inline void motionToChild(const float* R, const float* p, const float* in, float* out) {
  float t[3];
  cross(p, in + 3, t);
  const float lin[3] = {in[0] - t[0], in[1] - t[1], in[2] - t[2]};
  rotateBack(R, lin, out);
  rotateBack(R, in + 3, out + 3);
}

// acc += Xᵀ·in: a force on the link added to the parent, at the parent origin.
inline void addForceToParent(const float* R, const float* p, const float* in, float* acc) {
  float f[3], n[3], m[3];
  rotate(R, in, f);
  rotate(R, in + 3, n);
  cross(p, f, m);
  for (int k = 0; k < 3; ++k) {
    acc[k] += f[k];
    acc[3 + k] += n[k] + m[k];
  }
}

// out = A·v for a 6×6 row-major A.
inline void multiply6(const float* A, const float* v, float* out) {
  for (int r = 0; r < 6; ++r) {
    const float* a = A + 6 * r;
    out[r] = a[0] * v[0] + a[1] * v[1] + a[2] * v[2] + a[3] * v[3] + a[4] * v[4] + a[5] * v[5];
  }
}

// acc += Xᵀ·A·X for a symmetric 6×6 A (an inertia of the link moved to the parent).
void addInertiaToParent(const float* R, const float* p, const float* A, float* acc);

}  // namespace spatial
