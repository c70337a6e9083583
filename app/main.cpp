// korvex: the simulator's entry point.
//
// Runs in the working directory, which holds Configuration.dat, puma560.prm
// and control.dll. With a display (and without --no-gui) the main window runs
// beside the text console until the session ends (the window's EXIT,
// quit/exit/break, SIGINT or SIGTERM, or the servo itself); without one the
// servo and the console run until then or until standard input ends.
//
// The servo and the console may also run in two processes linked over TCP:
// "korvex --servo-only [--listen ADDR:PORT]" and "korvex --connect [HOST:PORT]";
// the second opens the window as the single program does.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Application.h"
#include "app/Configuration.h"
#include "app/RemoteModes.h"
#include "app/RemoteSession.h"
#include "app/SharedToken.h"
#include "app/SignalWatcher.h"
#include "app/StandardStreams.h"
#include "libpuma/CSimPuma.h"
#include "utility/TcpEndpoint.h"
#ifdef KORVEX_HAS_WINDOW
#include "gui/DisplayCheck.h"
#include "gui/WindowSession.h"
#endif

namespace {
constexpr const char kVersion[] = "0.1.0";

void printUsage(std::FILE* out) {
  std::fprintf(out,
               "Usage: korvex [--no-gui] [--script FILE] [--help] [--version]\n"
               "       korvex --no-gui --fast [--script FILE]\n"
               "       korvex --servo-only [--listen ADDR:PORT] [--token-file FILE]\n"
               "       korvex --connect [HOST:PORT] [--token-file FILE] [--script FILE]\n"
               "Runs the KORVEX robot-arm simulator in the current directory, which must hold\n"
               "Configuration.dat, puma560.prm and control.dll.\n"
               "  --no-gui        run the servo and the text console only (the default\n"
               "                  when no display is available)\n"
               "  --script FILE   run the console commands in FILE at start, as 'load FILE' would\n"
               "  --fast          with --no-gui: run as fast as the processor allows, without\n"
               "                  a wall clock; a script's 'wait MS' counts simulated time and\n"
               "                  each line waits for the servo's answer to the one before, so\n"
               "                  the same input always gives the same output and gather files\n"
               "  --servo-only    run the servo alone and serve one console at a time over TCP\n"
               "  --listen ADDR:PORT  where --servo-only listens (default 127.0.0.1:%d;\n"
               "                  port 0 lets the system choose and prints it; an address\n"
               "                  beyond loopback needs --token-file)\n"
               "  --token-file FILE  the shared token (the file's first line) that a console\n"
               "                  must present to the servo\n"
               "  --connect [HOST:PORT]  run the console against a servo started with\n"
               "                  --servo-only (default: KORVEX_SERV_HOST_ADDR from\n"
               "                  Configuration.dat, port %d when it names none)\n"
               "  --help          show this text and exit\n"
               "  --version       show the version and exit\n",
               kDefaultServoPort, kDefaultServoPort);
}

struct Options {
  bool noGui = false;
  bool fast = false;
  std::string script;
  bool servoOnly = false;
  std::string listen;
  bool connect = false;
  std::string connectTo;  // empty: KORVEX_SERV_HOST_ADDR
  std::string tokenFile;
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
    } else if (std::strcmp(arg, "--fast") == 0) {
      options.fast = true;
    } else if (std::strcmp(arg, "--script") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "korvex: --script needs a file name\n");
        return 2;
      }
      options.script = argv[++i];
    } else if (std::strncmp(arg, "--script=", 9) == 0) {
      options.script = arg + 9;
    } else if (std::strcmp(arg, "--servo-only") == 0) {
      options.servoOnly = true;
    } else if (std::strcmp(arg, "--listen") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "korvex: --listen needs ADDR:PORT\n");
        return 2;
      }
      options.listen = argv[++i];
    } else if (std::strcmp(arg, "--token-file") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "korvex: --token-file needs a file name\n");
        return 2;
      }
      options.tokenFile = argv[++i];
    } else if (std::strcmp(arg, "--connect") == 0) {
      options.connect = true;
      if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) options.connectTo = argv[++i];
    } else {
      std::fprintf(stderr, "korvex: unknown option '%s'\n", arg);
      printUsage(stderr);
      return 2;
    }
  }
  if (options.servoOnly && options.connect) {
    std::fprintf(stderr, "korvex: --servo-only and --connect exclude each other\n");
    return 2;
  }
  if (!options.listen.empty() && !options.servoOnly) {
    std::fprintf(stderr, "korvex: --listen goes with --servo-only\n");
    return 2;
  }
  if (options.fast && (options.servoOnly || options.connect)) {
    std::fprintf(stderr,
                 "korvex: --fast runs the servo and the console in one process; it cannot go with %s\n",
                 options.servoOnly ? "--servo-only" : "--connect");
    return 2;
  }
  if (options.fast && !options.noGui) {
    std::fprintf(stderr,
                 "korvex: --fast runs without a wall clock, which a window cannot follow; "
                 "use it with --no-gui (korvex --no-gui --fast)\n");
    return 2;
  }
  if (!options.tokenFile.empty() && !options.servoOnly && !options.connect) {
    std::fprintf(stderr, "korvex: --token-file goes with --servo-only or --connect\n");
    return 2;
  }
  if (options.servoOnly && !options.script.empty()) {
    std::fprintf(stderr, "korvex: --servo-only has no console to run a script; give it to --connect\n");
    return 2;
  }
  return -1;
}

