#include "gui/GatherFigure.h"

#include <QChart>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "gui/CurveColours.h"
#include "gui/MinMaxEnvelope.h"

QString quantityTitle(const std::string& quantity) {
  if (quantity == "q" || quantity == "qd") return QString::fromStdString(quantity) + " (rad)";
  if (quantity == "dq") return "dq (rad/s)";
  if (quantity == "tau") return "tau (N·m)";
  return QString::fromStdString(quantity);
}

namespace {}  // namespace

void setNiceTicks(QValueAxis* axis, double low, double high) {
  // Ticks at round multiples (1, 2 or 5 times a power of ten), about eight
  // of them, over the exact range of the data.
  const double raw = (high - low) / 8;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double step = raw / power < 2 ? power : raw / power < 5 ? 2 * power : 5 * power;
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  axis->setTickInterval(step);
  axis->setLabelFormat(step >= 1 ? "%.0f" : step >= 0.1 ? "%.1f" : "%.2f");
}

namespace {

QChart* chartOf(const GatherTable& table, const GatherSelection::Group& group,
                const std::vector<std::string>& labels) {
  auto* chart = new QChart;
  // A legend above keeps the plot areas of the stacked charts aligned.
  chart->legend()->setAlignment(Qt::AlignTop);
  chart->setMargins(QMargins(4, 0, 8, 0));
  auto* timeAxis = new QValueAxis;
  timeAxis->setTitleText("time (s)");
  auto* valueAxis = new QValueAxis;
  valueAxis->setTitleText(quantityTitle(group.quantity));
  chart->addAxis(timeAxis, Qt::AlignBottom);
  chart->addAxis(valueAxis, Qt::AlignLeft);

  double tMin = INFINITY, tMax = -INFINITY, yMin = INFINITY, yMax = -INFINITY;
  const int rows = table.rows();
  for (int column : group.columns) {
    QList<QPointF> points;
    // Two points per pixel column keep each tick's extreme.
    appendMinMaxEnvelope(
        rows, GatherFigure::kWidth, [&](int r) { return QPointF(table.at(r, 0), table.at(r, column)); },
        points);
    for (const QPointF& p : points) {
      tMin = std::min(tMin, p.x());
      tMax = std::max(tMax, p.x());
      yMin = std::min(yMin, p.y());
      yMax = std::max(yMax, p.y());
    }
    auto* series = new QLineSeries;
    series->setName(QString::fromStdString(labels[column]));
    series->setPen(QPen(curveColour(static_cast<int>(chart->series().size())), 1.5));
    series->replace(points);
    chart->addSeries(series);
    series->attachAxis(timeAxis);
    series->attachAxis(valueAxis);
  }
  if (!(tMin < tMax)) {
    tMin = std::isfinite(tMin) ? tMin - 1 : 0;
    tMax = tMin + 2;
  }
  if (!(yMin < yMax)) {
    yMin = std::isfinite(yMin) ? yMin - 1 : -1;
    yMax = yMin + 2;
  }
  timeAxis->setRange(tMin, tMax);
  setNiceTicks(timeAxis, tMin, tMax);
  valueAxis->setRange(yMin, yMax);
  valueAxis->applyNiceNumbers();
  return chart;
}

}  // namespace

GatherFigure::GatherFigure(const GatherTable& table, const GatherSelection& selection,
                           const std::vector<std::string>& labels)
    : m_size(kWidth, kChartHeight * static_cast<int>(std::max<size_t>(selection.groups.size(), 1))) {
  int y = 0;
  for (const auto& group : selection.groups) {
    QChart* chart = chartOf(table, group, labels);
    m_scene.addItem(chart);
    chart->setGeometry(0, y, kWidth, kChartHeight);
    y += kChartHeight;
  }
  m_scene.setSceneRect(0, 0, m_size.width(), m_size.height());
  // The charts lay themselves out from posted events.
  QCoreApplication::processEvents();
}

bool GatherFigure::write(const QString& path, QString& error) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != "png" && suffix != "svg" && suffix != "pdf") {
    error = "cannot tell the format of " + path + ": name a .png, .svg or .pdf file";
    return false;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = "cannot write " + path + ": " + file.errorString();
    return false;
  }
  const QRectF area(QPointF(0, 0), QSizeF(m_size));
  bool drawn = true;
  if (suffix == "png") {
    QImage image(m_size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    m_scene.render(&painter, area, area);
    painter.end();
    drawn = image.save(&file, "PNG");
  } else if (suffix == "svg") {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(m_size);
    svg.setViewBox(area);
    svg.setTitle("korvex-plot");
    QPainter painter;
    drawn = painter.begin(&svg);
    if (drawn) {
      m_scene.render(&painter, area, area);
      painter.end();
    }
  } else {
    QPdfWriter pdf(&file);
    pdf.setResolution(96);
    pdf.setPageSize(
        QPageSize(QSizeF(m_size.width() * 72.0 / 96, m_size.height() * 72.0 / 96), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    drawn = painter.begin(&pdf);
    if (drawn) {
      m_scene.render(&painter, QRectF(0, 0, pdf.width(), pdf.height()), area);
      painter.end();
    }
  }
  if (!drawn || !file.commit()) {
    file.cancelWriting();
    error = "cannot write " + path + ": " +
            (file.error() != QFileDevice::NoError ? file.errorString() : "drawing failed");
    return false;
  }
  return true;
}
