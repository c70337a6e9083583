// The scope dock fed through the servo's ring: what it records, draws and
// exports, and what it does when the ring ran over or the arm changed.
#include "gui/ScopeDock.h"

#include <gtest/gtest.h>

#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "GuiTestEnvironment.h"
#include "ProgramRun.h"

namespace fs = std::filesystem;

namespace {

ScopeSample sampleAt(int tick, int dof = 6) {
  ScopeSample s;
  s.time = 0.002f * float(tick + 1);
  s.dof = dof;
  s.config = dof == 6 ? 7 : 3;
  s.rate = dof == 6 ? 6 : 3;
  for (int j = 0; j < dof; ++j) {
    s.q[j] = std::sin(s.time * 3 + float(j));
    s.qd[j] = float(j) * 0.25f;
    s.tau[j] = 10.0f * float(j);
  }
  return s;
}

// Pixels in the chart that are drawn in a curve's saturated colour.
int curvePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 80) ++count;
    }
  return count;
}

class ScopeDockTest : public testing::Test {
 protected:
  void SetUp() override {
    guiApplication();
    m_ring = std::make_unique<ScopeRing>();
    m_window = std::make_unique<QMainWindow>();
    m_window->setCentralWidget(new QLabel("arm"));
    m_dock = new ScopeDock(m_window.get());
    m_window->addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    m_dock->attach(m_ring.get());
    m_window->resize(900, 500);
    m_window->show();
    ASSERT_TRUE(processUntil([&] { return m_dock->chartView()->isVisible(); }));
    m_dir = fs::temp_directory_path() / ("korvex-scope-" + std::to_string(getpid()));
    fs::create_directories(m_dir);
  }
  void TearDown() override {
    m_window.reset();
    if (!HasFailure()) fs::remove_all(m_dir);
  }
  void push(int from, int to, int dof = 6) {
    for (int t = from; t < to; ++t) m_ring->push(sampleAt(t, dof));
  }
  std::string exportCsv() {
    const QString path = QString::fromStdString((m_dir / "scope.csv").string());
    QString error;
    EXPECT_TRUE(m_dock->exportCsv(path, error)) << error.toStdString();
    return readTextFile(path.toStdString());
  }

  std::unique_ptr<ScopeRing> m_ring;
  std::unique_ptr<QMainWindow> m_window;
  ScopeDock* m_dock = nullptr;
  fs::path m_dir;
};

TEST_F(ScopeDockTest, DrawsAndExportsEveryTickOfTheWindowShown) {
  m_dock->setWindowSeconds(2);
  push(0, 2500);  // 5 s of ticks
  m_dock->refresh();
  EXPECT_EQ(m_dock->history().size(), 2500);
  QImage chart = m_dock->chartView()->grab().toImage();
  EXPECT_GT(curvePixels(chart), 500) << "no curves drawn";

  // The CSV holds the 2 s shown, one row per tick, in the gather file's format.
  const std::string csv = exportCsv();
  std::istringstream lines(csv);
  std::string header;
  std::getline(lines, header);
  EXPECT_EQ(header, "# time,q1,q2,q3,q4,q5,q6,qd1,qd2,qd3,qd4,qd5,qd6");
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_GE(rows.size(), 1000u);
  ASSERT_LE(rows.size(), 1001u);
  const ScopeSample last = sampleAt(2499);
  char expected[64];
  std::snprintf(expected, sizeof expected, "%f,%f,", last.time, last.q[0]);
  EXPECT_EQ(rows.back().rfind(expected, 0), 0u) << rows.back();
  EXPECT_NE(rows.back().find(",0.250000,0.500000,"), std::string::npos) << rows.back();

  // numpy reads it as it stands.
  const std::string check = "/usr/bin/python3 -c \"import numpy; a = numpy.loadtxt('" +
                            (m_dir / "scope.csv").string() + "', delimiter=','); assert a.shape == (" +
                            std::to_string(rows.size()) + ", 13), a.shape\"";
  EXPECT_EQ(std::system(check.c_str()), 0);

  // Torques, fewer curves: only those chosen are exported.
  m_dock->setSignal(ScopeSignal::kTorque);
  m_dock->setCurveShown(0, false);
  std::istringstream torque(exportCsv());
  std::getline(torque, header);
  EXPECT_EQ(header, "# time,tau2,tau3,tau4,tau5,tau6");

  const QString png = QString::fromStdString((m_dir / "scope.png").string());
  QString error;
  ASSERT_TRUE(m_dock->exportPng(png, error)) << error.toStdString();
  const QImage saved(png);
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), m_dock->chartView()->size() * m_dock->chartView()->devicePixelRatio());
  EXPECT_GT(curvePixels(saved), 500);
  EXPECT_FALSE(m_dock->exportPng("/no/such/dir/scope.png", error));
  EXPECT_NE(error.indexOf("cannot write /no/such/dir/scope.png"), -1);
}

TEST_F(ScopeDockTest, ARingThatRanOverIsCountedAndAPauseRecordsNothing) {
  push(0, ScopeRing::kCapacity + 904);
  m_dock->refresh();
  EXPECT_EQ(m_dock->lostSamples(), 904u);
  EXPECT_EQ(m_dock->history().size(), ScopeRing::kCapacity);
  EXPECT_EQ(m_dock->history().at(0).time, sampleAt(904).time);
  EXPECT_NE(m_dock->findChild<QLabel*>("scopeStatus")->text().indexOf("904 ticks"), -1);

  m_dock->setPaused(true);
  push(6000, 6100);
  m_dock->refresh();
  EXPECT_EQ(m_dock->history().latest().time, sampleAt(ScopeRing::kCapacity + 903).time);
  // Running again starts afresh from the next tick.
  m_dock->setPaused(false);
  push(6100, 6110);
  m_dock->refresh();
  EXPECT_EQ(m_dock->history().size(), 10);
  EXPECT_EQ(m_dock->lostSamples(), 904u);
}

TEST_F(ScopeDockTest, ANewRobotTypeStartsAfreshWithItsOwnCurves) {
  push(0, 100);
  m_dock->refresh();
  push(100, 150, 3);
  m_dock->refresh();
  EXPECT_EQ(m_dock->history().size(), 50);
  int shown = 0;
  for (int k = 0; k < 7; ++k)
    shown += m_dock->findChild<QCheckBox*>(QString("scopeCurve_%1").arg(k))->isVisible();
  EXPECT_EQ(shown, 3);
  std::istringstream csv(exportCsv());
  std::string header;
  std::getline(csv, header);
  EXPECT_EQ(header, "# time,q1,q2,q3,qd1,qd2,qd3");
}

TEST_F(ScopeDockTest, SettingsComeBackFromTheirSavedState) {
  m_dock->setSignal(ScopeSignal::kErrorNorms);
  m_dock->setWindowSeconds(99);  // beyond the range: the longest
  m_dock->setCurveShown(1, false);
  m_dock->setAutoscale(false);
  const QByteArray state = m_dock->saveSettings();
  ScopeDock other;
  ASSERT_TRUE(other.restoreSettings(state));
  EXPECT_EQ(other.signal(), ScopeSignal::kErrorNorms);
  EXPECT_EQ(other.windowSeconds(), ScopeDock::kMaxWindowS);
  EXPECT_EQ(other.saveSettings(), state);
  EXPECT_FALSE(other.restoreSettings("garbage"));
  EXPECT_EQ(other.signal(), ScopeSignal::kErrorNorms);
}

}  // namespace
