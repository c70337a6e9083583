// In-place Cholesky factorisation and solve for the small symmetric positive
// definite systems of the control laws (at most 6 x 6), in double precision
// and on the caller's stack: the servo tick must not allocate.
#pragma once

// Factorises the n x n row-major matrix m (lower triangle) in place; false when
// it is not positive definite.
bool choleskyFactor(int n, double* m);

// Solves (L L^T) x = b in place for one right-hand side.
void choleskySubstitute(int n, const double* factor, double* b);
