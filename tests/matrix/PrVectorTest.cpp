#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "PrMatrixTestSupport.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

using prtest::assertionText;

namespace {

// Exposes the capacity so that the storage rules can be observed directly.
class ProbeVector : public PrVector {
 public:
  using PrVector::PrVector;
  int capacity() const { return m_capacity; }
};

}  // namespace

TEST(PrVectorStorage, ShrinkKeepsStorageAndLeadingElementsGrowPastCapacityReplacesIt) {
  const float values[] = {1, 2, 3, 4, 5};
  ProbeVector v(values, 5);
  EXPECT_EQ(v.capacity(), 5);
  const float* storage = v.dataPtr();

  v.resize(2);
  EXPECT_EQ(v.size(), 2);
  EXPECT_EQ(v.capacity(), 5);
  EXPECT_EQ(v.dataPtr(), storage);
  EXPECT_EQ(v[0], 1.0f);
  EXPECT_EQ(v[1], 2.0f);

  v.resize(5);  // back within the capacity: same storage, old contents still there
  EXPECT_EQ(v.dataPtr(), storage);
  EXPECT_EQ(v[4], 5.0f);

  v.setSize(8, true);
  EXPECT_EQ(v.capacity(), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(v[i], 0.0f);

  ProbeVector copy(v);
  EXPECT_EQ(copy.capacity(), 8);
  EXPECT_NE(copy.dataPtr(), v.dataPtr());
}

TEST(PrVectorStorage, ConstructorsZeroFillOrCopy) {
  PrVector zeros(4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(zeros[i], 0.0f);
  const float values[] = {1.5f, -2.5f};
  PrVector copied(values, 2);
  EXPECT_EQ(copied[0], 1.5f);
  EXPECT_EQ(copied[1], -2.5f);
  PrVector empty;
  EXPECT_EQ(empty.size(), 0);
  EXPECT_EQ(empty.dataPtr(), nullptr);
}

TEST(PrVectorStorage, TransferBetweenDynamicVectorsMovesTheStorage) {
  PrVector dest(7);
  PrVector src = prtest::randomVector(3, 1);
  const PrVector expected(src);
  const float* storage = src.dataPtr();

  dest.transfer(src);
  EXPECT_EQ(dest.dataPtr(), storage);
  EXPECT_EQ(dest, expected);
  EXPECT_EQ(src.size(), 0);
  EXPECT_EQ(src.dataPtr(), nullptr);

  dest.transfer(dest);  // taking its own storage must not free it
  EXPECT_EQ(dest, expected);
}

TEST(PrVectorStorage, TransferWithASliceOnEitherSideCopies) {
  float foreign[3] = {7, 8, 9};
  PrVectorSlice slice(3, foreign);
  PrVector dynamic = prtest::randomVector(3, 2);
  const PrVector original(dynamic);

  slice.transfer(dynamic);  // into a view: copy, source intact
  EXPECT_EQ(dynamic, original);
  EXPECT_EQ(foreign[0], original[0]);
  EXPECT_EQ(slice.dataPtr(), foreign);

  foreign[1] = 42.0f;
  PrVector taker;
  taker.transfer(slice);  // out of a view: copy, view intact
  EXPECT_EQ(taker[1], 42.0f);
  EXPECT_NE(taker.dataPtr(), foreign);
  EXPECT_EQ(slice.size(), 3);
  EXPECT_EQ(slice.dataPtr(), foreign);
}

TEST(PrVectorStorage, MoveStealsDynamicStorageAndCopiesAView) {
  PrVector src = prtest::randomVector(4, 3);
  const float* storage = src.dataPtr();
  PrVector moved(std::move(src));
  EXPECT_EQ(moved.dataPtr(), storage);

  float foreign[2] = {1, 2};
  PrVectorSlice slice(2, foreign);
  PrVector fromView(std::move(slice));
  EXPECT_NE(fromView.dataPtr(), foreign);
  EXPECT_EQ(slice.dataPtr(), foreign);
  EXPECT_EQ(fromView[1], 2.0f);
}

TEST(PrVectorStorage, AppendAndSubvectors) {
  const float a[] = {1, 2};
  const float b[] = {3, 4, 5};
  PrVector v(a, 2);
  v.append(PrVector(b, 3));
  const float joined[] = {1, 2, 3, 4, 5};
  EXPECT_EQ(v, PrVector(joined, 5));

  PrVector middle(3);
  v.getSubvector(1, middle);
  const float expectedMiddle[] = {2, 3, 4};
  EXPECT_EQ(middle, PrVector(expectedMiddle, 3));

  v.setSubvector(3, PrVector(a, 2));
  const float patched[] = {1, 2, 3, 1, 2};
  EXPECT_EQ(v, PrVector(patched, 5));

  float out[8] = {};
  v.getValues(out, 8);  // copies only size() elements
  EXPECT_EQ(out[4], 2.0f);
  EXPECT_EQ(out[5], 0.0f);
}

TEST(PrVectorStorage, SliceWritesThroughAndItsCopyViewsTheSameStorage) {
  float foreign[4] = {0, 0, 0, 0};
  {
    PrVectorSlice slice(2, foreign + 1);
    slice[0] = 5.0f;
    PrVectorSlice alias(slice);
    alias[1] = 6.0f;
    EXPECT_EQ(alias.dataPtr(), foreign + 1);
    EXPECT_FALSE(alias.isDynamic());
  }  // the slices' destructors must leave the array alone (ASan would report a bad free)
  EXPECT_EQ(foreign[1], 5.0f);
  EXPECT_EQ(foreign[2], 6.0f);
}

TEST(PrVectorDeathTest, PreconditionsQuoteTheirCondition) {
  float foreign[3] = {};
  PrVectorSlice slice(3, foreign);
  EXPECT_DEATH(slice.resize(4), assertionText("newSize == m_size"));
  EXPECT_DEATH(slice.setSize(2), assertionText("newSize == m_size"));
  EXPECT_DEATH(PrVectorSlice(2, nullptr), assertionText("m_size == 0 || m_data != 0"));
  EXPECT_DEATH(PrVector(-1), assertionText("m_size >= 0"));

  PrVector v(3), w(2);
  EXPECT_DEATH(v.resize(-2), assertionText("newSize >= 0"));
  EXPECT_DEATH(v[3], assertionText("ii >= 0 && ii < m_size"));
  EXPECT_DEATH(v.add(w, v), assertionText("rhs.m_size == m_size"));
  EXPECT_DEATH(v.dot(w), assertionText("rhs.m_size == m_size"));
  PrVector big(3);
  EXPECT_DEATH(w.getSubvector(0, big), assertionText("start >= 0 && start + dest.m_size <= m_size"));
  EXPECT_DEATH(w.setSubvector(-1, w), assertionText("start >= 0 && start + src.m_size <= m_size"));

  PrVector a = prtest::randomVector(3, 4), b = prtest::randomVector(3, 5);
  EXPECT_DEATH(a.cross(b, a), assertionText("&dest != &rhs && &dest != this"));
  EXPECT_DEATH(a.cross(b, b), assertionText("&dest != &rhs && &dest != this"));
  EXPECT_DEATH(w.cross(b, a), assertionText("m_size == 3"));
  EXPECT_DEATH(a.cross(w, b), assertionText("rhs.m_size == 3"));
}

TEST(PrVectorValues, EqualityComparesValues) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float withNan[] = {1, nan};
  PrVector a(withNan, 2), b(withNan, 2);
  EXPECT_TRUE(a == a);   // the same object
  EXPECT_FALSE(a == b);  // NaN never equals NaN by value
  const float zeros[] = {0.0f, -0.0f};
  const float otherZeros[] = {-0.0f, 0.0f};
  EXPECT_EQ(PrVector(zeros, 2), PrVector(otherZeros, 2));
  EXPECT_NE(PrVector(zeros, 2), PrVector(zeros, 1));
  EXPECT_FALSE(a.isFinite());
  EXPECT_TRUE(PrVector(zeros, 2).isFinite());
}

TEST(PrVectorArithmetic, ElementWiseOperationsAgreeWithPerElementResults) {
  const PrVector a = prtest::randomVector(5, 10), b = prtest::randomVector(5, 11);
  const PrVector sum = a + b, difference = a - b, negated = -a, scaled = 2.5f * a;
  PrVector product(5);
  a.multiplyElements(b, product);
  PrVector accumulated(a);
  accumulated += b;
  accumulated -= a;
  accumulated *= 3.0f;
  float dot = 0.0f;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(sum[i], a[i] + b[i]);
    EXPECT_EQ(difference[i], a[i] - b[i]);
    EXPECT_EQ(negated[i], -a[i]);
    EXPECT_EQ(scaled[i], a[i] * 2.5f);
    EXPECT_EQ(product[i], a[i] * b[i]);
    EXPECT_FLOAT_EQ(accumulated[i], 3.0f * b[i]);
    dot += a[i] * b[i];
  }
  EXPECT_FLOAT_EQ(a.dot(b), dot);
  EXPECT_FLOAT_EQ(a.magnitudeSquared(), a.dot(a));
}

