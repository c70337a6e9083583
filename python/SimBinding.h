// korvex._Sim: a HeadlessSim for Python, with Python laws and run records.
//
// Every call releases the interpreter lock and takes the module's simulator
// lock (one simulator runs at a time; the servo's text sink and session
// switch are process-wide), so other Python threads go on while a run lasts
// and a law takes the interpreter lock only for its own call.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "python/PythonLaw.h"
#include "python/StateView.h"
#include "servo/ServoState.h"

class HeadlessSim;

class SimBinding {
 public:
  // plugin: None for the reference control.dll, else a path.
  SimBinding(int robotType, const pybind11::object& plugin);
  ~SimBinding();

  // (accepted, printed text, the console's error text).
  pybind11::tuple command(const std::string& line);
  // Runs seconds of simulated time; one row per tick.
  pybind11::dict run(double seconds);
  StateView state();
  // mode: command word or number; fn: callable or None.
  void setLaw(const pybind11::object& mode, const pybind11::object& fn);
  // The modes that run a Python law now, by command word.
  pybind11::list laws();
  void close();
  bool closed() const { return !m_core; }

 private:
  class Use;
  HeadlessSim& core();
  // Drops the Python laws the servo has stopped (interpreter lock held).
  void retireStoppedLaws();

  std::unique_ptr<HeadlessSim> m_core;
  std::unique_ptr<PythonLaw> m_laws[kNumControlModes];
};

// Where control.dll and puma560.prm of the package are.
void setSimDataDirectory(const std::string& directory);
