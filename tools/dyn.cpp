// korvex-dyn: evaluates the simulated arm's dynamics engine on numbers read
// from standard input, one case per line, for checking hand calculations.
//
//   korvex-dyn [--prm FILE] [--no-friction] fd|id|mass|gravity
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "libpuma/CSimPuma.h"
#include "matrix/PrMatrix.h"
#include "matrix/PrVector.h"

namespace {

constexpr int kDof = CSimPuma::DOF;

void printUsage(std::FILE* out) {
  std::fprintf(out,
               "Usage: korvex-dyn [--prm FILE] [--no-friction] COMMAND < input\n"
               "Reads one case per line from standard input (radians, seconds, N·m) and prints one result\n"
               "line per case. Blank lines and lines starting with '#' are skipped.\n"
               "  fd       q[6] dq[6] tau[6]  ->  the 6 joint accelerations\n"
               "  id       q[6] dq[6] ddq[6]  ->  the 6 joint torques\n"
               "  mass     q[6]               ->  the 36 elements of the mass matrix, row by row\n"
               "  gravity  q[6]               ->  the 6 torques that hold the arm against gravity\n"
               "  --prm FILE     robot description (default: puma560.prm)\n"
               "  --no-friction  evaluate without joint friction\n");
}

// Splits a line into floats; false (with a reason) on anything else.
bool parseNumbers(const char* line, std::vector<float>& out, std::string& why) {
  out.clear();
  const char* p = line;
  while (true) {
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == ',') ++p;
    if (*p == '\0') return true;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(p, &end);
    if (end == p) {
      why = std::string("not a number: '") + std::string(p, std::strcspn(p, " \t\r\n,")) + "'";
      return false;
    }
    if (!std::isfinite(value) || errno == ERANGE || std::fabs(value) > 3.0e38) {
      why = std::string("not a finite single-precision number: '") + std::string(p, end - p) + "'";
      return false;
    }
    out.push_back(static_cast<float>(value));
    p = end;
  }
}

void printRow(const float* values, int count) {
  for (int i = 0; i < count; ++i) std::printf(i == 0 ? "%.9g" : " %.9g", values[i]);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = CSimPuma::kDefaultDescription;
  bool friction = true;
  const char* command = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      printUsage(stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--prm") == 0 && i + 1 < argc) {
      path = argv[++i];
    } else if (std::strcmp(argv[i], "--no-friction") == 0) {
      friction = false;
    } else if (command == nullptr && argv[i][0] != '-') {
      command = argv[i];
    } else {
      std::fprintf(stderr, "korvex-dyn: unexpected argument '%s'\n", argv[i]);
      printUsage(stderr);
      return 2;
    }
  }
  int inputs = 0;
  if (command != nullptr) {
    if (std::strcmp(command, "fd") == 0 || std::strcmp(command, "id") == 0) inputs = 3 * kDof;
    if (std::strcmp(command, "mass") == 0 || std::strcmp(command, "gravity") == 0) inputs = kDof;
  }
  if (inputs == 0) {
    std::fprintf(stderr, "korvex-dyn: expected one command: fd, id, mass or gravity\n");
    printUsage(stderr);
    return 2;
  }

  auto arm = CSimPuma::create(500.0f, path);
  if (!arm) return 1;  // the reader has printed why
  arm->setFriction(friction);

  PrVector q(kDof), dq(kDof), third(kDof), result;
  PrMatrix M;
  std::vector<float> numbers;
  std::string why;
  char buffer[4096];
  int lineNumber = 0;
  int bad = 0;
  while (std::fgets(buffer, sizeof buffer, stdin) != nullptr) {
    ++lineNumber;
    if (std::strchr(buffer, '\n') == nullptr && !std::feof(stdin)) {
      std::fprintf(stderr, "korvex-dyn: line %d: longer than %zu characters; skipped\n", lineNumber,
                   sizeof buffer - 1);
      int c;
      while ((c = std::fgetc(stdin)) != EOF && c != '\n') {
      }
      ++bad;
      continue;
    }
    const char* first = buffer + std::strspn(buffer, " \t\r\n");
    if (*first == '\0' || *first == '#') continue;
    if (!parseNumbers(buffer, numbers, why)) {
      std::fprintf(stderr, "korvex-dyn: line %d: %s; skipped\n", lineNumber, why.c_str());
      ++bad;
      continue;
    }
    if (static_cast<int>(numbers.size()) != inputs) {
      std::fprintf(stderr, "korvex-dyn: line %d: expected %d numbers for %s, got %zu; skipped\n", lineNumber,
                   inputs, command, numbers.size());
      ++bad;
      continue;
    }
    q.setValues(numbers.data(), kDof);
    dq.zero();
    if (inputs == 3 * kDof) {
      dq.setValues(numbers.data() + kDof, kDof);
      third.setValues(numbers.data() + 2 * kDof, kDof);
    }
    arm->setState(q, dq);
    if (std::strcmp(command, "fd") == 0) {
      arm->forwardDynamics(result, third);
      printRow(result.dataPtr(), kDof);
    } else if (std::strcmp(command, "id") == 0) {
      arm->inverseDynamics(result, third);
      printRow(result.dataPtr(), kDof);
    } else if (std::strcmp(command, "mass") == 0) {
      arm->computeMassMatrix(M);
      printRow(M.dataPtr(), kDof * kDof);
    } else {
      arm->computeGravity(result);
      printRow(result.dataPtr(), kDof);
    }
  }
  return bad == 0 ? 0 : 1;
}