TEST(PrVectorArithmetic, CrossProductIsOrthogonalAndMatchesItsMatrix) {
  const PrVector a = prtest::randomVector(3, 20), b = prtest::randomVector(3, 21);
  PrVector c(3);
  a.cross(b, c);
  EXPECT_NEAR(c.dot(a), 0.0f, 1e-6f);
  EXPECT_NEAR(c.dot(b), 0.0f, 1e-6f);
  // |a×b|² = |a|²|b|² − (a·b)²
  EXPECT_NEAR(c.magnitudeSquared(), a.magnitudeSquared() * b.magnitudeSquared() - a.dot(b) * a.dot(b), 1e-5f);

  PrMatrix skew;
  a.crossMatrix(skew);
  EXPECT_EQ(skew.row(), 3);
  PrVector viaMatrix(3);
  skew.multiply(b, viaMatrix);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(viaMatrix[i], c[i], 1e-6f);
  PrMatrix skewT;
  skew.transpose(skewT);
  prtest::expectNear(skewT, -skew, 0.0f);  // skew-symmetric (by value: the zeros differ in sign)

  const float ex[] = {1, 0, 0}, ey[] = {0, 1, 0}, ez[] = {0, 0, 1};
  PrVector z(3);
  PrVector(ex, 3).cross(PrVector(ey, 3), z);
  EXPECT_EQ(z, PrVector(ez, 3));
}

