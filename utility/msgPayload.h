// Message items for the numeric types, and the gather row.
//
// Vectors and matrices travel as bare floats without a count: the receiver
// knows the shape from its own state, so it sizes the destination first.
// Matrices are row-major.
#pragma once

#include "utility/unitMsg.h"

class PrVector;
class PrMatrix;

void writeVector(CMsg& msg, const PrVector& v);
void readVector(AMsg& msg, PrVector& v);  // reads v.size() floats
void writeMatrix(CMsg& msg, const PrMatrix& m);
void readMatrix(AMsg& msg, PrMatrix& m);  // reads m.row() * m.column() floats

// Builds a SERVO_GATHER_DATA message in msg (cleared first): n = 1 + the sum
// of the vectors' sizes, the time (s), then every element of each vector of
// the null-terminated list in order.
void writeGatherRow(CMsg& msg, float time, const PrVector* const* vectors);
