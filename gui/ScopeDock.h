// ScopeDock: a live scope of the servo's ticks, in a dock of the main window.
//
// The servo publishes every tick's values into a ScopeRing (never waiting
// for the window); a timer here drains it into a ScopeHistory and, while the
// dock is shown and running, redraws the chosen signal over the chosen time
// window with Qt Charts. Each curve is drawn as its per-pixel lows and highs,
// so every tick's value counts however few pixels there are. Ticks the ring
// overwrote before the window read them are counted and shown.
//
// Exports write what is shown: the chart as a PNG, the shown curves' ticks
// as CSV (time first, "%f" like the gather file, a "#" header line).
// GUI thread only.
#pragma once

#include <QByteArray>
#include <QDockWidget>
#include <QString>
#include <vector>

#include "gui/ScopeHistory.h"
#include "gui/ScopeSignal.h"

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QSpinBox;
class QTimer;
class QValueAxis;

class ScopeDock : public QDockWidget {
  Q_OBJECT

 public:
  static constexpr int kMinWindowS = 2;
  static constexpr int kMaxWindowS = 60;
  static constexpr int kDrawPeriodMs = 50;

  explicit ScopeDock(QWidget* parent = nullptr);
  ~ScopeDock() override;

  // The ring the servo fills (nullptr: the servo runs elsewhere, and the
  // scope says it has nothing to show). Not owned; must outlive the dock or
  // be detached first.
  void attach(ScopeRing* ring);

  // Choices, as the controls hold them.
  void setSignal(ScopeSignal signal);
  ScopeSignal signal() const;
  void setWindowSeconds(int seconds);  // clamped to 2 ... 60
  int windowSeconds() const;
  void setPaused(bool paused);
  bool paused() const;
  void setAutoscale(bool on);
  // Curve k of the signal shown or not.
  void setCurveShown(int k, bool shown);

  // What the settings are, for "config"; a state that does not read back
  // leaves the current choices.
  QByteArray saveSettings() const;
  bool restoreSettings(const QByteArray& state);

  // False, with `error` one line, when the file cannot be written; the file
  // appears only complete.
  bool exportPng(const QString& path, QString& error);
  bool exportCsv(const QString& path, QString& error);

  // Drains the ring and redraws when shown; the timer calls it.
  void refresh();
  // Ask for a file name, export, and say how it went below the chart.
  void askAndExportPng();
  void askAndExportCsv();

  const ScopeHistory& history() const { return m_history; }
  uint64_t lostSamples() const { return m_lost; }
  QChartView* chartView() const { return m_view; }

 private:
  void build();
  void showCurveChoices();
  void redraw();
  void report(const QString& text);
  // The shown range of the history: samples [first, size()).
  int firstShown() const;
  bool curveShown(int k) const;

  ScopeRing* m_ring = nullptr;
  ScopeHistory m_history;
  uint64_t m_lost = 0;
  bool m_dirty = true;

  QComboBox* m_signal = nullptr;
  std::vector<QCheckBox*> m_curves;
  QSpinBox* m_window = nullptr;
  QPushButton* m_pause = nullptr;
  QCheckBox* m_autoscale = nullptr;
  QLabel* m_status = nullptr;
  QChartView* m_view = nullptr;
  QChart* m_chart = nullptr;
  QValueAxis* m_timeAxis = nullptr;
  QValueAxis* m_valueAxis = nullptr;
  std::vector<QLineSeries*> m_series;      // curve k
  std::vector<QLineSeries*> m_goalSeries;  // its goal, dashed
  QTimer* m_timer = nullptr;
};
