// The bridge to Eigen: singular value and symmetric eigen decompositions of
// PrMatrix, computed in double precision and copied back to single precision.
#include <Eigen/Dense>

#include "matrix/PrMatrix.h"

namespace {

using RowMajorFloat = Eigen::Matrix<float, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

Eigen::MatrixXd toDouble(const PrMatrix& m) {
  return Eigen::Map<const RowMajorFloat>(m.dataPtr(), m.row(), m.column()).cast<double>();
}

void fromDouble(const Eigen::MatrixXd& src, PrMatrix& dest) {
  dest.resize(static_cast<int>(src.rows()), static_cast<int>(src.cols()));
  Eigen::Map<RowMajorFloat>(dest.dataPtr(), dest.row(), dest.column()) = src.cast<float>();
}

}  // namespace

// Full factors for any shape: U m×m, S m×n, V n×n with A = U·S·Vᵀ.
void PrMatrix::svd(PrMatrix& U, PrMatrix& S, PrMatrix& V) const {
  const int m = m_row;
  const int n = m_col;
  if (m_size == 0) {
    // Nothing to decompose; any orthogonal factors will do.
    U.resize(m, m);
    U.identity();
    V.resize(n, n);
    V.identity();
    S.resize(m, n);
    S.zero();
    return;
  }
  const Eigen::JacobiSVD<Eigen::MatrixXd> decomposition(toDouble(*this),
                                                        Eigen::ComputeFullU | Eigen::ComputeFullV);
  // Copy the singular values out before writing U, S or V: any of them may be this matrix.
  const Eigen::VectorXd values = decomposition.singularValues();
  fromDouble(decomposition.matrixU(), U);
  fromDouble(decomposition.matrixV(), V);
  S.resize(m, n);
  S.zero();
  for (int i = 0; i < static_cast<int>(values.size()); ++i) S(i, i) = static_cast<float>(values[i]);
}

void PrMatrix::symmetricEigen(PrMatrix& D, PrMatrix& V) const {
  PR_ASSERT(m_row == m_col);
  const int n = m_row;
  if (n == 0) {
    D.resize(0, 0);
    V.resize(0, 0);
    return;
  }
  // Only the lower triangle is read.
  const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> decomposition(toDouble(*this),
                                                                     Eigen::ComputeEigenvectors);
  const Eigen::VectorXd values = decomposition.eigenvalues();
  fromDouble(decomposition.eigenvectors(), V);
  D.resize(n, n);
  D.zero();
  for (int i = 0; i < n; ++i) D(i, i) = static_cast<float>(values[i]);
}
