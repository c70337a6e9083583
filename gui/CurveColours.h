// Colours for the curves of a chart, distinct for up to seven curves (a
// quantity's joints or parameters), so that q1 and q6 never share one.
#pragma once

#include <QColor>

inline QColor curveColour(int k) {
  static const QColor kColours[] = {QColor(31, 119, 180), QColor(255, 127, 14),  QColor(44, 160, 44),
                                    QColor(214, 39, 40),  QColor(148, 103, 189), QColor(140, 86, 75),
                                    QColor(227, 119, 194)};
  constexpr int n = sizeof kColours / sizeof kColours[0];
  return kColours[((k % n) + n) % n];
}
