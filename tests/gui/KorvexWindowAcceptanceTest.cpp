// The window as a user sees it: the real korvex on the test's private
// display, driven only through its standard input and the X server's pointer
// and keys (xdotool), and watched only through screenshots of the screen
// taken over time. Nothing here makes the program draw. Labelled "acceptance".
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleText.h"
#include "DesktopControl.h"
#include "GuiTestEnvironment.h"
#include "ProgramRun.h"
#include "ScreenWatch.h"
#include "gui/PumaGeometry.h"
#include "libpuma/PumaConstants.h"

namespace {
using Clock = std::chrono::steady_clock;

double distance(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

// How often the console has printed "NAME = (" so far.
size_t timesPrinted(const std::string& text, const std::string& name) {
  size_t count = 0;
  for (size_t at = text.find(name + " = ("); at != std::string::npos; at = text.find(name + " = (", at + 1))
    if (at == 0 || !std::isalnum(static_cast<unsigned char>(text[at - 1]))) ++count;
  return count;
}

// The goal's ghost arm: a see-through pale cyan, unlike the obstacles' deep blue.
bool isGhostArm(QRgb c) {
  return qGreen(c) > qRed(c) + 50 && qBlue(c) > qRed(c) + 70 && qBlue(c) < qGreen(c) + 60;
}

// The goal frame's axes, bright over everything: x red, y green, z blue.
bool isGoalAxis(QRgb c, int axis) {
  const int v[3] = {qRed(c), qGreen(c), qBlue(c)};
  return v[axis] > 200 && v[(axis + 1) % 3] < 130 && v[(axis + 2) % 3] < 130;
}

// The yellow marker of the goal's foot on the line (the tool's mark is orange).
bool isGoalFoot(QRgb c) { return qRed(c) > 200 && qGreen(c) > 190 && qBlue(c) < 130; }

// Column `axis` of the rotation of the unit quaternion (w, x, y, z).
PrVector3 rotatedAxis(double w, double x, double y, double z, int axis) {
  switch (axis) {
    case 0:
      return PrVector3(float(1 - 2 * (y * y + z * z)), float(2 * (x * y + w * z)),
                       float(2 * (x * z - w * y)));
    case 1:
      return PrVector3(float(2 * (x * y - w * z)), float(1 - 2 * (x * x + z * z)),
                       float(2 * (y * z + w * x)));
    default:
      return PrVector3(float(2 * (x * z + w * y)), float(2 * (y * z - w * x)),
                       float(1 - 2 * (x * x + y * y)));
  }
}

std::string joined(const std::vector<double>& values) {
  std::string text;
  for (double v : values) text += " " + std::to_string(v);
  return text;
}

class KorvexWindowAcceptance : public testing::Test {
 protected:
  void SetUp() override {
    if (!haveTool("xdotool") || !haveTool("import"))
      GTEST_SKIP() << "xdotool and ImageMagick's import are needed";
    guiApplication();  // DISPLAY names the private Xvfb from here on
    m_korvex = std::make_unique<ProgramRun>("window", std::vector<std::string>{});
    m_window = findWindow(&m_geometry);
    ASSERT_NE(m_window, 0u) << m_korvex->err();
    ASSERT_TRUE(waitForScreen([&](const QImage& screen) { return !findView(screen).isEmpty(); }))
        << "the view never showed";
    m_view = findView(m_screen);
  }

  void TearDown() override {
    if (!m_korvex) return;
    m_korvex->type("quit");
    EXPECT_EQ(m_korvex->wait(60000), 0) << m_korvex->err();
    const std::string err = m_korvex->err();
    for (const char* bad :
         {"QObject::", "Internal error", "AddressSanitizer", "ThreadSanitizer", "runtime error:"})
      EXPECT_EQ(err.find(bad), std::string::npos) << bad << " in:\n" << err;
  }

  QImage shot() { return m_screen = screenshot(m_korvex->dir() / "screen.ppm"); }

  // Screenshots until one satisfies done; false after a generous deadline.
  bool waitForScreen(const std::function<bool(const QImage&)>& done, int timeoutMs = 30000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done(shot())) {
      if (Clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }

  // Types a query and returns what it printed as "NAME = (...)".
  std::vector<double> ask(const std::string& command, const std::string& name) {
    const size_t before = timesPrinted(m_korvex->err(), name);
    EXPECT_TRUE(m_korvex->type(command));
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (timesPrinted(m_korvex->err(), name) == before && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return lastPrintedVector(m_korvex->err(), name);
  }

  // Saves a screenshot beside the run's output, which stays when the test fails.
  void keep(const QImage& screen, const char* name) {
    if (HasFailure()) screen.save(QString::fromStdString((m_korvex->dir() / name).string()));
  }

  void type(const std::string& line) { ASSERT_TRUE(m_korvex->type(line)) << line; }

  // Polls the joint positions until every one is within 0.5 degrees of goal.
  bool reachJoints(const std::vector<double>& goal) {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
      const std::vector<double> q = ask("pjpos", "q");
      bool there = q.size() == goal.size();
      for (size_t i = 0; there && i < q.size(); ++i) there = std::fabs(q[i] - goal[i]) < 0.5;
      if (there) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
  }

  // Polls until the printed joint positions stop changing, to the last digit.
  bool waitUntilStill() {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    std::vector<double> previous = ask("pjpos", "q");
    while (Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      const std::vector<double> q = ask("pjpos", "q");
      if (q == previous) return true;
      previous = q;
    }
    return false;
  }

  // Waits until the tool's mark is drawn within 6 pixels of `at`.
  bool toolDrawnAt(QPointF at) {
    return waitForScreen([&](const QImage& screen) {
      const auto mark = centreOf(screen, at, 20, isToolMark);
      return mark && distance(*mark, at) < 6;
    });
  }

  // The 6-DOF x read-out's position, on the screen.
  QPointF toolOnScreen() {
    const std::vector<double> x = ask("pxpos", "x");
    EXPECT_GE(x.size(), 3u);
    return x.size() < 3 ? QPointF()
                        : projectDefault(m_view, PrVector3(float(x[0]), float(x[1]), float(x[2])));
  }

  // Chooses entry `index` of the view's popup menu with the keyboard, once
  // the menu shows (keys typed before it does go to the window).
  void chooseFromMenu(int index) {
    const QPoint at(m_view.left() + 20, m_view.top() + 20);
    clickAt(at.x(), at.y(), 3);
    EXPECT_TRUE(waitForScreen([&](const QImage& screen) {
      return qGray(screen.pixel(at + QPoint(40, 12))) > 200;
    })) << "the menu did not open";
    std::vector<std::string> keys(size_t(index + 1), "Down");
    keys.push_back("Return");
    pressKeys(keys);
    EXPECT_TRUE(waitForScreen([&](const QImage& screen) {
      return qGray(screen.pixel(at + QPoint(40, 12))) < 100;
    })) << "the menu did not close";
  }

  // A screenshot once two in a row show the same view.
  QImage stillScreen() {
    QImage previous = shot();
    EXPECT_TRUE(waitForScreen([&](const QImage& screen) {
      const bool same = changedPixels(previous, screen, m_view) == 0;
      previous = screen;
      return same;
    }));
    return m_screen;
  }

  std::unique_ptr<ProgramRun> m_korvex;
  unsigned m_window = 0;
  Geometry m_geometry;
  QImage m_screen;
  QRect m_view;
};

TEST_F(KorvexWindowAcceptance, TheViewFollowsAJgotoAndAStillArmDoesNotFlicker) {
  const QPointF home = toolOnScreen();
  ASSERT_TRUE(toolDrawnAt(home)) << "the tool is not drawn where x says at the start";
  type("jgoto 30 -40 100 0 40 0");
  ASSERT_TRUE(reachJoints({30, -40, 100, 0, 40, 0})) << m_korvex->err();
  const QPointF reached = toolOnScreen();
  EXPECT_GT(distance(home, reached), 50);
  EXPECT_TRUE(toolDrawnAt(reached)) << "the view did not follow the arm";
  EXPECT_FALSE(centreOf(m_screen, home, 6, isToolMark)) << "the old pose is still drawn";

  // Held at its goal, the arm is drawn the same picture after picture.
  ASSERT_TRUE(waitUntilStill());
  const QImage first = stillScreen();
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  const QImage second = shot();
  ASSERT_TRUE(waitUntilStill());
  EXPECT_EQ(changedPixels(first, second, m_view), 0) << "kept as still-1.png, still-2.png";
  keep(first, "still-1.png");
  keep(second, "still-2.png");
}

TEST_F(KorvexWindowAcceptance, AJgotosGoalShowsAsAGhostArmWhileTheArmMovesAndTheMenuHidesIt) {
  // A hundredth of real time: the arm is still on its way through the menu
  // clicks however slowly a busy machine runs them (at a tenth it arrived
  // within the 40 s a loaded run took, and covered its ghost).
  type("simspeed 0.01");
  const std::vector<double> goal = {0, -45, 135, 0, 45, 0};
  // The middle of the goal's forearm, away from the arm's start.
  const QPointF ghostAt = projectDefault(m_view, armPoint(goal, 3, PrVector3(puma::kA3, -0.2f, 0)));
  EXPECT_FALSE(centreOf(shot(), ghostAt, 4, isGhostArm)) << "a ghost before any goal";
  type("jgoto 0 -45 135 0 45 0");
  ASSERT_TRUE(waitForScreen([&](const QImage& screen) {
    return bool(centreOf(screen, ghostAt, 4, isGhostArm));
  })) << "no ghost at the goal; kept as ghost.png";
  const QImage withGhost = m_screen;
  keep(withGhost, "ghost.png");

  // Menu entries after the display options: Ground Grid 12, Base Axes 13,
  // Goal Frame 14, Goal Arm 15, Goal on Line 16.
  chooseFromMenu(15);
  EXPECT_TRUE(waitForScreen([&](const QImage& screen) { return !centreOf(screen, ghostAt, 4, isGhostArm); }))
      << "the ghost stays when toggled off; kept as ghost-off.png";
  keep(m_screen, "ghost-off.png");
  EXPECT_GT(changedPixels(withGhost, m_screen, m_view, 40), 300);
  const std::vector<double> q = ask("pjpos", "q");
  ASSERT_EQ(q.size(), goal.size());
  EXPECT_GT(std::fabs(q[2] - goal[2]), 5) << "the arm was no longer moving: the check proves less";

  chooseFromMenu(15);
  EXPECT_TRUE(waitForScreen([&](const QImage& screen) {
    return bool(centreOf(screen, ghostAt, 4, isGhostArm));
  })) << "the ghost does not come back";
}

TEST_F(KorvexWindowAcceptance, AGotosGoalFrameShowsAsAxesAtTheGoalAndTheMenuHidesAndReturnsThem) {
  // The goal: the tool's own orientation, 15 cm lower and 10 cm to the side.
  std::vector<double> goal = ask("pxpos", "x");
  ASSERT_EQ(goal.size(), 7u) << "position and quaternion (w, x, y, z)";
  goal[1] += 0.1;
  goal[2] -= 0.15;
  // Points 60 % along each axis of the goal frame (drawn 15 cm long).
  std::vector<QPointF> axisAt;
  for (int axis = 0; axis < 3; ++axis) {
    const PrVector3 direction = rotatedAxis(goal[3], goal[4], goal[5], goal[6], axis);
    const PrVector3 origin{static_cast<float>(goal[0]), static_cast<float>(goal[1]),
                           static_cast<float>(goal[2])};
    axisAt.push_back(projectDefault(m_view, origin + direction * 0.09f));
  }
  const auto axesShown = [&](const QImage& screen) {
    for (int axis = 0; axis < 3; ++axis)
      if (!centreOf(screen, axisAt[size_t(axis)], 3, [axis](QRgb c) { return isGoalAxis(c, axis); }))
        return false;
    return true;
  };
  const auto axesGone = [&](const QImage& screen) {
    for (int axis = 0; axis < 3; ++axis)
      if (centreOf(screen, axisAt[size_t(axis)], 3, [axis](QRgb c) { return isGoalAxis(c, axis); }))
        return false;
    return true;
  };
  EXPECT_TRUE(axesGone(shot())) << "goal axes before any goal";

  type("goto" + joined(goal));
  ASSERT_TRUE(waitForScreen(axesShown)) << "no goal axes at the goal; kept as axes.png";
  keep(m_screen, "axes.png");
  const QImage withAxes = m_screen;

  // Menu entries after the display options: Ground Grid 12, Base Axes 13,
  // Goal Frame 14, Goal Arm 15, Goal on Line 16.
  chooseFromMenu(14);
  EXPECT_TRUE(waitForScreen(axesGone)) << "the axes stay when toggled off; kept as axes-off.png";
  keep(m_screen, "axes-off.png");
  chooseFromMenu(14);
  EXPECT_TRUE(waitForScreen(axesShown)) << "the axes do not come back; kept as axes-back.png";
  keep(m_screen, "axes-back.png");
  keep(withAxes, "axes.png");
}

TEST_F(KorvexWindowAcceptance, TheLineModesGoalShowsAsItsFootOnTheLineAndTheMenuHidesAndReturnsIt) {
  // A line along y within the arm's reach; the goal 10 cm beyond it.
  type("setline 0.45 -0.4 0.45 0.45 0.4 0.45");
  std::vector<double> goal = ask("pxpos", "x");
  ASSERT_EQ(goal.size(), 7u);
  goal[0] = 0.55, goal[1] = 0.2, goal[2] = 0.45;
  // The foot is (0.45, 0.2, 0.45); its marker's corners 2.5 cm from it in x and z.
  const PrVector3 foot(0.45f, 0.2f, 0.45f);
  std::vector<QPointF> corners;
  for (const PrVector3& offset :
       {PrVector3(0.025f, 0, 0), PrVector3(-0.025f, 0, 0), PrVector3(0, 0, 0.025f), PrVector3(0, 0, -0.025f)})
    corners.push_back(projectDefault(m_view, foot + offset));
  const auto footShown = [&](const QImage& screen) {
    for (const QPointF& corner : corners)
      if (!centreOf(screen, corner, 3, isGoalFoot)) return false;
    return true;
  };
  const auto footGone = [&](const QImage& screen) {
    for (const QPointF& corner : corners)
      if (centreOf(screen, corner, 3, isGoalFoot)) return false;
    return true;
  };
  EXPECT_TRUE(footGone(shot())) << "a foot point before the line mode";

  type("line" + joined(goal));
  ASSERT_TRUE(waitForScreen(footShown)) << "no foot point on the line; kept as foot.png";
  keep(m_screen, "foot.png");
  chooseFromMenu(16);
  EXPECT_TRUE(waitForScreen(footGone)) << "the foot point stays when toggled off; kept as foot-off.png";
  keep(m_screen, "foot-off.png");
  chooseFromMenu(16);
  EXPECT_TRUE(waitForScreen(footShown)) << "the foot point does not come back; kept as foot-back.png";
  keep(m_screen, "foot-back.png");
}

TEST_F(KorvexWindowAcceptance, TypedObstaclesAndTheLineShowAtOnceAndADeletedOneGoes) {
  const PrVector3 one(0.7f, -0.4f, 0.1f), two(-0.5f, -0.4f, 0.5f);
  const QPointF oneAt = projectDefault(m_view, one), twoAt = projectDefault(m_view, two);
  const auto typed = Clock::now();
  type("setobstacle 1 0.7 -0.4 0.1 0.1");
  type("setobstacle 2 -0.5 -0.4 0.5 0.1");
  ASSERT_TRUE(waitForScreen([&](const QImage& screen) {
    return centreOf(screen, oneAt, 3, isObstacle) && centreOf(screen, twoAt, 3, isObstacle);
  })) << "the typed obstacles never showed";
  RecordProperty("obstacles_shown_ms",
                 int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - typed).count()));

  type("setline -0.6 -0.7 -0.3 -0.6 -0.7 0.6");
  ASSERT_TRUE(waitForScreen([&](const QImage& screen) {
    for (float z : {-0.2f, 0.1f, 0.4f})
      if (!centreOf(screen, projectDefault(m_view, PrVector3(-0.6f, -0.7f, z)), 3, isLineRed)) return false;
    return true;
  })) << "the typed line never showed";

  type("delobstacle 1");
  EXPECT_TRUE(waitForScreen([&](const QImage& screen) { return !centreOf(screen, oneAt, 3, isObstacle); }))
      << "the deleted obstacle stays";
  EXPECT_TRUE(centreOf(m_screen, twoAt, 3, isObstacle)) << "the other obstacle went too";
}

TEST_F(KorvexWindowAcceptance, EachDisplayOptionShowsAndGoesFromTheMenu) {
  type("jgoto 0 -20 70 0 30 0");
  ASSERT_TRUE(reachJoints({0, -20, 70, 0, 30, 0})) << m_korvex->err();
  ASSERT_TRUE(waitUntilStill());
  const QImage plain = stillScreen();
  // Menu entries: Display MSI 7, Vel. Limit 8, Effective Inertia 9, Accel. Limit 10, EMass 11.
  // A surface changes many pixels plainly; the arm, still to the view, may
  // have crept by less than it shows, which may shade a pixel a step apart.
  constexpr int kPlainly = 40;
  for (const auto& [entry, name] : std::vector<std::pair<int, const char*>>{
           {11, "EMass"}, {9, "Effective Inertia"}, {8, "Vel. Limit"}, {10, "Accel. Limit"}, {7, "MSI"}}) {
    chooseFromMenu(entry);
    EXPECT_TRUE(waitForScreen([&](const QImage& screen) {
      return changedPixels(plain, screen, m_view, kPlainly) > 300;
    })) << name
        << " did not show; kept as " << name << ".png";
    keep(m_screen, (std::string(name) + ".png").c_str());
    chooseFromMenu(entry);
    EXPECT_TRUE(waitForScreen([&](const QImage& screen) {
      return changedPixels(plain, screen, m_view, kPlainly) < 20;
    })) << name
        << " did not go; kept as plain.png, " << name << "-off.png";
    keep(plain, "plain.png");
    keep(m_screen, (std::string(name) + "-off.png").c_str());
  }
}

TEST_F(KorvexWindowAcceptance, ARobotTypeChangeRedrawsTheArmAndADragOnItMovesIt) {
  type("jgoto 40 -30 60 30 30 30");
  ASSERT_TRUE(reachJoints({40, -30, 60, 30, 30, 30})) << m_korvex->err();
  const QImage sixJoints = stillScreen();
  // The 3-DOF arm holds joints 1, 4 and 6 at 0: it swings into its plane,
  // where x gives the tool's x and z.
  type("robottype 1");
  std::vector<double> x;
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (Clock::now() < deadline) {
    const std::vector<double> q = ask("pjpos", "q");
    if (q.size() == 3) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  const QImage threeJoints = stillScreen();
  EXPECT_GT(changedPixels(sixJoints, threeJoints, m_view), 500);
  x = ask("pxpos", "x");
  ASSERT_EQ(x.size(), 3u);
  const QPointF tool = projectDefault(m_view, PrVector3(float(x[0]), puma::kLateralOffset, float(x[1])));
  EXPECT_TRUE(toolDrawnAt(tool)) << "the 3-DOF arm's tool is not where its x says";

  // A drag from the middle of the forearm pulls the arm with the spring.
  type("float");
  ASSERT_TRUE(waitUntilStill());
  const std::vector<double> before = ask("pjpos", "q");
  ASSERT_EQ(before.size(), 3u);
  const std::vector<double> full = {0, before[0], before[1], 0, before[2], 0};
  EXPECT_TRUE(toolDrawnAt(projectDefault(m_view, armPoint(full, 6, PrVector3(0, 0, pumagl::kToolLength)))));
  const QPointF forearm = projectDefault(m_view, armPoint(full, 3, PrVector3(puma::kA3, -0.2f, 0)));
  const int x0 = int(forearm.x()), y0 = int(forearm.y());
  // Held, as a user holds on until the arm follows.
  pressAt(x0, y0);
  for (int step = 1; step <= 3; ++step) moveTo(x0 - 30 * step, y0 - 10 * step);
  double moved = 0;
  const auto dragged = Clock::now();
  while (moved <= 2.0 && Clock::now() < dragged + std::chrono::seconds(20)) {
    const std::vector<double> after = ask("pjpos", "q");
    for (size_t i = 0; i < after.size() && i < before.size(); ++i)
      moved = std::max(moved, std::fabs(after[i] - before[i]));
  }
  release();
  EXPECT_GT(moved, 2.0) << "the drag did not move the arm";
  EXPECT_TRUE(waitForScreen([&](const QImage& screen) {
    return changedPixels(threeJoints, screen, m_view) > 100;
  })) << "the moved arm is not drawn";
}

TEST_F(KorvexWindowAcceptance, ResizingTheWindowGrowsTheViewAndKeepsTheToolInPlace) {
  // The form keeps its minimum width, the view its own of 450: 150 pixels
  // of the window's width are the view's to give.
  const QRect start = m_view;
  resizeWindow(m_window, m_geometry.width - 150, m_geometry.height - 100);
  ASSERT_TRUE(
      waitForScreen([&](const QImage& screen) { return findView(screen).width() < start.width() - 100; }));
  const QRect small = findView(m_screen);
  resizeWindow(m_window, m_geometry.width, m_geometry.height);
  ASSERT_TRUE(
      waitForScreen([&](const QImage& screen) { return findView(screen).width() > small.width() + 100; }));
  m_view = findView(m_screen);
  EXPECT_NEAR(m_view.width() - small.width(), 150, 8) << "the view takes what the window gains";
  EXPECT_NEAR(m_view.height() - small.height(), 100, 8);
  EXPECT_TRUE(toolDrawnAt(toolOnScreen())) << "kept as resized.png";
  keep(m_screen, "resized.png");
}

TEST_F(KorvexWindowAcceptance, TheScopeDrawsAMotionTickByTickAsTheGatherFileHasIt) {
  type("startgather scope.mat");
  shell("xdotool windowfocus --sync " + std::to_string(m_window));
  pressKeys({"ctrl+shift+s"});  // View > Scope
  QRect chart;
  ASSERT_TRUE(waitForScreen([&](const QImage& screen) {
    chart = findScopeChart(screen, findView(screen), m_geometry);
    return !chart.isEmpty();
  })) << "the scope never showed; kept as no-scope.png";
  keep(m_screen, "no-scope.png");
  const int still = curvePixels(m_screen, chart);

  // It draws while the arm moves: each look shows more of the curves.
  type("jgoto 20 -30 110 0 40 0");
  std::vector<int> drawn;
  for (int look = 0; look < 3; ++look) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    drawn.push_back(curvePixels(shot(), chart));
  }
  keep(m_screen, "scope-moving.png");
  EXPECT_GT(drawn[0], still + 200) << "kept as scope-moving.png";
  EXPECT_GT(drawn[2], drawn[0]) << "the scope stopped drawing";
  ASSERT_TRUE(reachJoints({20, -30, 110, 0, 40, 0})) << m_korvex->err();
  type("stopgather");
  ask("pjpos", "q");  // the stop has been handled and the file closed

  // View > Save Scope as CSV..., a name typed into the file dialog.
  const std::filesystem::path csv = m_korvex->dir() / "scope.csv";
  shell("xdotool windowfocus --sync " + std::to_string(m_window));
  pressKeys({"alt+v", "c"});
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  pressKeys({"ctrl+a"});
  shell("xdotool type --delay 10 '" + csv.string() + "'");
  pressKeys({"Return"});
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(csv) && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(std::filesystem::exists(csv)) << "no CSV written";
  // Every gathered tick of the span shown is in the CSV, with the same q and qd
  // (numpy reads the CSV as it is).
  const std::string compare =
      "/usr/bin/python3 -c \"import numpy as np, sys; "
      "c = np.loadtxt(sys.argv[1], delimiter=',', ndmin=2); g = np.loadtxt(sys.argv[2], ndmin=2); "
      "t, i, j = np.intersect1d(c[:, 0], g[:, 0], return_indices=True); "
      "n = ((g[:, 0] >= c[0, 0]) & (g[:, 0] <= c[-1, 0])).sum(); "
      "assert len(t) >= 1000 and len(t) == n, (len(t), n); "
      "assert (np.diff(c[:, 0]) < 0.0025).all(), 'a tick is missing'; "
      "assert (c[i, 1:7] == g[j, 1:7]).all() and (c[i, 7:13] == g[j, 13:19]).all(), 'values differ'\" '" +
      csv.string() + "' '" + (m_korvex->dir() / "scope.mat").string() + "' 2>&1";
  EXPECT_EQ(shell(compare), "");
}

size_t occurrences(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

// CPU time (s) of each of the process's threads, by thread id.
std::map<std::string, double> threadSeconds(pid_t pid) {
  std::map<std::string, double> seconds;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::string stat = readTextFile(task.path() / "stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::vector<std::string> f{std::istream_iterator<std::string>(fields), {}};
    if (f.size() > 12)
      seconds[task.path().filename()] = (std::stod(f[11]) + std::stod(f[12])) / double(sysconf(_SC_CLK_TCK));
  }
  return seconds;
}

TEST_F(KorvexWindowAcceptance, TheEndOfInputEndsOnlyTheConsoleAndTheWindowKeepsTheSession) {
  m_korvex->closeInput();
  ASSERT_TRUE(m_korvex->waitForErr("Error reading user input.\n", 30000)) << m_korvex->err();
  const auto startWall = Clock::now();
  const std::map<std::string, double> startCpu = threadSeconds(m_korvex->pid());

  // The window still drives the servo: a display option asks it and shows its answer.
  const QImage plain = stillScreen();
  chooseFromMenu(11);  // EMass
  EXPECT_TRUE(waitForScreen([&](const QImage& screen) {
    return changedPixels(plain, screen, m_view, 40) > 300;
  })) << "the window's request went unanswered; kept as emass.png";
  keep(m_screen, "emass.png");
  chooseFromMenu(11);
  EXPECT_TRUE(
      waitForScreen([&](const QImage& screen) { return changedPixels(plain, screen, m_view, 40) < 20; }));
  const QImage still = stillScreen();

  // Nothing spins on the closed input: no thread used half a core meanwhile
  // (a spinning one would take a whole core on a quiet machine).
  const double wall = std::chrono::duration<double>(Clock::now() - startWall).count();
  for (const auto& [thread, seconds] : threadSeconds(m_korvex->pid())) {
    const auto before = startCpu.find(thread);
    const double used = seconds - (before == startCpu.end() ? 0.0 : before->second);
    EXPECT_LT(used, 0.5 * wall) << "thread " << thread << " used " << used << " s of " << wall << " s";
  }
  const std::string err = m_korvex->err();
  EXPECT_EQ(occurrences(err, "Error reading user input."), 1u) << err;
  EXPECT_EQ(occurrences(m_korvex->out(), "KORVEX:> "), 1u) << m_korvex->out();
  EXPECT_EQ(err.find("Session ended."), std::string::npos) << err;

  // Closing the window ends the session as ever.
  askToClose(m_window);
  EXPECT_EQ(m_korvex->wait(60000), 0) << m_korvex->err();
  EXPECT_EQ(occurrences(m_korvex->err(), "Session ended."), 1u) << m_korvex->err();
  EXPECT_NE(m_korvex->out().find("Exiting."), std::string::npos) << m_korvex->out();
  keep(still, "after-end-of-input.png");
  m_korvex.reset();  // ended here: nothing left for TearDown to type to
}
}  // namespace
