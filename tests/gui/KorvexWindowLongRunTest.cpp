// The whole program with its window for about a minute on the test's private
// display: mode changes typed at the console, a real pointer drag on the 3D
// view (xdotool), a gather file, and the window closed the way a window
// manager asks. Labelled "long".
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleText.h"
#include "DesktopControl.h"
#include "GuiTestEnvironment.h"
#include "ProgramRun.h"

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The 3D view's part of the screen as PNG bytes: the left third of the window.
std::string viewPicture(const Geometry& g, const fs::path& file) {
  const int x = g.x + g.width * 4 / 100, y = g.y + g.height * 6 / 100;
  const int w = g.width * 28 / 100, h = g.height * 80 / 100;
  shell("import -window root -crop " + std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) +
        "+" + std::to_string(y) + " +repage " + file.string());
  return readTextFile(file);
}

TEST(KorvexWindowLong, AMinuteOfModesDragsAndGatherEndsCleanlyByClosingTheWindow) {
  if (!haveTool("xdotool") || !haveTool("import"))
    GTEST_SKIP() << "xdotool and ImageMagick's import are needed";
  guiApplication();  // DISPLAY names the private Xvfb from here on
  const auto begin = Clock::now();
  ProgramRun korvex("window", {});
  auto type = [&](const char* line, int thenMs) {
    ASSERT_TRUE(korvex.type(line)) << line;
    pause(thenMs);
  };

  Geometry g;
  const unsigned window = findWindow(&g);
  ASSERT_NE(window, 0u) << korvex.err();
  ASSERT_GT(g.width, 300) << "window geometry";

  // Robot types change the width of a gather row, so they come first.
  type("float", 1500);
  type("robottype 4", 1500);
  type("goto 0.4 0.1 0.5 0 90 0", 5000);
  type("robottype 3", 1500);

  type("startgather long.mat", 500);
  type("jgoto 20 -30 40 10 20 30", 5000);
  type("njhold", 2500);

  // Held still, the view draws the same picture until the drag turns the camera.
  const fs::path dir = korvex.dir();
  std::string before = viewPicture(g, dir / "a.png");
  for (int i = 0; i < 10 && viewPicture(g, dir / "b.png") != before; ++i) {
    pause(300);
    before = viewPicture(g, dir / "a.png");
  }
  ASSERT_FALSE(before.empty()) << "no screenshot";
  drag(g, {{0.06, 0.08}, {0.10, 0.09}, {0.16, 0.10}, {0.22, 0.11}});
  // A slow (sanitized) build may take a while to draw the turned view.
  bool turned = false;
  for (int i = 0; i < 20 && !turned; ++i) {
    pause(250);
    turned = viewPicture(g, dir / "c.png") != before;
  }
  EXPECT_TRUE(turned) << "the drag did not turn the view";

  type("pjpos", 500);
  const std::vector<double> held = lastPrintedJointPositions(korvex.err());
  const std::vector<double> goal = {20, -30, 40, 10, 20, 30};
  ASSERT_EQ(held.size(), goal.size()) << korvex.err();
  for (size_t i = 0; i < goal.size(); ++i) EXPECT_NEAR(held[i], goal[i], 2.0) << "joint " << i;

  type("jmove 0 -45 60 0 30 0", 6000);
  // A second drag while the arm moves under another mode.
  type("jtrack 10 -40 50 5 25 5", 500);
  drag(g, {{0.20, 0.10}, {0.15, 0.20}, {0.08, 0.30}});
  type("nhold", 2500);
  type("goto 0.45 0.1 0.4 1 0 0 0", 5000);
  type("hold", 2000);
  type("float", 2000);
  type("njgoto -10 -20 30 0 0 0", 5000);
  type("stopgather", 1500);

  askToClose(window);
  ASSERT_EQ(korvex.wait(30000), 0) << korvex.err();
  const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
  RecordProperty("wall_seconds", std::to_string(wall));
  std::printf("whole-program window run: %.1f s wall\n", wall);

  const std::string err = korvex.err();
  EXPECT_NE(korvex.out().find("Exiting."), std::string::npos);
  EXPECT_GT(fs::file_size(dir / "config"), 0u);
  // No widget touched from another thread, no sanitizer report.
  for (const char* bad : {"QObject::", "Cannot create children", "QWidget::repaint", "imers cannot",
                          "AddressSanitizer", "ThreadSanitizer", "LeakSanitizer", "runtime error:"})
    EXPECT_EQ(err.find(bad), std::string::npos) << bad << " in:\n" << err;

  // The gather file is complete: every row has every column, one row per tick.
  const std::string gathered = readTextFile(dir / "long.mat");
  ASSERT_FALSE(gathered.empty());
  EXPECT_EQ(gathered.back(), '\n');
  std::istringstream rows(gathered);
  size_t columns = 0, count = 0;
  double lastTime = -1;
  for (std::string row; std::getline(rows, row); ++count) {
    std::istringstream values(row);
    std::vector<double> v;
    for (double x; values >> x;) v.push_back(x);
    if (count == 0) columns = v.size();
    ASSERT_EQ(v.size(), columns) << "row " << count << ": " << row;
    if (lastTime >= 0) {
      ASSERT_NEAR(v[0] - lastTime, 0.002, 1.5e-5) << "row " << count;
    }
    lastTime = v[0];
  }
  EXPECT_GT(columns, 6u);
  EXPECT_GT(count, 500u * 25) << "over half a minute was gathered";
}

}  // namespace
