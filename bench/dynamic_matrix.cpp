// The generic PrMatrix operations a servo tick leans on, at arm sizes: the
// unpivoted inverses into sized destinations, the in-place products, and the
// SVD-based pseudo-inverse that the operational-space modes use near a singularity.
#include <benchmark/benchmark.h>

#include <random>

#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

namespace {

PrMatrix randomMatrix(int rows, int cols, unsigned seed, float diagonalBoost = 0.0f) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  PrMatrix m(rows, cols);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) m(r, c) = dist(gen) + (r == c ? diagonalBoost : 0.0f);
  }
  return m;
}

// BᵀB + n·I: a well-conditioned stand-in for a mass matrix.
PrMatrix massLike(int n) {
  const PrMatrix b = randomMatrix(n, n, 7);
  PrMatrix m;
  b.transposedMultiply(b, m);
  for (int i = 0; i < n; ++i) m(i, i) += static_cast<float>(n);
  return m;
}

void BM_Multiply(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const PrMatrix a = randomMatrix(n, n, 1), b = randomMatrix(n, n, 2);
  PrMatrix dest(n, n);
  for (auto _ : state) {
    a.multiply(b, dest);
    benchmark::DoNotOptimize(dest.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Multiply)->Arg(3)->Arg(6);

void BM_MultiplyInPlaceWithWork(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const PrMatrix b = randomMatrix(n, n, 2);
  PrMatrix a = randomMatrix(n, n, 1);
  PrVector work(n);
  for (auto _ : state) {
    a.multiplyInPlace(b, true, &work);
    a.multiplyInPlace(b, false, &work);  // keeps the values bounded
    benchmark::DoNotOptimize(a.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MultiplyInPlaceWithWork)->Arg(6);

void BM_InverseLu(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const PrMatrix a = massLike(n);
  PrMatrix dest(n, n), lu(n, n);
  for (auto _ : state) {
    a.inverse(dest, lu);
    benchmark::DoNotOptimize(dest.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_InverseLu)->Arg(3)->Arg(6);

void BM_InverseCholesky(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const PrMatrix a = massLike(n);
  PrMatrix dest(n, n), lu(n, n);
  for (auto _ : state) {
    a.inverseSPD(dest, lu);
    benchmark::DoNotOptimize(dest.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_InverseCholesky)->Arg(3)->Arg(6);

void BM_PseudoInverse(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const PrMatrix a = randomMatrix(n, n, 3);
  PrMatrix dest(n, n);
  for (auto _ : state) {
    a.pseudoInverse(dest, 1e-4f);
    benchmark::DoNotOptimize(dest.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PseudoInverse)->Arg(3)->Arg(6);

void BM_SymmetricEigen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const PrMatrix a = massLike(n);
  PrMatrix d, v;
  for (auto _ : state) {
    a.symmetricEigen(d, v);
    benchmark::DoNotOptimize(v.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SymmetricEigen)->Arg(3)->Arg(6);

}  // namespace
BENCHMARK_MAIN();
