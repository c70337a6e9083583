// The small kernels of the dynamics and servo code: 6×6 products and
// inverses, frame composition and rotation-matrix conversion. The generic
// 6×6 product is there to show what the written-out fixed-size one saves.
#include <benchmark/benchmark.h>

#include <random>

#include "matrix/PrMatrix.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrMatrix6.h"
#include "matrix/PrQuaternion.h"
#include "matrix/PrTransform.h"
#include "matrix/PrVector3.h"

namespace {

template <typename Matrix>
void fillRandom(Matrix& m, unsigned seed, float diagonalBoost = 0.0f) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  for (int r = 0; r < m.row(); ++r) {
    for (int c = 0; c < m.column(); ++c) m(r, c) = dist(gen) + (r == c ? diagonalBoost : 0.0f);
  }
}

void BM_Matrix6Multiply(benchmark::State& state) {
  PrMatrix6 a, b, dest;
  fillRandom(a, 1);
  fillRandom(b, 2);
  for (auto _ : state) {
    a.multiply(b, dest);
    benchmark::DoNotOptimize(dest.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Matrix6Multiply);

void BM_GenericMatrix6x6Multiply(benchmark::State& state) {
  PrMatrix a(6, 6), b(6, 6), dest(6, 6);
  fillRandom(a, 1);
  fillRandom(b, 2);
  for (auto _ : state) {
    a.multiply(b, dest);
    benchmark::DoNotOptimize(dest.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GenericMatrix6x6Multiply);

// Unpivoted LU inverse; diagonal dominance keeps it well conditioned.
void BM_Matrix6InverseLU(benchmark::State& state) {
  PrMatrix6 a, dest;
  fillRandom(a, 3, 7.0f);
  for (auto _ : state) {
    a.inverse(dest);
    benchmark::DoNotOptimize(dest.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Matrix6InverseLU);

// The same with the factor matrix supplied by the caller: no allocation.
void BM_Matrix6InverseLUWithScratch(benchmark::State& state) {
  PrMatrix6 a, dest, lu;
  fillRandom(a, 3, 7.0f);
  for (auto _ : state) {
    a.inverse(dest, lu);
    benchmark::DoNotOptimize(dest.dataPtr());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Matrix6InverseLUWithScratch);

void BM_TransformMultiply(benchmark::State& state) {
  PrQuaternion q1, q2;
  q1.fromEulerZXZ(0.3f, -1.1f, 2.0f);
  q2.fromEulerZYZ(-0.7f, 0.4f, 1.2f);
  const PrTransform a(q1, PrVector3(0.1f, 0.2f, 0.3f));
  const PrTransform b(q2, PrVector3(-0.5f, 0.0f, 0.8f));
  PrTransform dest;
  for (auto _ : state) {
    a.multiply(b, dest);
    benchmark::DoNotOptimize(&dest);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TransformMultiply);

void BM_QuaternionFromRotationMatrix(benchmark::State& state) {
  PrQuaternion q;
  q.fromEulerZXZ(0.3f, -1.1f, 2.0f);
  PrMatrix3 r;
  q.toRotationMatrix(r);
  PrQuaternion dest;
  for (auto _ : state) {
    benchmark::DoNotOptimize(r.dataPtr());
    dest.fromRotationMatrix(r);
    benchmark::DoNotOptimize(&dest);
  }
}
BENCHMARK(BM_QuaternionFromRotationMatrix);

}  // namespace

BENCHMARK_MAIN();
