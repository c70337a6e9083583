#include "gui/ScopeDock.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDataStream>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/CurveColours.h"
#include "gui/GatherFigure.h"
#include "gui/MinMaxEnvelope.h"

namespace {
constexpr int kMaxCurves = ScopeSample::kMaxConfig;
constexpr int kSettingsVersion = 1;
}  // namespace

ScopeDock::ScopeDock(QWidget* parent) : QDockWidget("Scope", parent) {
  setObjectName("scopeDock");
  build();
  m_timer = new QTimer(this);
  connect(m_timer, &QTimer::timeout, this, &ScopeDock::refresh);
  m_timer->start(kDrawPeriodMs);
}

ScopeDock::~ScopeDock() = default;

void ScopeDock::build() {
  auto* body = new QWidget(this);
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(4, 2, 4, 2);
  auto* controls = new QHBoxLayout;
  column->addLayout(controls);

  m_signal = new QComboBox(body);
  m_signal->setObjectName("scopeSignal");
  for (int s = 0; s < kScopeSignalCount; ++s) m_signal->addItem(scopeSignalLabel(ScopeSignal(s)));
  controls->addWidget(m_signal);
  for (int k = 0; k < kMaxCurves; ++k) {
    auto* box = new QCheckBox(body);
    box->setObjectName(QString("scopeCurve_%1").arg(k));
    box->setChecked(true);
    connect(box, &QCheckBox::toggled, this, [this] { m_dirty = true; });
    m_curves.push_back(box);
    controls->addWidget(box);
  }
  controls->addStretch(1);
  m_window = new QSpinBox(body);
  m_window->setObjectName("scopeWindow");
  m_window->setRange(kMinWindowS, kMaxWindowS);
  m_window->setValue(10);
  m_window->setSuffix(" s");
  m_window->setToolTip("Time window shown");
  controls->addWidget(m_window);
  m_pause = new QPushButton("Pause", body);
  m_pause->setObjectName("scopePause");
  m_pause->setCheckable(true);
  controls->addWidget(m_pause);
  m_autoscale = new QCheckBox("Autoscale", body);
  m_autoscale->setObjectName("scopeAutoscale");
  m_autoscale->setChecked(true);
  controls->addWidget(m_autoscale);
  auto* png = new QPushButton("PNG…", body);
  png->setObjectName("scopeExportPng");
  png->setToolTip("Save the chart as a PNG image");
  controls->addWidget(png);
  auto* csv = new QPushButton("CSV…", body);
  csv->setObjectName("scopeExportCsv");
  csv->setToolTip("Save the ticks shown as CSV");
  controls->addWidget(csv);

  m_chart = new QChart;
  m_chart->legend()->setAlignment(Qt::AlignTop);
  m_chart->setMargins(QMargins(2, 2, 2, 2));
  m_timeAxis = new QValueAxis;
  m_timeAxis->setTitleText("time (s)");
  m_valueAxis = new QValueAxis;
  m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
  m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
  for (int k = 0; k < kMaxCurves; ++k) {
    for (bool goal : {false, true}) {
      auto* series = new QLineSeries;
      QPen pen(curveColour(k), 1.5);
      if (goal) pen.setStyle(Qt::DashLine);
      series->setPen(pen);
      m_chart->addSeries(series);
      series->attachAxis(m_timeAxis);
      series->attachAxis(m_valueAxis);
      (goal ? m_goalSeries : m_series).push_back(series);
    }
  }
  m_view = new QChartView(m_chart, body);
  m_view->setObjectName("scopeChart");
  m_view->setRenderHint(QPainter::Antialiasing, false);
  m_view->setMinimumHeight(220);
  column->addWidget(m_view, 1);
  m_status = new QLabel(body);
  m_status->setObjectName("scopeStatus");
  column->addWidget(m_status);
  setWidget(body);

  connect(m_signal, &QComboBox::currentIndexChanged, this, [this] {
    showCurveChoices();
    m_dirty = true;
  });
  connect(m_window, &QSpinBox::valueChanged, this, [this] { m_dirty = true; });
  connect(m_autoscale, &QCheckBox::toggled, this, [this] { m_dirty = true; });
  connect(m_pause, &QPushButton::toggled, this, [this](bool paused) {
    m_pause->setText(paused ? "Resume" : "Pause");
    // Running again starts a fresh record: what came during the pause is gone.
    if (!paused) m_history.clear();
    m_dirty = true;
  });
  connect(png, &QPushButton::clicked, this, &ScopeDock::askAndExportPng);
  connect(csv, &QPushButton::clicked, this, &ScopeDock::askAndExportCsv);
  showCurveChoices();
  report("No servo ticks yet.");
}

