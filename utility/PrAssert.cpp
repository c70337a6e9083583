#include "utility/PrAssert.h"

#include <cstdio>
#include <cstdlib>

void prAssertFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "Assertion failed: \"%s\" at %s:%d\n", condition, file, line);
  std::fflush(stderr);
  std::abort();
}
