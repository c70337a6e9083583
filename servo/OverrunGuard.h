// OverrunGuard: tolerates one late servo tick, not two in a row.
#pragma once

class OverrunGuard {
 public:
  // Feeds the driver's step result n (0 not yet due, 1 due, k >= 2 due with
  // k - 1 ticks missed). Returns true when this is the second late tick in a
  // row, i.e. the session must end.
  bool onStep(int n) {
    if (n < 2) {
      m_late = false;
      return false;
    }
    const bool secondInARow = m_late;
    m_late = true;
    return secondInARow;
  }
  bool late() const { return m_late; }
  void reset() { m_late = false; }

 private:
  bool m_late = false;
};
