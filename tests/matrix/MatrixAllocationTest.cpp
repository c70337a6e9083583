// Proves that the destination-style operations allocate nothing once their
// destinations and work objects are sized, as the servo tick requires.
#include <gtest/gtest.h>

#include <utility>

#include "AllocationCounter.h"
#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

using AllocationCounter = alloccount::Scope;

TEST(MatrixAllocation, CounterSeesAllocations) {
  ASSERT_TRUE(alloccount::counterIsHooked());
  AllocationCounter counter;
  PrVector grown;
  grown.resize(10);
  PrMatrix inverse;
  prtest::diagonallyDominant(3, 1).inverse(inverse);  // local LU storage, matrix, result
  EXPECT_GE(counter.allocations(), 3);
}

TEST(MatrixAllocation, DestinationStyleOperationsAllocateNothingOnceSized) {
  const int n = 6;
  const PrMatrix a = prtest::diagonallyDominant(n, 1);
  const PrMatrix spd = prtest::symmetricPositiveDefinite(n, 2);
  const PrMatrix b = prtest::randomMatrix(n, n, 3);
  const PrVector x = prtest::randomVector(n, 4);
  const PrVector y = prtest::randomVector(n, 5);

  PrMatrix product, sum, atb, transposed, inverse, inverseSpd, lu, factors, skew, outer, block(2, 3);
  PrMatrix inPlace(a), pre(a);
  PrVector ax, atx, vsum, scaled, solution, row, column, work, crossed(3), vcopy;
  const auto tick = [&] {
    a.multiply(b, product);
    a.multiply(b, product, true);
    a.add(b, sum);
    sum -= b;
    sum *= 0.5f;
    a.transposedMultiply(b, atb);
    a.transpose(transposed);
    a.multiply(x, ax);
    a.transposedMultiply(x, atx);
    inPlace.multiplyInPlace(b, false, &work);
    inPlace.multiplyInPlace(b, true, &work);
    pre.preMultiply(b, &work);
    a.inverse(inverse, lu);
    spd.inverseSPD(inverseSpd, lu);
    a.luDecomp(factors);
    factors.luSubst(y, solution);
    spd.choleskyDecomp(factors);
    factors.choleskySubst(y, solution);
    a.getRow(2, row);
    a.getColumn(3, column);
    a.getSubmatrix(1, 1, block);
    x.add(y, vsum);
    vsum -= x;
    x.multiply(2.0f, scaled);
    scaled.multiplyElements(y);
    x.outerProduct(y, outer);
    vcopy = x;
    PrVectorSlice head(3, vcopy.dataPtr());
    PrVectorSlice tail(3, vcopy.dataPtr() + 3);
    head.cross(tail, crossed);
    head.crossMatrix(skew);
  };
  tick();  // sizes every destination and work object

  AllocationCounter counter;
  for (int i = 0; i < 10; ++i) tick();
  EXPECT_EQ(counter.allocations(), 0);
}

TEST(MatrixAllocation, TransferAndShrinkingAllocateNothing) {
  PrMatrix big(8, 8), other(2, 2);
  PrVector v(10), w(4);
  AllocationCounter counter;
  big.resize(3, 3);
  big.resize(8, 8);
  v.setSize(2, true);
  other.transfer(big);
  w.transfer(v);
  PrMatrix moved(std::move(other));
  EXPECT_EQ(counter.allocations(), 0);
}
