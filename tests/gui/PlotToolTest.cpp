// korvex-plot run as a user runs it, on a gather file of a real run and on
// each kind of file or argument it must refuse; its figures are opened with
// the readers of their formats.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "GuiTestEnvironment.h"
#include "ProgramRun.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int status = -1;
  std::string err;
};

// Runs ./korvex-plot of the run directory with `args` in `dir`.
Result plot(const fs::path& dir, const std::string& args) {
  const fs::path errFile = dir / "plot.err";
  const std::string command = "cd '" + dir.string() + "' && '" +
                              (fs::current_path() / "korvex-plot").string() + "' " + args + " 2> '" +
                              errFile.string() + "' > /dev/null";
  Result r;
  const int raw = std::system(command.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = readTextFile(errFile);
  return r;
}

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

// A row of `n` values in the gather file's own format.
std::string row(int n, double t) {
  std::string line;
  char value[32];
  for (int i = 0; i < n; ++i) {
    std::snprintf(value, sizeof value, "%f\t", i == 0 ? t : 0.1 * i);
    line += value;
  }
  return line + "\n";
}

// Share of the pixels of rows [top, bottom) that are neither white nor grey:
// the coloured curves.
double colouredShare(const QImage& image, int top, int bottom) {
  int coloured = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60)
        ++coloured;
    }
  return double(coloured) / (image.width() * (bottom - top));
}

class PlotTool : public testing::Test {
 protected:
  void SetUp() override {
    guiApplication();
    m_dir = fs::temp_directory_path() /
            ("korvex-plot-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(m_dir);
  }
  fs::path m_dir;
};

TEST_F(PlotTool, DrawsTheGatherFileOfARealRunInEachFormat) {
  ProgramRun korvex("gather", {"--no-gui"});
  ASSERT_TRUE(korvex.type("startgather run.mat"));
  ASSERT_TRUE(korvex.type("jgoto 0 -45 135 0 45 0"));
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ASSERT_TRUE(korvex.type("stopgather"));
  ASSERT_TRUE(korvex.type("quit"));
  ASSERT_EQ(korvex.wait(30000), 0) << korvex.err();
  fs::copy_file(korvex.dir() / "run.mat", m_dir / "run.mat");

  // The start-up robot type's rows fit two types: the tool takes the start-up
  // one, says so in one line, and draws the same figure as when told.
  Result r = plot(m_dir, "run.mat -o assumed.png");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      r.err,
      "korvex-plot: rows of 39 values fit robot types 3 (6-DOF (quaternions)) and 6 (6-DOF (axis angle)); "
      "taking 3 (6-DOF (quaternions)), the start-up type (choose another with --robottype N)\n");
  const QImage assumed(QString::fromStdString((m_dir / "assumed.png").string()));

  r = plot(m_dir, "run.mat --robottype 3");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  QImage figure(QString::fromStdString((m_dir / "run.png").string()));
  ASSERT_FALSE(figure.isNull());
  EXPECT_EQ(assumed, figure);
  ASSERT_EQ(figure.height(), 6 * 260);  // one chart per quantity
  // Every chart has curves in it (dq and dx move only during the motion).
  for (int chart = 0; chart < 6; ++chart)
    EXPECT_GT(colouredShare(figure, chart * 260, (chart + 1) * 260), 0.001) << "chart " << chart;

  r = plot(m_dir, "run.mat --robottype 3 --columns q2,qd2 -o two.svg");
  ASSERT_EQ(r.status, 0) << r.err;
  QSvgRenderer svg(QString::fromStdString((m_dir / "two.svg").string()));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox().height(), 2 * 260);
  QImage drawn(svg.viewBox().size(), QImage::Format_RGB32);
  drawn.fill(Qt::white);
  QPainter painter(&drawn);
  svg.render(&painter);
  painter.end();
  EXPECT_GT(colouredShare(drawn, 0, 260), 0.001);

  r = plot(m_dir, "run.mat --robottype 6 --columns xd -o goal.pdf");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string pdf = readTextFile(m_dir / "goal.pdf");
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  EXPECT_NE(pdf.find("%%EOF", pdf.size() - 8), std::string::npos);
}

TEST_F(PlotTool, RefusesBadInputWithALineOfItsOwnAndWritesNothing) {
  const int width = 39;  // 6-DOF (quaternions)
  writeFile(m_dir / "empty.mat", "\n\n");
  writeFile(m_dir / "ragged.mat", row(width, 0.002) + row(width - 1, 0.004));
  writeFile(m_dir / "text.mat", row(width, 0.002) + "0.004\tabc\n");
  writeFile(m_dir / "narrow.mat", row(5, 0.002));
  writeFile(m_dir / "good.mat", row(width, 0.002) + row(width, 0.004));
  // The two Euler-angle arms' rows: neither is the start-up type.
  writeFile(m_dir / "euler.mat", row(width - 2, 0.002));
  writeFile(m_dir / "kept.png", "an older figure");

  struct Case {
    std::string args, message;
  };
  const Case cases[] = {
      {"missing.mat", "cannot read missing.mat: No such file or directory"},
      {"empty.mat", "empty.mat holds no rows"},
      {"ragged.mat", "ragged.mat line 2 has 38 values, the first row 39"},
      {"text.mat", "text.mat line 2: \"abc\" is not a number"},
      {"euler.mat",
       "rows of 37 values fit robot types 4 (6-DOF (euler angle)) and 5 (6-DOF (euler angle y)); "
       "choose one with --robottype N"},
      {"narrow.mat", "narrow.mat has rows of 5 values, which fit no robot type (7 for 1-DOF"},
      {"good.mat --robottype 0", "robot type 0 (1-DOF) has rows of 7 values, good.mat has 39"},
      {"good.mat --robottype 3 --columns q,tau", "no column \"tau\" for robot type 3"},
      {"good.mat --robottype 3 --columns q7", "no column \"q7\""},
      {"good.mat --robottype 3 -o no/such/dir/out.png", "cannot write no/such/dir/out.png"},
      {"good.mat --robottype 3 -o out.jpg", "cannot tell the format of out.jpg"},
      {"good.mat --robottype 9", "--robottype takes 0 to 6"},
  };
  for (const Case& c : cases) {
    // An older figure of the same name outlives a refusal.
    const bool named = c.args.find(" -o ") != std::string::npos;
    const Result r = plot(m_dir, named ? c.args : c.args + " -o kept.png");
    SCOPED_TRACE(c.args);
    EXPECT_NE(r.status, 0);
    // One line, naming the fault.
    EXPECT_EQ(r.err.rfind("korvex-plot: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    if (r.status == 1) {
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
  }
  EXPECT_EQ(readTextFile(m_dir / "kept.png"), "an older figure");
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(m_dir)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"empty.mat", "euler.mat", "good.mat", "kept.png", "narrow.mat",
                                            "plot.err", "ragged.mat", "text.mat"}));
}

}  // namespace