TEST(PrVectorArithmetic, RowVectorTimesMatrixAndOuterProduct) {
  const PrMatrix m = prtest::randomMatrix(3, 4, 30);
  const PrVector v = prtest::randomVector(3, 31);
  const PrVector row = v * m;
  ASSERT_EQ(row.size(), 4);
  for (int j = 0; j < 4; ++j) {
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) sum += static_cast<double>(m(k, j)) * v[k];
    EXPECT_NEAR(row[j], sum, 1e-6);
  }

  const PrVector w = prtest::randomVector(4, 32);
  const PrMatrix outer = v.outerProduct(w);
  ASSERT_EQ(outer.row(), 3);
  ASSERT_EQ(outer.column(), 4);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 4; ++j) EXPECT_EQ(outer(i, j), v[i] * w[j]);
  }
}

TEST(PrVectorDisplay, NamedAndUnnamedFormats) {
  const float values[] = {1.0f, -2.5f, 0.125f};
  const PrVector v(values, 3);
  {
    prtest::ConsoleCapture capture;
    v.display("q");
    EXPECT_EQ(capture.text(), "q = (1.000000 -2.500000 0.125000)\n");
  }
  {
    prtest::ConsoleCapture capture;
    v.display();
    EXPECT_EQ(capture.text(), "(1.000000 -2.500000 0.125000)");
  }
  {
    prtest::ConsoleCapture capture;
    PrVector().display("empty");
    EXPECT_EQ(capture.text(), "empty = ()\n");
  }
}
