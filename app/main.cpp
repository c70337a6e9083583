// korvex: the simulator's entry point.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Configuration.h"

namespace {
constexpr const char kVersion[] = "0.1.0";

void printUsage(std::FILE* out) {
  std::fprintf(out,
               "Usage: korvex [--help] [--version]\n"
               "Runs the KORVEX robot-arm simulator in the current directory, which must hold\n"
               "Configuration.dat, puma560.prm and control.dll.\n");
}
}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      printUsage(stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("korvex %s\n", kVersion);
      return 0;
    }
    std::fprintf(stderr, "korvex: unknown option '%s'\n", argv[i]);
    printUsage(stderr);
    return 2;
  }
  if (!readConfiguration()) return EXIT_FAILURE;
  std::printf("korvex %s: configuration read (caption refresh %d ms, graphic refresh %d ms).\n", kVersion,
              refreshRateCaption, refreshRateGraphic);
  std::printf("The servo, console and window are not built yet.\nExiting.\n");
  return 0;
}
