#include "libpuma/SpatialKernels.h"

namespace spatial {
namespace {

void block(const float* A, int row, int col, float* out) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) out[3 * r + c] = A[6 * (row + r) + col + c];
}

// out = R·B·Rᵀ
void rotateCongruent(const float* R, const float* B, float* out) {
  float t[9];
  multiply3(R, B, t);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      out[3 * r + c] = t[3 * r] * R[3 * c] + t[3 * r + 1] * R[3 * c + 1] + t[3 * r + 2] * R[3 * c + 2];
}

// out = [p×]·B, column by column.
void skewTimes(const float* p, const float* B, float* out) {
  for (int c = 0; c < 3; ++c) {
    const float col[3] = {B[c], B[3 + c], B[6 + c]};
    float x[3];
    cross(p, col, x);
    out[c] = x[0];
    out[3 + c] = x[1];
    out[6 + c] = x[2];
  }
}

}  // namespace

// With the blocks B = diag(R, R)·A·diag(Rᵀ, Rᵀ) and P = [p×] (Pᵀ = −P):
//   Xᵀ·A·X = [[B11, B12 − B11·P], [B21 + P·B11, B22 + P·B12 − B21·P − P·B11·P]]
// where B11·P = −(P·B11)ᵀ because B11 is symmetric.
void addInertiaToParent(const float* R, const float* p, const float* A, float* acc) {
  float a11[9], a12[9], a22[9], b11[9], b12[9], b22[9];
  block(A, 0, 0, a11);
  block(A, 0, 3, a12);
  block(A, 3, 3, a22);
  rotateCongruent(R, a11, b11);
  rotateCongruent(R, a12, b12);
  rotateCongruent(R, a22, b22);

  float pb11[9], pb12[9], b11p[9], pb11p[9];
  skewTimes(p, b11, pb11);
  skewTimes(p, b12, pb12);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) b11p[3 * r + c] = -pb11[3 * c + r];
  skewTimes(p, b11p, pb11p);

  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      const float c12 = b12[3 * r + c] - b11p[3 * r + c];
      // B21·P = (−P·B12)ᵀ, so the lower-right block is symmetric by construction.
      const float c22 = b22[3 * r + c] + pb12[3 * r + c] + pb12[3 * c + r] - pb11p[3 * r + c];
      acc[6 * r + c] += b11[3 * r + c];
      acc[6 * r + 3 + c] += c12;
      acc[6 * (3 + c) + r] += c12;
      acc[6 * (3 + r) + 3 + c] += c22;
    }
  }
}

}  // namespace spatial
