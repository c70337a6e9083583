#include "python/SimBinding.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <mutex>
#include <optional>

#include "protocol/ControlModeTable.h"
#include "python/HeadlessSim.h"
#include "python/OutputCapture.h"
#include "servo/Servo.h"

namespace py = pybind11;

namespace {

std::mutex g_simLock;
thread_local bool t_insideSim = false;
std::string g_dataDirectory = ".";

int modeNumber(const py::object& mode) {
  if (py::isinstance<py::str>(mode)) {
    const std::string word = py::str(mode);
    const int m = controlModeOfWord(word);
    if (m >= 0) return m;
    throw py::value_error("unknown control mode '" + word + "' (use a mode's command word, such as " +
                          controlModeWord(kJgoto) + ")");
  }
  const int m = py::cast<int>(mode);
  if (!isControlMode(m))
    throw py::value_error("control modes are 0 to " + std::to_string(kNumControlModes - 1) + ", not " +
                          std::to_string(m));
  return m;
}

bool signalPending() {
  py::gil_scoped_acquire gil;
  return PyErr_CheckSignals() != 0;
}

void forward(const std::string& out, const std::string& err) {
  py::module_ sys = py::module_::import("sys");
  if (!out.empty()) sys.attr("stdout").attr("write")(out);
  if (!err.empty()) sys.attr("stderr").attr("write")(err);
}

// Per-tick columns of a run, filled without the interpreter lock.
struct RunColumns {
  RunColumns(py::ssize_t ticks, const ServoState& s)
      : t(ticks),
        q({ticks, py::ssize_t(s.q.size())}),
        dq({ticks, py::ssize_t(s.dq.size())}),
        qd({ticks, py::ssize_t(s.qd.size())}),
        x({ticks, py::ssize_t(s.x.size())}),
        dx({ticks, py::ssize_t(s.dx.size())}),
        xd({ticks, py::ssize_t(s.xd.size())}),
        tau({ticks, py::ssize_t(s.tau.size())}),
        raw{q.mutable_data(),  dq.mutable_data(), qd.mutable_data(), x.mutable_data(),
            dx.mutable_data(), xd.mutable_data(), tau.mutable_data()},
        time(t.mutable_data()) {}

  void record(py::ssize_t row, const ServoState& s) {
    time[row] = s.curTime;
    const PrVector* vectors[] = {&s.q, &s.dq, &s.qd, &s.x, &s.dx, &s.xd, &s.tau};
    for (int k = 0; k < 7; ++k) {
      const PrVector& v = *vectors[k];
      double* out = raw[k] + row * v.size();
      for (int i = 0; i < v.size(); ++i) out[i] = v[i];
    }
  }

  py::dict take(py::ssize_t rows) {
    py::dict d;
    const char* names[] = {"t", "q", "dq", "qd", "x", "dx", "xd", "tau"};
    py::array arrays[] = {t, q, dq, qd, x, dx, xd, tau};
    for (int k = 0; k < 8; ++k) {
      py::array a = arrays[k];
      if (rows < a.shape(0)) a = a[py::slice(0, rows, 1)];
      d[names[k]] = a;
    }
    return d;
  }

  py::array_t<double> t, q, dq, qd, x, dx, xd, tau;
  double* raw[7];
  double* time;
};

}  // namespace

void setSimDataDirectory(const std::string& directory) { g_dataDirectory = directory; }

// One use of a simulator: without the interpreter lock, under the simulator
// lock, with this simulator's text sink.
class SimBinding::Use {
 public:
  explicit Use(HeadlessSim& core) : m_core(core) {
    if (t_insideSim) {
      throw std::runtime_error(
          "a korvex.Sim cannot be used from inside a control law, which runs within sim.run");
    }
    m_release.emplace();
    m_lock = std::unique_lock<std::mutex>(g_simLock);
    t_insideSim = true;
    m_core.activate();
  }
  ~Use() {
    t_insideSim = false;
    m_lock.unlock();
    m_release.reset();
  }

 private:
  HeadlessSim& m_core;
  std::optional<py::gil_scoped_release> m_release;
  std::unique_lock<std::mutex> m_lock;
};

