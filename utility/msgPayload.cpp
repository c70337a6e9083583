#include "utility/msgPayload.h"

#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

void writeVector(CMsg& msg, const PrVector& v) { msg.writeFloats(v.dataPtr(), v.size()); }

void readVector(AMsg& msg, PrVector& v) { msg.readFloats(v.dataPtr(), v.size()); }

void writeMatrix(CMsg& msg, const PrMatrix& m) { msg.writeFloats(m.dataPtr(), m.row() * m.column()); }

void readMatrix(AMsg& msg, PrMatrix& m) { msg.readFloats(m.dataPtr(), m.row() * m.column()); }

void writeGatherRow(CMsg& msg, float time, const PrVector* const* vectors) {
  int n = 1;
  for (const PrVector* const* v = vectors; *v != nullptr; ++v) n += (*v)->size();
  msg.clear();
  msg.setType(SERVO_GATHER_DATA);
  msg.writeInt(n);
  msg.writeFloat(time);
  for (const PrVector* const* v = vectors; *v != nullptr; ++v) writeVector(msg, **v);
}