// Where --servo-only listens, or where --connect connects; false after a one-line reason.
bool linkAddress(const Options& options, TcpAddress* address) {
  std::string text;
  if (options.servoOnly) {
    text = options.listen.empty()
               ? std::string(kDefaultListenAddress) + ":" + std::to_string(kDefaultServoPort)
               : options.listen;
  } else if (!options.connectTo.empty()) {
    text = options.connectTo;
  } else if (servHostAddr && !servHostAddr->empty()) {
    text = *servHostAddr;
    if (text.find(':') == std::string::npos) text += ":" + std::to_string(kDefaultServoPort);
  } else {
    std::fprintf(stderr,
                 "korvex: --connect needs HOST:PORT (or KORVEX_SERV_HOST_ADDR in Configuration.dat)\n");
    return false;
  }
  std::string error;
  if (!parseTcpAddress(text, address, &error)) {
    std::fprintf(stderr, "korvex: %s\n", error.c_str());
    return false;
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  openClosedStandardStreams();
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
  // The servo builds its arm from puma560.prm; refuse to start without a usable
  // one (the reader has printed what is wrong with it) rather than run armless.
  if (!options.connect && !CSimPuma::create(500.0f)) {
    std::fprintf(stderr, "korvex: cannot start without a valid %s in the working directory.\n",
                 CSimPuma::kDefaultDescription);
    return EXIT_FAILURE;
  }
  const bool displayNamed = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
  bool withWindow = displayNamed && !options.noGui && !options.servoOnly;
#ifdef KORVEX_HAS_WINDOW
  // Qt would end the process over a display it cannot open.
  if (withWindow && !displayReachable()) {
    std::fprintf(stderr, "korvex: cannot open the display %s; running the servo and the console only.\n",
                 displayName().c_str());
    withWindow = false;
  }
#else
  if (withWindow) {
    std::fprintf(stderr, "korvex: this build has no window; running the servo and the console only.\n");
  }
#endif
  TcpAddress address;
  if ((options.servoOnly || options.connect) && !linkAddress(options, &address)) return 2;
  std::string token;
  if (!options.tokenFile.empty()) {
    std::string error;
    if (!readTokenFile(options.tokenFile, &token, &error)) {
      std::fprintf(stderr, "korvex: %s\n", error.c_str());
      return 2;
    }
  }

  // Before any thread exists, so that only the watcher ever takes them.
  blockTerminationSignals();
  SignalWatcher signalWatcher;

  if (options.servoOnly) return runServoOnly(address, token);
#ifdef KORVEX_HAS_WINDOW
  if (withWindow) {
    installWindowSessionEndHandler();
    // The window stays after standard input ends; it ends the session itself.
    if (options.connect) {
      RemoteSession session;
      if (!session.connect(address, kConnectTimeoutMs, token)) return 2;
      session.receiveScope();
      session.start(/*endAtEndOfInput=*/false, options.script);
      return runWindowSession(session, argc, argv);
    }
    Application application;
    application.start(/*endAtEndOfInput=*/false, options.script);
    return runWindowSession(application, argc, argv);
  }
#endif
  if (options.connect) return runRemoteConsole(address, options.script, token);

  // Without a window nothing else can end the session once input runs out.
  Application application;
  application.start(/*endAtEndOfInput=*/true, options.script,
                    options.fast ? ServoTiming::kUnpaced : ServoTiming::kRealTime);
  Application::waitForSessionEnd();
  application.completeShutdown();
  return 0;
}