SimBinding::SimBinding(int robotType, const py::object& plugin) {
  if (robotType < 0 || robotType > 6) {
    throw py::value_error("robot types are 0 to 6 (as the console's robottype), not " +
                          std::to_string(robotType));
  }
  const std::string path = plugin.is_none()
                               ? g_dataDirectory + "/control.dll"
                               : std::string(py::str(py::module_::import("os").attr("fspath")(plugin)));
  std::string out, err;
  {
    if (t_insideSim) throw std::runtime_error("a korvex.Sim cannot be made inside a control law");
    py::gil_scoped_release release;
    std::lock_guard<std::mutex> lock(g_simLock);
    OutputCapture capture;
    // A copy of the library for each simulator, so that the plug-in's own
    // memory (it keeps some between ticks) is never shared between two.
    PluginOpening opening = openControlPlugin(path.c_str(), true);
    if (!opening.plugin.loaded()) {
      capture.finish(out, err);
      py::gil_scoped_acquire gil;
      throw py::value_error("cannot load the control plug-in " + path + ": " + opening.error);
    }
    if (!opening.plugin.tagged()) err += untaggedWarning(path);
    if (!opening.missing.empty()) err += path + " does not export: " + opening.missing + "\n";
    m_core =
        std::make_unique<HeadlessSim>(robotType, std::move(opening.plugin), g_dataDirectory + "/puma560.prm");
    std::string startOut, startErr;
    capture.finish(startOut, startErr);
    if (!m_core->ready()) {
      m_core.reset();
      py::gil_scoped_acquire gil;
      throw std::runtime_error("the simulated arm cannot be built: " + startErr);
    }
  }
  // Start-up chatter ("Initializing TextUI...") is not news; warnings are.
  forward(out, err);
}

SimBinding::~SimBinding() { close(); }

void SimBinding::close() {
  if (!m_core) return;
  {
    Use use(*m_core);
    OutputCapture capture;  // the servo's last words are not for the notebook
    m_core.reset();
  }
  for (auto& law : m_laws) law.reset();
}

HeadlessSim& SimBinding::core() {
  if (!m_core) throw std::runtime_error("this korvex.Sim is closed");
  return *m_core;
}

py::tuple SimBinding::command(const std::string& line) {
  HeadlessSim& sim = core();
  if (sim.sessionOver())
    throw std::runtime_error("this korvex.Sim's session has ended (quit); make a new Sim");
  char reply[CommandDispatcher::kReplySize] = {};
  bool ok = false;
  std::string out, err;
  {
    Use use(sim);
    OutputCapture capture;
    ok = sim.processCommand(line.c_str(), reply);
    capture.finish(out, err);
  }
  retireStoppedLaws();
  return py::make_tuple(ok, out + err, std::string(reply));
}

py::dict SimBinding::run(double seconds) {
  HeadlessSim& sim = core();
  if (!std::isfinite(seconds) || seconds < 0) throw py::value_error("run() takes a duration of 0 s or more");
  if (sim.sessionOver())
    throw std::runtime_error("this korvex.Sim's session has ended (quit); make a new Sim");
  const py::ssize_t ticks = py::ssize_t(std::llround(seconds * Servo::kRate));
  RunColumns columns(ticks, sim.state());
  py::ssize_t done = 0;
  bool interrupted = false;
  std::string out, err;
  {
    Use use(sim);
    OutputCapture capture;
    while (done < ticks) {
      sim.tick();
      columns.record(done, sim.state());
      ++done;
      // Ctrl-C reaches Python only when asked.
      if ((done & 255) == 0 && signalPending()) {
        interrupted = true;
        break;
      }
    }
    capture.finish(out, err);
  }
  retireStoppedLaws();
  forward(out, err);
  if (interrupted) throw py::error_already_set();
  return columns.take(done);
}

StateView SimBinding::state() {
  HeadlessSim& sim = core();
  std::optional<StateView> view;
  {
    Use use(sim);
    view = StateView::snapshot(sim.state());
  }
  return *view;
}

void SimBinding::setLaw(const py::object& mode, const py::object& fn) {
  HeadlessSim& sim = core();
  const int m = modeNumber(mode);
  if (!fn.is_none() && !PyCallable_Check(fn.ptr()))
    throw py::type_error("a control law is a callable fn(state) or None");
  std::unique_ptr<PythonLaw> law = fn.is_none() ? nullptr : std::make_unique<PythonLaw>(m, fn, &sim.state());
  {
    Use use(sim);
    sim.servo().setModeLaw(m, law.get());
  }
  m_laws[m].swap(law);  // the old law goes with the interpreter lock held
}

py::list SimBinding::laws() {
  retireStoppedLaws();
  py::list words;
  for (int m = 0; m < kNumControlModes; ++m) {
    if (m_laws[m]) words.append(controlModeWord(m));
  }
  return words;
}

void SimBinding::retireStoppedLaws() {
  if (!m_core) return;
  bool stopped[kNumControlModes] = {};
  {
    Use use(*m_core);
    for (int m = 0; m < kNumControlModes; ++m) {
      stopped[m] = m_laws[m] && m_core->servo().modeLaw(m) != m_laws[m].get();
    }
  }
  for (int m = 0; m < kNumControlModes; ++m) {
    if (stopped[m]) m_laws[m].reset();
  }
}