void ScopeDock::attach(ScopeRing* ring) {
  m_ring = ring;
  // Start with what comes from now on.
  if (m_ring) m_ring->drain([](const ScopeSample&) {});
  report(m_ring ? "" : "The servo runs in another process: the scope has no ticks to show.");
}

// --- choices ------------------------------------------------------------------

void ScopeDock::setSignal(ScopeSignal signal) { m_signal->setCurrentIndex(int(signal)); }
ScopeSignal ScopeDock::signal() const { return ScopeSignal(m_signal->currentIndex()); }
void ScopeDock::setWindowSeconds(int seconds) { m_window->setValue(seconds); }
int ScopeDock::windowSeconds() const { return m_window->value(); }
void ScopeDock::setPaused(bool paused) { m_pause->setChecked(paused); }
bool ScopeDock::paused() const { return m_pause->isChecked(); }
void ScopeDock::setAutoscale(bool on) { m_autoscale->setChecked(on); }
void ScopeDock::setCurveShown(int k, bool shown) {
  if (k >= 0 && k < kMaxCurves) m_curves[k]->setChecked(shown);
}

bool ScopeDock::curveShown(int k) const {
  if (m_history.empty()) return m_curves[k]->isChecked();
  return k < scopeComponents(signal(), m_history.latest()) && m_curves[k]->isChecked();
}

void ScopeDock::showCurveChoices() {
  // Names for the largest shape; those beyond the current arm's are hidden.
  ScopeSample shape;
  shape.dof = ScopeSample::kMaxJoints;
  shape.config = ScopeSample::kMaxConfig;
  shape.rate = ScopeSample::kMaxRate;
  if (!m_history.empty()) shape = m_history.latest();
  const int n = scopeComponents(signal(), shape);
  for (int k = 0; k < kMaxCurves; ++k) {
    m_curves[k]->setText(scopeColumnName(signal(), k, false));
    m_curves[k]->setVisible(k < n);
  }
  m_valueAxis->setTitleText(scopeAxisTitle(signal()));
}

QByteArray ScopeDock::saveSettings() const {
  QByteArray state;
  QDataStream out(&state, QIODevice::WriteOnly);
  int mask = 0;
  for (int k = 0; k < kMaxCurves; ++k) mask |= m_curves[k]->isChecked() ? 1 << k : 0;
  out << qint32(kSettingsVersion) << qint32(signal()) << qint32(windowSeconds()) << qint32(mask)
      << m_autoscale->isChecked();
  return state;
}

bool ScopeDock::restoreSettings(const QByteArray& state) {
  QDataStream in(state);
  qint32 version = 0, signalIndex = 0, seconds = 0, mask = 0;
  bool autoscale = true;
  in >> version >> signalIndex >> seconds >> mask >> autoscale;
  if (in.status() != QDataStream::Ok || version != kSettingsVersion || signalIndex < 0 ||
      signalIndex >= kScopeSignalCount)
    return false;
  setSignal(ScopeSignal(signalIndex));
  setWindowSeconds(seconds);
  for (int k = 0; k < kMaxCurves; ++k) setCurveShown(k, (mask >> k) & 1);
  setAutoscale(autoscale);
  return true;
}

// --- drawing --------------------------------------------------------------------

void ScopeDock::report(const QString& text) { m_status->setText(text); }

void ScopeDock::refresh() {
  if (m_ring) {
    const bool paused = this->paused();
    const int before = m_history.empty() ? -1 : m_history.latest().dof;
    bool any = false;
    const uint64_t lost = m_ring->drain([&](const ScopeSample& sample) {
      any = true;
      m_newest = sample;
      if (!paused) m_history.append(sample);
    });
    m_haveNewest = m_haveNewest || any;
    if (!paused) {
      m_lost += lost;
      if (any) m_dirty = true;
      if (lost) report(QString("%1 ticks were overwritten before the window could read them.").arg(m_lost));
      if (!m_history.empty() && m_history.latest().dof != before) showCurveChoices();
    }
  }
  // A hidden scope only keeps its record.
  if (m_dirty && m_view->isVisible() && !m_view->viewport()->visibleRegion().isEmpty()) redraw();
}

