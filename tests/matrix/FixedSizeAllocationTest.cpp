// The fixed-size types exist to keep the servo tick off the heap: every
// operation on them, value-returning forms included, must allocate nothing.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrMatrix3.h"
#include "matrix/PrMatrix6.h"
#include "matrix/PrQuaternion.h"
#include "matrix/PrTransform.h"
#include "matrix/PrVector.h"
#include "matrix/PrVector3.h"
#include "matrix/PrVector6.h"

TEST(FixedSizeAllocation, NoOperationAllocates) {
  ASSERT_TRUE(alloccount::counterIsHooked());
  // Generic operands, sized before counting starts.
  const PrMatrix generic3(3, 3);
  const PrVector generic6(6);
  volatile float sink = 0.0f;  // keeps the results observable

  alloccount::Scope counter;
  PrVector3 a(0.3f, -0.2f, 0.9f), b(1.0f, 0.5f, -0.4f), c;
  c = a + b - (-a) * 2.0f / 3.0f;
  c += a.cross(b);
  c -= b;
  a.cross(b, c);
  c.normalize();
  sink = sink + c.magnitude() + c.dot(a);
  PrMatrix3 m3 = a.crossMatrix(), n3, r3;
  a.outerProduct(b, n3);
  m3.multiply(n3, r3, true);
  r3 = m3 * n3 + n3 - m3 * 0.5f;
  r3 += generic3;
  m3.transposedMultiply(n3, r3);
  m3.transpose(r3);
  c = r3 * a;
  r3.transposedMultiply(a, c);
  r3.orientationError(m3, c);
  r3.fromAxisAngle(a, 0.4f);
  generic3.multiply(a, c);  // generic operation, fixed destination

  PrVector6 u(a, b), w(1, 2, 3, 4, 5, 6), x;
  x = u + w - (-u) * 2.0f;
  x += generic6;
  x.multiplyElements(w);
  x.first() = x.second();
  sink = sink + x.dot(w);
  PrMatrix6 m6(m3, n3, r3, m3), n6, r6;
  u.outerProduct(w, n6);
  m6.multiply(n6, r6);
  m6.multiply(n6, r6, true);
  m6.transposedMultiply(n6, r6);
  r6 = m6 * n6 + n6 - (-m6) * 0.5f;
  x = r6 * u;
  r6.transposedMultiply(u, x);
  r6.getSubmatrix(3, 0, r3);
  r6.setSubmatrix(0, 3, m3);
  r6.getRow(2, x);
  x = r6.getDiagonal();
  r6.setDiagonal(u);

  PrQuaternion q, p, s;
  q.fromAxisAngle(a, 0.7f);
  p.fromEulerZXZ(0.1f, 0.2f, 0.3f);
  s = q * p;
  s.multiply(q, s);
  s.normalize();
  s.toRotationMatrix(r3);
  s.fromRotationMatrix(r3);
  s.column(1, c);
  s.rotate(a, c);
  c = s.rotate(a);
  float e1, e2, e3, angle;
  s.toEulerZXZ(e1, e2, e3);
  s.toEulerZYZ(e1, e2, e3);
  p.fromEulerZYZ(e1, e2, e3);
  s.toAxisAngle(c, angle);
  s.fromTwoVectors(PrVector3(1, 0, 0), PrVector3(0, 0, 1));
  s.angularError(q, c);
  s.derivative(a, p);
  s = slerp(q, p, 0.3);
  sink = sink + angle + e1 + static_cast<float>(s.isEquivalent(q));

  PrTransform t1(q, a), t2(p, b), t3;
  t3 = t1 * t2;
  t1.multiply(t2, t3);
  t3 = t1.inverse();
  t1.inverse(t3);
  c = t1 * b;
  t1.error(t2, x);
  t1.transform(u, x);
  t1.inverseTransform(u, x);
  t1.transformSpatial(generic6, x);

  EXPECT_EQ(counter.allocations(), 0);
}
