// Configuration.dat is edited by hand: any bytes must parse without harm.
#include <cstdint>
#include <cstdio>

#include "app/Configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (file == nullptr) return 0;
  Configuration config = parseConfiguration(file);
  std::fclose(file);
  // A host name that was read is bounded by the line it came from.
  if (config.servHostAddr && config.servHostAddr->size() > size) __builtin_trap();
  return 0;
}