bool ScopeDock::newestTick(ScopeSample& tick) const {
  if (m_haveNewest) tick = m_newest;
  return m_haveNewest;
}

int ScopeDock::firstShown() const {
  if (m_history.empty()) return 0;
  return m_history.firstAtOrAfter(m_history.latest().time - float(windowSeconds()));
}

void ScopeDock::redraw() {
  m_dirty = false;
  const ScopeSignal shown = signal();
  const int first = firstShown();
  const int count = m_history.size() - first;
  // The first window fills from the left; after that the curves scroll.
  const float window = float(windowSeconds());
  const float start = m_history.empty() ? 0.0f : std::max(m_history.latest().time - window, 0.0f);
  const float end = start + window;
  const int buckets = std::max(50, int(m_chart->plotArea().width()));
  double low = INFINITY, high = -INFINITY;
  QList<QPointF> points;
  for (int k = 0; k < kMaxCurves; ++k) {
    const bool visible = curveShown(k) && !m_history.empty();
    for (bool goal : {false, true}) {
      QLineSeries* series = (goal ? m_goalSeries : m_series)[k];
      if (!visible || (goal && !scopeHasGoal(shown))) {
        series->setVisible(false);
        continue;
      }
      points.clear();
      appendMinMaxEnvelope(
          count, buckets,
          [&](int i) {
            const ScopeSample& s = m_history.at(first + i);
            return QPointF(s.time, scopeValue(shown, s, k, goal));
          },
          points);
      for (const QPointF& p : points) {
        low = std::min(low, p.y());
        high = std::max(high, p.y());
      }
      series->replace(points);
      series->setName(scopeColumnName(shown, k, goal));
      series->setVisible(true);
    }
  }
  m_timeAxis->setRange(start, end);
  setNiceTicks(m_timeAxis, start, end);
  if (m_autoscale->isChecked() && low <= high) {
    const double pad = high > low ? 0.05 * (high - low) : std::max(1e-3, 0.1 * std::fabs(high));
    m_valueAxis->setRange(low - pad, high + pad);
    m_valueAxis->applyNiceNumbers();
  }
}

// --- exports --------------------------------------------------------------------

bool ScopeDock::exportPng(const QString& path, QString& error) {
  if (m_dirty) redraw();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !m_view->grab().save(&file, "PNG") || !file.commit()) {
    error = "cannot write " + path + ": " + file.errorString();
    return false;
  }
  return true;
}

bool ScopeDock::exportCsv(const QString& path, QString& error) {
  const ScopeSignal shown = signal();
  struct Column {
    int k;
    bool goal;
  };
  std::vector<Column> columns;
  for (bool goal : {false, true}) {
    if (goal && !scopeHasGoal(shown)) continue;
    for (int k = 0; k < kMaxCurves; ++k)
      if (curveShown(k) && !m_history.empty()) columns.push_back({k, goal});
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    error = "cannot write " + path + ": " + file.errorString();
    return false;
  }
  QByteArray text = "# time";
  for (const Column& c : columns) text += "," + scopeColumnName(shown, c.k, c.goal).toLatin1();
  text += "\n";
  char value[48];
  for (int i = firstShown(); i < m_history.size(); ++i) {
    const ScopeSample& s = m_history.at(i);
    std::snprintf(value, sizeof value, "%f", s.time);
    text += value;
    for (const Column& c : columns) {
      std::snprintf(value, sizeof value, ",%f", scopeValue(shown, s, c.k, c.goal));
      text += value;
    }
    text += "\n";
  }
  if (file.write(text) != text.size() || !file.commit()) {
    error = "cannot write " + path + ": " + file.errorString();
    return false;
  }
  return true;
}

void ScopeDock::askAndExportPng() {
  const QString path =
      QFileDialog::getSaveFileName(this, "Save the scope as PNG", "scope.png", "PNG images (*.png)");
  if (path.isEmpty()) return;
  QString error;
  report(exportPng(path, error) ? "Saved " + path : error);
}

void ScopeDock::askAndExportCsv() {
  const QString path =
      QFileDialog::getSaveFileName(this, "Save the ticks shown as CSV", "scope.csv", "CSV files (*.csv)");
  if (path.isEmpty()) return;
  QString error;
  report(exportCsv(path, error) ? "Saved " + path : error);
}
