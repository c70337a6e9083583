#include "python/PythonLaw.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <sstream>

#include "protocol/ControlModeTable.h"
#include "python/StateView.h"
#include "servo/ServoState.h"

namespace py = pybind11;

namespace {

using TorqueArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

std::string shapeText(const py::array& a) {
  std::ostringstream text;
  text << "(";
  for (py::ssize_t i = 0; i < a.ndim(); ++i) text << (i ? ", " : "") << a.shape(i);
  if (a.ndim() == 1) text << ",";
  text << ")";
  return text.str();
}

// Clears the `inCall` flag on every way out of the call.
struct CallScope {
  explicit CallScope(bool& inCall) : flag(inCall) { flag = true; }
  ~CallScope() { flag = false; }
  bool& flag;
};

}  // namespace

PythonLaw::PythonLaw(int mode, py::object fn, const ServoState* record)
    : m_mode(mode), m_fn(std::move(fn)), m_inCall(std::make_shared<bool>(false)) {
  m_view = py::cast(StateView::live(record, m_inCall));
}

PythonLaw::~PythonLaw() = default;

bool PythonLaw::tick(ServoState& state) {
  py::gil_scoped_acquire gil;
  std::string reason;
  try {
    CallScope scope(*m_inCall);
    py::object result = m_fn(m_view);
    // numpy would take None for a NaN; it is a law that forgot its return.
    TorqueArray torques;
    const bool numbers = !result.is_none() && (torques = TorqueArray::ensure(result));
    if (!numbers) {
      PyErr_Clear();
      reason = "it returned " + std::string(py::str(py::type::of(result).attr("__name__"))) +
               ", not an array of numbers";
    } else if (torques.ndim() != 1 || torques.shape(0) != state.dof) {
      reason = "it returned torques of shape " + shapeText(torques) + " where (" + std::to_string(state.dof) +
               ",) was expected";
    } else {
      const double* values = torques.data();
      for (int i = 0; i < state.dof && reason.empty(); ++i) {
        if (!std::isfinite(values[i]) || !std::isfinite(float(values[i]))) {
          reason = "it returned a torque that is not finite (joint " + std::to_string(i + 1) + ": " +
                   std::string(py::str(py::float_(values[i]))) + ")";
        }
      }
      if (reason.empty()) {
        for (int i = 0; i < state.dof; ++i) state.tau[i] = float(values[i]);
        return true;
      }
    }
  } catch (py::error_already_set& e) {
    try {
      py::module_::import("traceback")
          .attr("print_exception")(e.type(), e.value(), e.trace(),
                                   py::arg("file") = py::module_::import("sys").attr("stderr"));
    } catch (py::error_already_set&) {
      PyErr_Clear();
    }
    reason = "it raised " + std::string(py::str(e.type().attr("__name__")));
  } catch (const std::exception& e) {
    reason = std::string("it failed: ") + e.what();
  }
  reportStop(reason);
  return false;
}

void PythonLaw::reportStop(const std::string& reason) const {
  const std::string text = "korvex: the Python law for " + std::string(controlModeWord(m_mode)) +
                           " is stopped: " + reason + "; the arm floats.";
  try {
    py::print(text, py::arg("file") = py::module_::import("sys").attr("stderr"));
  } catch (py::error_already_set&) {
    PyErr_Clear();
  }
}
