// PrVector: a single-precision vector that only reallocates when it must grow.
//
// Results are written into caller-supplied destinations, which are resized
// through the virtual resize(), so a fixed-size or view destination must
// already have the result's shape. Temporaries hand their storage over with
// transfer() instead of copying. Preconditions are fatal assertions.
#pragma once

#include "utility/PrAssert.h"

class PrMatrix;
class PrVector3;
class PrMatrix3;

class PrVector {
 public:
  PrVector() = default;
  explicit PrVector(int size);            // zero-filled; "m_size >= 0"
  PrVector(const float* data, int size);  // copies data when non-null, else unset
  PrVector(const PrVector& rhs);          // capacity = rhs.size()
  PrVector(PrVector&& rhs) noexcept;      // steals dynamic storage, copies otherwise
  virtual ~PrVector();

  // --- storage -------------------------------------------------------------
  virtual bool isDynamic() const { return true; }
  // Sets the size; grows storage (uninitialised, no copy) only past the capacity.
  virtual void resize(int newSize);
  void setSize(int n, bool zero = false);
  // Takes src's storage when both sides are dynamic (src becomes empty);
  // otherwise copies and src keeps its content.
  void transfer(PrVector& src);

  int size() const { return m_size; }
  float* dataPtr() { return m_data; }
  const float* dataPtr() const { return m_data; }
  float& operator[](int ii) {
    PR_ASSERT(ii >= 0 && ii < m_size);
    return m_data[ii];
  }
  float operator[](int ii) const {
    PR_ASSERT(ii >= 0 && ii < m_size);
    return m_data[ii];
  }

  PrVector& operator=(const PrVector& rhs);
  PrVector& operator=(PrVector&& rhs);  // transfer() semantics

  void append(const PrVector& rhs);
  void setValues(const float* values, int count);  // copies min(count, size())
  void getValues(float* values, int count) const;
  void getSubvector(int start, PrVector& dest) const;
  void setSubvector(int start, const PrVector& src);
  void zero();

  // Values compared element-wise (NaN differs from itself).
  bool operator==(const PrVector& rhs) const;
  bool operator!=(const PrVector& rhs) const { return !(*this == rhs); }

  // --- arithmetic into destinations -----------------------------------------
  void negate(PrVector& dest) const;
  void add(const PrVector& rhs, PrVector& dest) const;
  void subtract(const PrVector& rhs, PrVector& dest) const;
  void multiplyElements(const PrVector& rhs, PrVector& dest) const;
  void multiplyElements(const PrVector& rhs);
  void multiply(float s, PrVector& dest) const;
  PrVector& operator+=(const PrVector& rhs);
  PrVector& operator-=(const PrVector& rhs);
  PrVector& operator*=(float s);

  // Value-returning forms: a temporary of the right size.
  PrVector operator+(const PrVector& rhs) const;
  PrVector operator-(const PrVector& rhs) const;
  PrVector operator-() const;
  PrVector operator*(float s) const;
  // Row vector times matrix: Mᵀ·v, size M.column().
  PrVector operator*(const PrMatrix& m) const;

  void outerProduct(const PrVector& rhs, PrMatrix& dest) const;
  PrMatrix outerProduct(const PrVector& rhs) const;
  float dot(const PrVector& rhs) const;
  float magnitudeSquared() const;
  PrVector3 cross(const PrVector& rhs) const;
  void cross(const PrVector& rhs, PrVector& dest) const;
  PrMatrix3 crossMatrix() const;
  void crossMatrix(PrMatrix& dest) const;

  bool isFinite() const;
  // "%s = (a b c)\n" with a name, "(a b c)" without; through consolePrint.
  void display(const char* name = nullptr) const;

 protected:
  // For fixed-size types and views: storage supplied by the derived class.
  PrVector(int size, float* storage) : m_size(size), m_capacity(size), m_data(storage) {
    PR_ASSERT(m_size == 0 || m_data != 0);
  }
  void copyFrom(const PrVector& rhs);

  int m_size = 0;
  int m_capacity = 0;
  float* m_data = nullptr;
};

inline PrVector operator*(float s, const PrVector& v) { return v * s; }

// A vector laid over storage that belongs to somebody else; never resizes.
class PrVectorSlice : public PrVector {
 public:
  PrVectorSlice(int size, float* data);
  // A copy views the same foreign storage (it never allocates a private copy).
  PrVectorSlice(const PrVectorSlice& rhs);
  ~PrVectorSlice() override;
  PrVectorSlice& operator=(const PrVector& rhs) {
    PrVector::operator=(rhs);
    return *this;
  }
  PrVectorSlice& operator=(const PrVectorSlice& rhs) {
    PrVector::operator=(rhs);
    return *this;
  }
  bool isDynamic() const override { return false; }
  void resize(int newSize) override;  // only "newSize == m_size"
};
