// Closed-form joint-space dynamics of the PUMA 560: the mass matrix and the
// centrifugal/Coriolis torques.
#pragma once

class PrVector;
class PrMatrix;

namespace puma {

// M (resized to 6 × 6, kg·m², symmetric) at joint angles q (rad, size 6; only
// θ2..θ5 enter) and b (resized to 6, N·m), the centrifugal and Coriolis torques
// at joint velocity dq (rad/s, size 6):
//   b[i] = Σj Σk (∂M[i][j]/∂θk - ½ ∂M[j][k]/∂θi) dq[j] dq[k].
void massMatrixAndCoriolis(const PrVector& q, const PrVector& dq, PrMatrix& M, PrVector& b);

}  // namespace puma
