#include "GradeOptions.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

const char* const kGradeUsage =
    "Usage: korvex-grade [--plugin PATH]... [--json FILE] [--jobs N] [--time-limit SECONDS]\n"
    "                    [--scenario NAME]... [--list]\n"
    "Grades control plug-ins (default ./control.dll) in the scenarios of every control mode;\n"
    "each scenario runs in a process of its own. Run it in the simulator's run directory.\n"
    "  --plugin PATH         a plug-in to grade; several are graded side by side\n"
    "  --json FILE           also write the results as JSON\n"
    "  --jobs N              scenarios run at once (default: the number of processors)\n"
    "  --time-limit SECONDS  wall time a scenario may take (default 30)\n"
    "  --scenario NAME       grade only this scenario (repeatable)\n"
    "  --list                print the scenarios and their bounds\n"
    "Exit status: 0 every plug-in passes everything, 1 a scenario failed, 2 bad usage.\n";

namespace {

bool parseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0';
}

}  // namespace

bool parseGradeOptions(int argc, const char* const* argv, GradeOptions& options, std::string& error) {
  const long processors = sysconf(_SC_NPROCESSORS_ONLN);
  options.jobs = processors > 0 ? int(processors) : 1;
  for (int i = 0; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--list") {
      options.list = true;
      continue;
    }
    const bool takesValue = option == "--plugin" || option == "--json" || option == "--jobs" ||
                            option == "--time-limit" || option == "--scenario";
    if (!takesValue) {
      error = "unknown option '" + option + "'";
      return false;
    }
    if (i + 1 >= argc) {
      error = option + " needs a value";
      return false;
    }
    const char* value = argv[++i];
    double number = 0;
    if (option == "--plugin") {
      // dlopen looks for a bare file name on the library path, not here.
      options.plugins.push_back(std::strchr(value, '/') ? value : std::string("./") + value);
    } else if (option == "--json") {
      options.jsonPath = value;
    } else if (option == "--scenario") {
      options.scenarios.push_back(value);
    } else if (!parseNumber(value, number) || number <= 0 ||
               (option == "--jobs" && (number != int(number) || number > 256))) {
      error = option + " needs a positive " + (option == "--jobs" ? "whole number" : "number") + ", not '" +
              value + "'";
      return false;
    } else if (option == "--jobs") {
      options.jobs = int(number);
    } else {
      options.timeLimit = number;
    }
  }
  if (options.plugins.empty()) options.plugins.push_back("./control.dll");
  return true;
}
