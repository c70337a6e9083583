// The korvex Python module's native part (korvex._korvex); the package's
// __init__.py adds Sim.command and CommandError on top.
#include <dlfcn.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "python/SimBinding.h"
#include "python/StateView.h"

namespace py = pybind11;

namespace {

// control.dll leaves the print routine and the fatal assertion undefined and
// binds them to its host's copies. Python loads extension modules with local
// symbols, so this module offers its own to the libraries loaded after it.
void offerHostSymbols() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&offerHostSymbols), &info) == 0 || info.dli_fname == nullptr) return;
  dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_GLOBAL);
}

}  // namespace

PYBIND11_MODULE(_korvex, m) {
  offerHostSymbols();
  m.doc() = "The KORVEX simulator, headless and deterministic (native part).";
  bindStateView(m);
  m.def("_set_data_directory", &setSimDataDirectory);
  py::class_<SimBinding>(m, "_Sim", py::dynamic_attr())
      .def(py::init<int, py::object>(), py::arg("robot_type") = 3, py::arg("plugin") = py::none())
      .def("_command", &SimBinding::command, py::arg("line"))
      .def("run", &SimBinding::run, py::arg("seconds"),
           "Runs `seconds` of simulated time (500 ticks a second) and returns one row per tick: "
           "a dict of numpy arrays t (s), q, dq, qd (rad, rad/s), x, dx, xd (m and the orientation "
           "parameters), tau (N·m).")
      .def_property_readonly("state", &SimBinding::state, "A copy of the servo's state record now.")
      .def("set_law", &SimBinding::setLaw, py::arg("mode"), py::arg("fn"),
           "Runs fn(state) -> torques every tick of `mode` (command word or number) in place of the "
           "plug-in's law; None gives the plug-in's law back.")
      .def_property_readonly("laws", &SimBinding::laws, "The modes that run a Python law.")
      .def("close", &SimBinding::close, "Ends the simulator; a gather file still open is closed complete.")
      .def_property_readonly("closed", &SimBinding::closed);
}
