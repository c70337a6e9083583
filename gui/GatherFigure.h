// A figure of a gather file: the chosen columns against time, one chart per
// quantity, stacked, drawn with Qt Charts so that it needs no display (the
// offscreen platform serves). korvex-plot writes it as PNG, SVG or PDF.
#pragma once

#include <QGraphicsScene>
#include <QSize>
#include <QString>
#include <string>
#include <vector>

#include "utility/GatherColumns.h"
#include "utility/GatherTable.h"

class GatherFigure {
 public:
  static constexpr int kWidth = 1000;       // px
  static constexpr int kChartHeight = 260;  // px per quantity

  // labels: the legend's name of each column of `table` (gatherColumnLabels).
  GatherFigure(const GatherTable& table, const GatherSelection& selection,
               const std::vector<std::string>& labels);

  QSize size() const { return m_size; }

  // Writes the figure to `path` in the format its extension names (.png,
  // .svg or .pdf); the file appears only once complete. False, with `error`
  // one line, when the format is unknown or the file cannot be written.
  bool write(const QString& path, QString& error);

 private:
  QGraphicsScene m_scene;
  QSize m_size;
};

class QValueAxis;

// Ticks at round steps over [low, high] (high > low), as a time axis wants.
void setNiceTicks(QValueAxis* axis, double low, double high);

// The y-axis title of a quantity: its name and unit.
QString quantityTitle(const std::string& quantity);
