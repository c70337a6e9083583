// korvex-plot: draws a gather file as a figure, with no display needed.
//
//   korvex-plot FILE [--robottype N] [--columns q,qd,...] [-o OUT.png|OUT.svg|OUT.pdf]
//
// Columns are named time, q1.., dq1.., qd1.., x1.., dx1.., xd1..; a quantity
// name (q) takes all of its columns. Each quantity gets its own chart against
// time. The row width tells the robot type; where it fits several, --robottype
// chooses, and without it the start-up type is taken when it is one of them
// (most files come from it). Without -o the figure goes beside FILE as a .png.
#include <QApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gui/GatherFigure.h"
#include "libpuma/RobotGatherShape.h"
#include "libpuma/RobotModelFactory.h"
#include "utility/GatherColumns.h"
#include "utility/GatherTable.h"

namespace {

// Qt's own notes (a missing runtime directory, say) are not the user's
// business; only its errors reach standard error.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "korvex-plot: %s\n", qPrintable(message));
}

constexpr const char kUsage[] =
    "usage: korvex-plot FILE [--robottype N] [--columns q,qd,...] [-o OUT.png|OUT.svg|OUT.pdf]\n";

int fail(const std::string& message) {
  std::fprintf(stderr, "korvex-plot: %s\n", message.c_str());
  return 1;
}

int usage(const std::string& message) {
  std::fprintf(stderr, "korvex-plot: %s\n%s", message.c_str(), kUsage);
  return 2;
}

std::string typeName(int type) { return std::to_string(type) + " (" + robotTypeLabel(type) + ")"; }

// The robot type whose rows are `width` wide; -1 after a message when none
// fit, or several fit and neither `requested` (-1: none given) nor the
// start-up type settles it. Taking the start-up type is said in one line.
int robotTypeFor(int width, int requested, const std::string& path) {
  if (requested >= 0) {
    const int expected = robotGatherShape(requested).width();
    if (expected == width) return requested;
    fail("robot type " + typeName(requested) + " has rows of " + std::to_string(expected) + " values, " +
         path + " has " + std::to_string(width));
    return -1;
  }
  std::vector<int> fitting;
  std::string widths;
  for (int type = 0; type < kRobotTypeCount; ++type) {
    const int w = robotGatherShape(type).width();
    if (w == width) fitting.push_back(type);
    widths += (type ? ", " : "") + std::to_string(w) + " for " + robotTypeLabel(type);
  }
  if (fitting.size() == 1) return fitting[0];
  if (fitting.empty()) {
    fail(path + " has rows of " + std::to_string(width) + " values, which fit no robot type (" + widths +
         ")");
    return -1;
  }
  std::string names;
  for (size_t i = 0; i < fitting.size(); ++i)
    names += (i == 0 ? "" : i + 1 == fitting.size() ? " and " : ", ") + typeName(fitting[i]);
  const std::string fits = "rows of " + std::to_string(width) + " values fit robot types " + names;
  constexpr int startup = kStartupRobotType;
  if (std::find(fitting.begin(), fitting.end(), startup) != fitting.end()) {
    std::fprintf(stderr,
                 "korvex-plot: %s; taking %s, the start-up type (choose another with --robottype N)\n",
                 fits.c_str(), typeName(startup).c_str());
    return startup;
  }
  fail(fits + "; choose one with --robottype N");
  return -1;
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) text += (i ? " " : "") + names[i];
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  std::string input, columns, output;
  int requestedType = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--robottype") {
      if (!hasValue) return usage("--robottype needs a number");
      char* end = nullptr;
      const long type = std::strtol(argv[++i], &end, 10);
      if (*argv[i] == '\0' || *end != '\0' || type < 0 || type >= kRobotTypeCount)
        return usage("--robottype takes 0 to " + std::to_string(kRobotTypeCount - 1) + ", not \"" + argv[i] +
                     "\"");
      requestedType = static_cast<int>(type);
    } else if (arg == "--columns") {
      if (!hasValue) return usage("--columns needs a list such as q,qd");
      columns = argv[++i];
    } else if (arg == "-o") {
      if (!hasValue) return usage("-o needs a file name");
      output = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return usage("unknown option " + arg);
    } else if (input.empty()) {
      input = arg;
    } else {
      return usage("one gather file at a time");
    }
  }
  if (input.empty()) return usage("no gather file given");
  if (output.empty()) {
    const QFileInfo info(QString::fromStdString(input));
    output = (info.path() + "/" + info.completeBaseName() + ".png").toStdString();
  }

  GatherTable table;
  std::string error;
  if (!readGatherTable(input, table, error)) return fail(error);
  const int type = robotTypeFor(table.width, requestedType, input);
  if (type < 0) return 1;
  const GatherShape shape = robotGatherShape(type);
  GatherSelection selection;
  if (!selectGatherColumns(shape, columns, selection, error))
    return fail("no column \"" + error + "\" for robot type " + typeName(type) + "; columns are " +
                joined(gatherColumnNames(shape)) + ", or a quantity: q dq qd x dx xd");

  // Headless whatever the environment says: the figure is drawn into files only.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quietQtMessages);
  QApplication application(argc, argv);
  GatherFigure figure(table, selection, gatherColumnLabels(shape));
  QString writeError;
  if (!figure.write(QString::fromStdString(output), writeError)) return fail(writeError.toStdString());
  return 0;
}
