// Reading what the console printed, for tests of the whole program.
#pragma once

#include <string>
#include <vector>

// The values of the last "NAME = (a b c ...)" printed in text, as the
// console's queries print them (pjpos: "q", pxpos: "x"); empty when there is
// none.
std::vector<double> lastPrintedVector(const std::string& text, const std::string& name);

// The values of the last "q = (a b c d e f)" that pjpos printed in text;
// empty when there is none.
std::vector<double> lastPrintedJointPositions(const std::string& text);
