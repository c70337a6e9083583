#include "ConsoleText.h"

#include <sstream>

std::vector<double> lastPrintedJointPositions(const std::string& text) {
  const size_t at = text.rfind("q = (");
  std::vector<double> q;
  if (at == std::string::npos) return q;
  std::istringstream values(text.substr(at + 5, text.find(')', at) - at - 5));
  for (double v; values >> v;) q.push_back(v);
  return q;
}
