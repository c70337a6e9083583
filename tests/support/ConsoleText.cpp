#include "ConsoleText.h"

#include <cctype>
#include <sstream>

std::vector<double> lastPrintedVector(const std::string& text, const std::string& name) {
  const std::string head = name + " = (";
  // "dq = (" is not "q = (".
  size_t at = text.rfind(head);
  while (at != std::string::npos && at > 0 && std::isalnum(static_cast<unsigned char>(text[at - 1])))
    at = at == 0 ? std::string::npos : text.rfind(head, at - 1);
  std::vector<double> values;
  if (at == std::string::npos) return values;
  const size_t start = at + head.size();
  std::istringstream numbers(text.substr(start, text.find(')', at) - start));
  for (double v; numbers >> v;) values.push_back(v);
  return values;
}

std::vector<double> lastPrintedJointPositions(const std::string& text) {
  return lastPrintedVector(text, "q");
}
