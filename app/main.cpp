// korvex: the simulator's entry point.
//
// Runs in the working directory, which holds Configuration.dat, puma560.prm
// and control.dll. This build has no window: the servo and the text console
// run until the session ends (quit/exit/break, end of standard input,
// SIGINT or SIGTERM, or the servo itself).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Application.h"
#include "app/Configuration.h"
#include "app/SignalWatcher.h"

namespace {
constexpr const char kVersion[] = "0.1.0";

void printUsage(std::FILE* out) {
  std::fprintf(out,
               "Usage: korvex [--no-gui] [--script FILE] [--help] [--version]\n"
               "Runs the KORVEX robot-arm simulator in the current directory, which must hold\n"
               "Configuration.dat, puma560.prm and control.dll.\n"
               "  --no-gui        run the servo and the text console only (the default\n"
               "                  when no display is available)\n"
               "  --script FILE   run the console commands in FILE at start, as 'load FILE' would\n"
               "  --help          show this text and exit\n"
               "  --version       show the version and exit\n");
}

struct Options {
  bool noGui = false;
  std::string script;
};

// Returns -1 to go on, otherwise the exit status.
int parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      printUsage(stdout);
      return 0;
    }
    if (std::strcmp(arg, "--version") == 0) {
      std::printf("korvex %s\n", kVersion);
      return 0;
    }
    if (std::strcmp(arg, "--no-gui") == 0) {
      options.noGui = true;
    } else if (std::strcmp(arg, "--script") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "korvex: --script needs a file name\n");
        return 2;
      }
      options.script = argv[++i];
    } else if (std::strncmp(arg, "--script=", 9) == 0) {
      options.script = arg + 9;
    } else {
      std::fprintf(stderr, "korvex: unknown option '%s'\n", arg);
      printUsage(stderr);
      return 2;
    }
  }
  return -1;
}
}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int status = parseOptions(argc, argv, options); status >= 0) return status;
  if (!options.script.empty()) {
    if (std::FILE* script = std::fopen(options.script.c_str(), "r")) {
      std::fclose(script);
    } else {
      std::fprintf(stderr, "korvex: cannot open script file '%s'\n", options.script.c_str());
      return 2;
    }
  }
  if (!readConfiguration()) return EXIT_FAILURE;
  const bool displayAvailable =
      std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
  if (displayAvailable && !options.noGui) {
    std::fprintf(stderr, "korvex: this build has no window; running the servo and the console only.\n");
  }

  // Before any thread exists, so that only the watcher ever takes them.
  blockTerminationSignals();
  SignalWatcher signalWatcher;

  // Without a window nothing else can end the session once input runs out.
  Application application;
  application.start(/*endAtEndOfInput=*/true, options.script);
  Application::waitForSessionEnd();
  application.completeShutdown();
  return 0;
}
